#pragma once
// The file system of the host build (tests and benchmarks).
#include "platform/FileSystem.h"

namespace ostrel {

class PosixFileSystem final : public FileSystem {
public:
    bool fileExists(const std::string& path) const override;
    bool createDirectory(const std::string& path) override;
    std::unique_ptr<ReadStream> openRead(const std::string& path) const override;
    std::unique_ptr<WriteStream> openReplace(const std::string& path) override;
    std::unique_ptr<DownloadStream> openDownload(const std::string& path, bool replaceExisting) override;
    void removeStaleTemporaries(const std::string& folder) override;
    bool listFolder(const std::string& folder, const std::function<bool(const FolderEntry&)>& visit) const override;
    bool deleteFile(const std::string& path) override;
    // The host has no attribute bits to set: always true.
    bool setAttributes(const std::string& path, std::uint32_t attributes) override;
    bool removeDirectory(const std::string& path) override;
};

}  // namespace ostrel
