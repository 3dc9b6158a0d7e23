#pragma once
// The host's real file system, counting what the code under test asks of it
// and refusing chosen paths the way a locked file, a full disk or a read
// error part-way would.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/posix/PosixFileSystem.h"

namespace ostrel::testing {

struct FileSystemCounts {
    int fileExists = 0;
    int opens = 0;  // openRead calls
    std::size_t bytesRead = 0;
    std::size_t largestRead = 0;
    int flushes = 0;  // flushWritten calls
};

struct TestFileSystem final : FileSystem {
    bool fileExists(const std::string& path) const override { return ++counts_->fileExists, real_.fileExists(path); }
    bool createDirectory(const std::string& path) override { return real_.createDirectory(path); }
    std::unique_ptr<ReadStream> openRead(const std::string& path) const override {
        ++counts_->opens;
        auto real = unreadable.count(path) ? nullptr : real_.openRead(path);
        if (!real) return nullptr;
        auto failing = readFailsAfter.find(path);
        return std::make_unique<Counting>(std::move(real), counts_,
                                          failing == readFailsAfter.end() ? SIZE_MAX : failing->second);
    }
    std::unique_ptr<WriteStream> openReplace(const std::string& path) override {
        auto real = unwritable.count(path) ? nullptr : real_.openReplace(path);
        if (!real) return nullptr;
        return std::make_unique<Flushing>(std::move(real), counts_, flushFails.count(path) > 0);
    }
    std::unique_ptr<DownloadStream> openDownload(const std::string& path, bool replaceExisting) override {
        auto real = unwritable.count(path) ? nullptr : real_.openDownload(path, replaceExisting);
        auto failing = writeFailsAfter.find(path);
        if (!real || failing == writeFailsAfter.end()) return real;
        return std::make_unique<FailingWrite>(std::move(real), failing->second);
    }
    void removeStaleTemporaries(const std::string& folder) override { real_.removeStaleTemporaries(folder); }
    bool listFolder(const std::string& folder, const std::function<bool(const FolderEntry&)>& visit) const override {
        return real_.listFolder(folder, visit);
    }
    bool deleteFile(const std::string& path) override { return real_.deleteFile(path); }
    bool setAttributes(const std::string& path, std::uint32_t attributes) override {
        return real_.setAttributes(path, attributes);
    }
    bool removeDirectory(const std::string& path) override { return real_.removeDirectory(path); }

    const FileSystemCounts& counts() const { return *counts_; }
    std::set<std::string> unreadable;                    // paths that exist but cannot be opened
    std::set<std::string> unwritable;                    // paths that cannot be written
    std::map<std::string, std::size_t> readFailsAfter;   // a disk error after so many bytes
    std::map<std::string, std::size_t> writeFailsAfter;  // a full disk after so many bytes (openDownload)
    std::set<std::string> flushFails;                    // paths whose flushWritten fails (openReplace)

private:
    class Flushing final : public WriteStream {
    public:
        Flushing(std::unique_ptr<WriteStream> real, std::shared_ptr<FileSystemCounts> counts, bool fails)
            : real_(std::move(real)), counts_(std::move(counts)), fails_(fails) {}
        bool write(const void* data, std::size_t n) override { return real_->write(data, n); }
        bool writeAt(std::uint64_t offset, const void* data, std::size_t n) override {
            return real_->writeAt(offset, data, n);
        }
        bool flushWritten() override { return ++counts_->flushes, !fails_ && real_->flushWritten(); }
        bool commit() override { return real_->commit(); }

    private:
        std::unique_ptr<WriteStream> real_;
        std::shared_ptr<FileSystemCounts> counts_;
        bool fails_;
    };

    // Takes the bytes that still fit, then refuses the write that overflows.
    class FailingWrite final : public DownloadStream {
    public:
        FailingWrite(std::unique_ptr<DownloadStream> real, std::size_t room) : real_(std::move(real)), room_(room) {}
        bool write(const void* data, std::size_t n) override {
            const std::size_t put = std::min(n, room_);
            room_ -= put;
            return real_->write(data, put) && put == n;
        }
        bool writeAt(std::uint64_t, const void*, std::size_t) override { return false; }  // downloads append
        bool commit() override { return real_->commit(); }
        const std::string& temporaryPath() const override { return real_->temporaryPath(); }

    private:
        std::unique_ptr<DownloadStream> real_;
        std::size_t room_;
    };

    class Counting final : public ReadStream {
    public:
        Counting(std::unique_ptr<ReadStream> real, std::shared_ptr<FileSystemCounts> counts, std::size_t failAfter)
            : real_(std::move(real)), counts_(std::move(counts)), left_(failAfter) {}
        std::size_t read(void* buffer, std::size_t n) override {
            counts_->largestRead = std::max(counts_->largestRead, n);
            failed_ = failed_ || left_ == 0;
            const std::size_t got = failed_ ? 0 : real_->read(buffer, std::min(n, left_));
            left_ -= got;
            counts_->bytesRead += got;
            return got;
        }
        bool failed() const override { return failed_ || real_->failed(); }
        std::optional<std::uint64_t> size() const override { return real_->size(); }

    private:
        std::unique_ptr<ReadStream> real_;
        std::shared_ptr<FileSystemCounts> counts_;
        std::size_t left_;
        bool failed_ = false;
    };

    PosixFileSystem real_;
    std::shared_ptr<FileSystemCounts> counts_ = std::make_shared<FileSystemCounts>();
};

}  // namespace ostrel::testing
