#pragma once
// Files and folders through the W functions: byte paths go in by pathToWide,
// names come out exactly or as marked foreign-name tokens.
#include <optional>
#include <string>

#include "platform/FileSystem.h"

namespace ostrel::win32 {

class Win32FileSystem final : public FileSystem {
public:
    bool fileExists(const std::string& path) const override;
    bool createDirectory(const std::string& path) override;
    std::unique_ptr<ReadStream> openRead(const std::string& path) const override;
    std::unique_ptr<WriteStream> openReplace(const std::string& path) override;
    std::unique_ptr<DownloadStream> openDownload(const std::string& path, bool replaceExisting) override;
    void removeStaleTemporaries(const std::string& folder) override;
    bool listFolder(const std::string& folder, const std::function<bool(const FolderEntry&)>& visit) const override;
    bool deleteFile(const std::string& path) override;
    bool setAttributes(const std::string& path, std::uint32_t attributes) override;
    bool removeDirectory(const std::string& path) override;
};

// A path known in UTF-16 (the program's own file, say) as the ANSI code page
// writes it: itself, or else its short form, which names the same file;
// nullopt when neither can be written there.
std::optional<std::string> ansiPathOf(const std::wstring& path);

}  // namespace ostrel::win32
