#pragma once
// What the fuzz targets share: a property check that stops the run with the
// input that broke it, the input cut into fields, and an in-memory file
// system that knows every path written to it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Internet.h"

// A property every input must keep. libFuzzer saves the input that breaks it.
#define FUZZ_CHECK(condition) ((condition) ? (void)0 : ::ostrel::fuzz::propertyFailed(#condition, __FILE__, __LINE__))

namespace ostrel::fuzz {

[[noreturn]] void propertyFailed(const char* condition, const char* file, int line);

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input cut at every separator byte: n separators give n + 1 fields.
std::vector<std::string> fields(std::string_view input, char separator);

// Files held in memory. Paths are plain strings; a folder is there when a
// file lies below it or it was made. Every path written, made or deleted is
// remembered, for a target to check where a reader's names lead.
class MemoryFileSystem final : public FileSystem {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::vector<std::string> touched;  // written, made or deleted, in order

    bool fileExists(const std::string& path) const override { return files.count(path) != 0; }
    bool createDirectory(const std::string& path) override;
    std::unique_ptr<ReadStream> openRead(const std::string& path) const override;
    std::unique_ptr<WriteStream> openReplace(const std::string& path) override;
    // A temporary file beside path (a file among the others while it is
    // written), moved to path by commit() unless the name is taken and may
    // not be replaced; gone when the stream goes uncommitted.
    std::unique_ptr<DownloadStream> openDownload(const std::string& path, bool replaceExisting) override;
    bool listFolder(const std::string& folder, const std::function<bool(const FolderEntry&)>& visit) const override;
    bool deleteFile(const std::string& path) override;
    bool setAttributes(const std::string&, std::uint32_t) override { return true; }
    bool removeDirectory(const std::string& path) override;
    void removeStaleTemporaries(const std::string&) override {}

private:
    std::uint32_t temporaries_ = 0;
};

// Whether path is a plain file name directly inside folder (which ends in
// "\\"): no separator, no ".." or device-like trick leads elsewhere.
bool directlyIn(const std::string& folder, const std::string& path);

// A server that answers each URL from a table, else with the next answer
// in turn; once those run out, no other URL can be opened. An answer is a
// status, an announced length (none: a body ended by a close, or chunked)
// and a body read in blocks of the size the client asks for, at whose end
// the read reports the end or fails (a dropped connection). Every URL asked
// for is remembered, with the answer it got.
class ScriptedInternet final : public Internet {
public:
    struct Answer {
        unsigned status = 200;
        std::string body;
        std::optional<std::uint64_t> length;
        bool failsAtEnd = false;
        // The answer of a whole picture: a 200 whose announced length is its body's.
        bool whole() const { return status == 200 && length == body.size() && !body.empty(); }
    };
    std::map<std::string, Answer> answers;
    std::vector<Answer> inTurn;
    std::size_t nextInTurn = 0;
    std::vector<std::pair<std::string, std::optional<Answer>>> asked;
    std::function<void()> onRead;  // before every read

    std::unique_ptr<InternetSession> openSession(const SessionOptions& options) override;
};

}  // namespace ostrel::fuzz
