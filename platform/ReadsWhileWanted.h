#pragma once
// The files as a piece of background work sees them: it reads them only while
// it is still wanted. Once it is not, every further read fails and no file
// opens, so a decode of a large picture the user has already moved past ends
// at its next read instead of taking a core to the end. Nothing is written
// through it.
#include <functional>
#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace ostrel {

class ReadsWhileWanted final : public FileSystem {
public:
    ReadsWhileWanted(const FileSystem& files, std::function<bool()> stillWanted)
        : files_(files), stillWanted_(std::move(stillWanted)) {}

    // Unwanted work asks nothing more: on a share that is off, even a look
    // at a file may wait for the network's timeout.
    bool fileExists(const std::string& path) const override { return stillWanted_() && files_.fileExists(path); }
    std::unique_ptr<ReadStream> openRead(const std::string& path) const override;
    bool listFolder(const std::string& folder, const std::function<bool(const FolderEntry&)>& visit) const override {
        return stillWanted_() && files_.listFolder(folder, visit);
    }

    bool createDirectory(const std::string&) override { return false; }
    std::unique_ptr<WriteStream> openReplace(const std::string&) override { return nullptr; }
    bool deleteFile(const std::string&) override { return false; }
    bool setAttributes(const std::string&, std::uint32_t) override { return false; }
    bool removeDirectory(const std::string&) override { return false; }
    void removeStaleTemporaries(const std::string&) override {}

private:
    const FileSystem& files_;
    std::function<bool()> stillWanted_;
};

}  // namespace ostrel
