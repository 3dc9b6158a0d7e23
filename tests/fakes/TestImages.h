#pragma once
// Pictures and picture files made on the spot for the imaging tests.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "imaging/Image.h"
#include "platform/FileSystem.h"

namespace ostrel::testing {

struct Bgr {
    std::uint8_t b = 0, g = 0, r = 0;
    friend bool operator==(const Bgr&, const Bgr&) = default;
};

Image makeImage(int width, int height, const std::function<Bgr(int x, int y)>& pixel);
Image solidImage(int width, int height, Bgr colour);
// Smooth colour ramps in both directions.
Image gradientImage(int width, int height);
Bgr pixelAt(const Image& image, int x, int y);

// ManyScans: a grey progressive file of 128 scans (each AC coefficient in a
// scan of its own, then refined in another), valid but far beyond the usual ten.
enum class JpegFlavour { Colour, Grayscale, Progressive, Cmyk, ManyScans };
// Compressed with libjpeg; Cmyk is stored Adobe-style (inverted) with an Adobe marker.
std::string encodeJpeg(const Image& image, int quality = 90, JpegFlavour flavour = JpegFlavour::Colour);
// A small colour JPEG (4:2:0) whose frame header claims width x height.
std::string jpegClaiming(int width, int height, JpegFlavour flavour = JpegFlavour::Progressive);

// A BMP written field by field, so that tests can make any file, valid or not.
struct BmpFile {
    std::uint32_t infoSize = 40;  // 12, 40, 52, 56, 108, 124 (or anything else to test refusal)
    std::int32_t width = 0;
    std::int32_t height = 0;  // negative: top-down
    std::uint16_t planes = 1;
    std::uint16_t bpp = 24;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;
    std::vector<std::uint32_t> palette{};                 // 0xRRGGBB
    std::optional<std::array<std::uint32_t, 3>> masks{};  // R, G, B; after a 40-byte header, else inside it
    std::string pixels{};                                 // the pixel data exactly as stored
    std::optional<std::uint32_t> dataOffset{};            // default: right after the palette
};
std::string buildBmp(const BmpFile& file);
// The picture as the program writes its bitmap.
std::string bmpBytes(const Image& image);
// "0A ff 1" style hex, blanks ignored.
std::string hexBytes(const std::string& hex);

std::string pngBytes();
std::string gifBytes(bool gif89);

// Reads from memory; optionally fails after a number of bytes, like a disk error.
class MemoryReadStream final : public ReadStream {
public:
    explicit MemoryReadStream(std::string bytes, std::size_t failAfter = std::string::npos)
        : bytes_(std::move(bytes)), failAfter_(failAfter) {}
    std::size_t read(void* buffer, std::size_t n) override;
    bool failed() const override { return failed_; }
    std::optional<std::uint64_t> size() const override { return bytes_.size(); }

private:
    std::string bytes_;
    std::size_t pos_ = 0;
    std::size_t failAfter_;
    bool failed_ = false;
};

// A positional write into bytes held in memory, which grow to take it.
inline void placeBytes(std::string& bytes, std::uint64_t offset, const void* data, std::size_t n) {
    const auto at = static_cast<std::size_t>(offset);
    if (bytes.size() < at + n) bytes.resize(at + n);
    bytes.replace(at, n, static_cast<const char*>(data), n);
}

// Collects written bytes in memory; optionally refuses writes once `limit` bytes are in.
class MemoryWriteStream final : public WriteStream {
public:
    explicit MemoryWriteStream(std::size_t limit = std::string::npos) : limit_(limit) {}
    bool write(const void* data, std::size_t n) override {
        if (bytes.size() + n > limit_) return false;
        bytes.append(static_cast<const char*>(data), n);
        return true;
    }
    bool writeAt(std::uint64_t offset, const void* data, std::size_t n) override {
        if (offset > limit_ || n > limit_ - offset) return false;
        placeBytes(bytes, offset, data, n);
        return true;
    }
    bool commit() override { return true; }

    std::string bytes;

private:
    std::size_t limit_;
};

}  // namespace ostrel::testing
