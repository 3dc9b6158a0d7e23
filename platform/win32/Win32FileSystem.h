#pragma once
// Files through the ANSI functions; paths are passed through untouched.
#include "platform/FileSystem.h"

namespace ostrel::win32 {

class Win32FileSystem final : public FileSystem {
public:
    bool fileExists(const std::string& path) const override;
    bool createDirectory(const std::string& path) override;
    std::unique_ptr<ReadStream> openRead(const std::string& path) const override;
    std::unique_ptr<WriteStream> openReplace(const std::string& path) override;
    void removeStaleTemporaries(const std::string& folder) override;
};

}  // namespace ostrel::win32
