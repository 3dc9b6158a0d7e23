#pragma once
// The host's real file system, counting what the code under test asks of it
// and refusing chosen paths the way a locked file or a full disk would.
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/posix/PosixFileSystem.h"

namespace ostrel::testing {

struct FileSystemCounts {
    int fileExists = 0;
    std::size_t bytesRead = 0;
    std::size_t largestRead = 0;
};

class TestFileSystem final : public FileSystem {
public:
    bool fileExists(const std::string& path) const override;
    bool createDirectory(const std::string& path) override { return real_.createDirectory(path); }
    std::unique_ptr<ReadStream> openRead(const std::string& path) const override;
    std::unique_ptr<WriteStream> openReplace(const std::string& path) override;
    void removeStaleTemporaries(const std::string& folder) override { real_.removeStaleTemporaries(folder); }
    bool listFolder(const std::string& folder,
                    const std::function<bool(const FolderEntry&)>& visit) const override {
        return real_.listFolder(folder, visit);
    }
    bool deleteFile(const std::string& path) override { return real_.deleteFile(path); }

    const FileSystemCounts& counts() const { return *counts_; }
    std::set<std::string> unreadable;  // paths that exist but cannot be opened
    std::set<std::string> unwritable;  // paths that cannot be written
    std::map<std::string, std::size_t> readFailsAfter;  // a disk error after so many bytes

private:
    PosixFileSystem real_;
    std::shared_ptr<FileSystemCounts> counts_ = std::make_shared<FileSystemCounts>();
};

}  // namespace ostrel::testing
