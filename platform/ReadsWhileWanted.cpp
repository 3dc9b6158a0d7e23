#include "platform/ReadsWhileWanted.h"

namespace ostrel {
namespace {

class ReadWhileWanted final : public ReadStream {
public:
    ReadWhileWanted(std::unique_ptr<ReadStream> in, std::function<bool()> stillWanted)
        : in_(std::move(in)), stillWanted_(std::move(stillWanted)) {}
    std::size_t read(void* buffer, std::size_t n) override {
        if (!givenUp_ && !stillWanted_()) givenUp_ = true;
        return givenUp_ ? 0 : in_->read(buffer, n);
    }
    bool failed() const override { return givenUp_ || in_->failed(); }
    std::optional<std::uint64_t> size() const override { return in_->size(); }

private:
    std::unique_ptr<ReadStream> in_;
    std::function<bool()> stillWanted_;
    bool givenUp_ = false;
};

}  // namespace

std::unique_ptr<ReadStream> ReadsWhileWanted::openRead(const std::string& path) const {
    if (!stillWanted_()) return nullptr;
    auto in = files_.openRead(path);
    if (!in) return nullptr;
    return std::make_unique<ReadWhileWanted>(std::move(in), stillWanted_);
}

}  // namespace ostrel
