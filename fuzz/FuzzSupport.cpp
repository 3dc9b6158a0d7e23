#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>

#include "fakes/TestImages.h"
#include "platform/TemporaryFiles.h"

namespace ostrel::fuzz {
namespace {

class MemoryWrite final : public WriteStream {
public:
    MemoryWrite(MemoryFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
    bool write(const void* data, std::size_t n) override {
        pending_.append(static_cast<const char*>(data), n);
        return true;
    }
    bool writeAt(std::uint64_t offset, const void* data, std::size_t n) override {
        testing::placeBytes(pending_, offset, data, n);
        return true;
    }
    bool commit() override {
        fs_.files[path_] = std::move(pending_);
        return true;
    }

private:
    MemoryFileSystem& fs_;
    std::string path_;
    std::string pending_;
};

class MemoryDownload final : public DownloadStream {
public:
    MemoryDownload(MemoryFileSystem& fs, std::string temp, std::string target, bool replaceExisting)
        : fs_(fs), temp_(std::move(temp)), target_(std::move(target)), replaceExisting_(replaceExisting) {
        fs_.files[temp_];
    }
    ~MemoryDownload() override {
        if (!committed_) fs_.files.erase(temp_);
    }
    bool write(const void* data, std::size_t n) override {
        fs_.files[temp_].append(static_cast<const char*>(data), n);
        return true;
    }
    bool writeAt(std::uint64_t offset, const void* data, std::size_t n) override {
        testing::placeBytes(fs_.files[temp_], offset, data, n);
        return true;
    }
    bool commit() override {
        if (!replaceExisting_ && fs_.fileExists(target_)) return false;
        fs_.touched.push_back(target_);
        fs_.files[target_] = std::move(fs_.files[temp_]);
        fs_.files.erase(temp_);
        return committed_ = true;
    }
    const std::string& temporaryPath() const override { return temp_; }

private:
    MemoryFileSystem& fs_;
    std::string temp_, target_;
    bool replaceExisting_;
    bool committed_ = false;
};

class ScriptedRequest final : public InternetRequest {
public:
    ScriptedRequest(const ScriptedInternet& internet, const ScriptedInternet::Answer& answer)
        : internet_(internet), answer_(answer) {}
    unsigned httpStatus() const override { return answer_.status; }
    std::optional<std::uint64_t> contentLength() const override { return answer_.length; }
    std::optional<std::size_t> read(void* buffer, std::size_t n) override {
        if (internet_.onRead) internet_.onRead();
        const std::size_t got = std::min(n, answer_.body.size() - pos_);
        if (got == 0 && answer_.failsAtEnd) return std::nullopt;
        std::memcpy(buffer, answer_.body.data() + pos_, got);
        pos_ += got;
        return got;
    }

private:
    const ScriptedInternet& internet_;
    ScriptedInternet::Answer answer_;
    std::size_t pos_ = 0;
};

class ScriptedSession final : public InternetSession {
public:
    explicit ScriptedSession(ScriptedInternet& internet) : internet_(internet) {}
    std::unique_ptr<InternetRequest> openUrl(const std::string& url) override {
        std::optional<ScriptedInternet::Answer> answer;
        if (auto known = internet_.answers.find(url); known != internet_.answers.end())
            answer = known->second;
        else if (internet_.nextInTurn < internet_.inTurn.size())
            answer = internet_.inTurn[internet_.nextInTurn++];
        internet_.asked.emplace_back(url, answer);
        if (!answer) return nullptr;
        return std::make_unique<ScriptedRequest>(internet_, *answer);
    }

private:
    ScriptedInternet& internet_;
};

}  // namespace

bool directlyIn(const std::string& folder, const std::string& path) {
    if (!folder.ends_with('\\') || !path.starts_with(folder)) return false;
    const std::string_view name = std::string_view(path).substr(folder.size());
    if (name.empty() || name == "." || name == ".." || name.find_first_of("\\/:") != std::string_view::npos)
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::unique_ptr<InternetSession> ScriptedInternet::openSession(const SessionOptions&) {
    return std::make_unique<ScriptedSession>(*this);
}

void propertyFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "property broken: %s (%s:%d)\n", condition, file, line);
    std::abort();
}

std::vector<std::string> fields(std::string_view input, char separator) {
    std::vector<std::string> out(1);
    for (char c : input) {
        if (c == separator)
            out.emplace_back();
        else
            out.back().push_back(c);
    }
    return out;
}

bool MemoryFileSystem::createDirectory(const std::string& path) {
    touched.push_back(path);
    return folders.insert(path).second;
}

std::unique_ptr<ReadStream> MemoryFileSystem::openRead(const std::string& path) const {
    auto file = files.find(path);
    if (file == files.end()) return nullptr;
    return std::make_unique<testing::MemoryReadStream>(file->second);
}

std::unique_ptr<WriteStream> MemoryFileSystem::openReplace(const std::string& path) {
    touched.push_back(path);
    return std::make_unique<MemoryWrite>(*this, path);
}

std::unique_ptr<DownloadStream> MemoryFileSystem::openDownload(const std::string& path, bool replaceExisting) {
    // A new name, as the real one is created: never over a file there.
    const std::string folder = path.substr(0, path.find_last_of('\\') + 1);
    std::string temp;
    do temp = folder + temporaryName(++temporaries_);
    while (fileExists(temp));
    touched.push_back(temp);
    return std::make_unique<MemoryDownload>(*this, temp, path, replaceExisting);
}

bool MemoryFileSystem::listFolder(const std::string& folder,
                                  const std::function<bool(const FolderEntry&)>& visit) const {
    // A folder is named with or without its final "\\".
    std::string bare = folder;
    if (bare.ends_with('\\')) bare.pop_back();
    const std::string prefix = bare + '\\';
    bool found = folders.count(bare) || folders.count(prefix);
    for (const auto& [path, bytes] : files) {
        if (!path.starts_with(prefix)) continue;
        found = true;
        const std::string rest = path.substr(prefix.size());
        if (rest.find('\\') == std::string::npos && !visit(FolderEntry{.name = rest})) break;
    }
    return found;
}

bool MemoryFileSystem::deleteFile(const std::string& path) {
    touched.push_back(path);
    return files.erase(path) != 0;
}

bool MemoryFileSystem::removeDirectory(const std::string& path) {
    touched.push_back(path);
    return folders.erase(path) != 0;
}

}  // namespace ostrel::fuzz
