#include "fakes/TestFileSystem.h"

#include <algorithm>
#include <cstdint>

namespace ostrel::testing {
namespace {

class CountingReadStream final : public ReadStream {
public:
    CountingReadStream(std::unique_ptr<ReadStream> real, std::shared_ptr<FileSystemCounts> counts,
                       std::size_t failAfter)
        : real_(std::move(real)), counts_(std::move(counts)), left_(failAfter) {}
    std::size_t read(void* buffer, std::size_t n) override {
        counts_->largestRead = std::max(counts_->largestRead, n);
        if (left_ == 0) {
            failed_ = true;
            return 0;
        }
        std::size_t got = real_->read(buffer, std::min(n, left_));
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

}  // namespace

bool TestFileSystem::fileExists(const std::string& path) const {
    ++counts_->fileExists;
    return real_.fileExists(path);
}

std::unique_ptr<ReadStream> TestFileSystem::openRead(const std::string& path) const {
    if (unreadable.count(path)) return nullptr;
    auto real = real_.openRead(path);
    if (!real) return nullptr;
    auto failing = readFailsAfter.find(path);
    const std::size_t failAfter = failing == readFailsAfter.end() ? SIZE_MAX : failing->second;
    return std::make_unique<CountingReadStream>(std::move(real), counts_, failAfter);
}

std::unique_ptr<WriteStream> TestFileSystem::openReplace(const std::string& path) {
    if (unwritable.count(path)) return nullptr;
    return real_.openReplace(path);
}

}  // namespace ostrel::testing
