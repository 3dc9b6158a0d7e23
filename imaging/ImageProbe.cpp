#include "imaging/ImageProbe.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#include "imaging/BmpCodec.h"
#include "imaging/JpegCodec.h"

namespace ostrel {
namespace {

bool startsWith(const std::string& bytes, std::initializer_list<std::uint8_t> magic) {
    if (bytes.size() < magic.size()) return false;
    std::size_t i = 0;
    for (std::uint8_t m : magic)
        if (static_cast<std::uint8_t>(bytes[i++]) != m) return false;
    return true;
}

std::string sizeText(const std::optional<ImageSize>& size) {
    if (!size) return "0x0";
    return std::to_string(size->width) + "x" + std::to_string(size->height);
}

// The kind from the first five bytes of a file.
constexpr std::size_t kKindBytes = 5;
constexpr std::size_t kFirstReadBytes = 1000;

// One read of up to most bytes, topped up to at least least.
std::optional<std::string> readFirstBlock(ReadStream& in, std::size_t most, std::size_t least) {
    std::string bytes(most, '\0');
    bytes.resize(in.read(bytes.data(), most));
    if (bytes.size() < least && !bytes.empty() && !appendUpTo(in, bytes, least - bytes.size())) return std::nullopt;
    if (in.failed()) return std::nullopt;
    return bytes;
}
std::string kindOf(const std::string& head) {
    if (head.empty()) return "Bmp";
    if (startsWith(head, {0x47, 0x49, 0x46, 0x38})) return head.size() >= 5 && head[4] == '9' ? "Gif89" : "Gif";
    if (startsWith(head, {0x42, 0x4D})) return "Bmp";
    if (startsWith(head, {0x89, 0x50, 0x4E, 0x47})) return "Png";
    if (startsWith(head, {0xFF, 0xD8})) return "Jpg";
    return "NoImage";
}

// The bytes the kind probe read, then the rest of the file: the kind and the
// size come from one opening of the file, which on a network share or under
// a slow file system costs more than the reading.
class HeadThenRest final : public ReadStream {
public:
    HeadThenRest(const std::string& head, ReadStream& rest) : head_(head), rest_(rest) {}
    std::size_t read(void* buffer, std::size_t n) override {
        if (served_ == head_.size()) return rest_.read(buffer, n);
        const std::size_t k = std::min(n, head_.size() - served_);
        std::memcpy(buffer, head_.data() + served_, k);
        served_ += k;
        return k;
    }
    bool failed() const override { return rest_.failed(); }
    std::optional<std::uint64_t> size() const override { return rest_.size(); }

private:
    const std::string& head_;
    ReadStream& rest_;
    std::size_t served_ = 0;
};

}  // namespace

std::string GetImageType(const FileSystem& fs, const std::string& path) {
    auto head = readPrefix(fs, path, kKindBytes);
    return head ? kindOf(*head) : "NoImage";
}

std::string GetStat(const FileSystem& fs, const std::string& path) {
    // A missing file fails to open: no separate look first, which on a
    // network share would cost a round trip of its own.
    auto in = fs.openRead(path);
    // The first read takes the headers of most pictures along with the kind:
    // each read of a file is a round trip of its own.
    auto head = in ? readFirstBlock(*in, kFirstReadBytes, kKindBytes) : std::nullopt;
    if (!head) return "0x0";
    const std::string kind = kindOf(*head);
    HeadThenRest whole(*head, *in);
    if (kind == "Jpg") return sizeText(jpegSize(whole));
    if (kind == "Bmp") {
        // Only the headers are read, but a file cut short after them has no
        // size worth showing: it would fail the moment it is installed.
        auto headers = readUpTo(whole, kBmpHeaderBytes);
        auto layout = headers ? bmpLayout(*headers) : std::nullopt;
        auto length = whole.size();
        if (!layout || !length || *length < layout->pixelDataEnd) return "0x0";
        return sizeText(layout->size);
    }
    return "0x0";
}

}  // namespace ostrel
