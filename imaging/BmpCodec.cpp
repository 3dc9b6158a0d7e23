#include "imaging/BmpCodec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>

namespace ostrel {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;

constexpr std::size_t kFileHeaderSize = 14;

// Larger pictures are refused before anything is allocated. 65535 per side is
// also the most a JPEG can have, so both readers agree; 400 million pixels is
// 1.2 GB of decoded picture, more than a desktop process can count on getting
// and far beyond any wallpaper.
constexpr std::int64_t kMaxSide = 65535;
constexpr std::int64_t kMaxPixels = 400'000'000;

std::uint16_t le16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8);
}

std::uint32_t le32(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(le16(b, at)) | static_cast<std::uint32_t>(le16(b, at + 2)) << 16;
}

// One colour channel of a 16- or 32-bit pixel.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    std::uint8_t extract(std::uint32_t pixel) const {
        std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return static_cast<std::uint8_t>(v >> (bits - 8));
        std::uint32_t max = (1u << bits) - 1;
        return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
    }
};

// Masks must be one contiguous run of bits inside the pixel.
std::optional<Channel> makeChannel(std::uint32_t mask, int bpp) {
    if (mask == 0) return std::nullopt;
    if (bpp < 32 && (mask >> bpp) != 0) return std::nullopt;
    Channel c;
    c.mask = mask;
    c.shift = std::countr_zero(mask);
    std::uint32_t run = mask >> c.shift;
    if ((run & (run + 1)) != 0) return std::nullopt;
    c.bits = std::popcount(run);
    return c;
}

struct BmpHeader {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bpp = 0;
    std::uint32_t compression = kBiRgb;
    std::size_t dataOffset = 0;
    std::size_t paletteOffset = 0;
    std::size_t paletteEntrySize = 4;
    std::size_t paletteCount = 0;  // entries the header promises, at most 2^bpp
    Channel red, green, blue;
};

bool validCombination(int bpp, std::uint32_t compression) {
    switch (compression) {
    case kBiRgb: return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    case kBiRle8: return bpp == 8;
    case kBiRle4: return bpp == 4;
    case kBiBitfields: return bpp == 16 || bpp == 32;
    default: return false;  // BI_JPEG, BI_PNG, BI_ALPHABITFIELDS, CMYK variants...
    }
}

// Everything the headers say, checked as far as the headers alone allow.
std::optional<BmpHeader> parseHeader(std::string_view b) {
    if (b.size() < kFileHeaderSize + 4 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
    BmpHeader h;
    h.dataOffset = le32(b, 10);
    const std::uint32_t infoSize = le32(b, kFileHeaderSize);
    const std::size_t info = kFileHeaderSize;
    if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124)
        return std::nullopt;
    if (b.size() < info + infoSize) return std::nullopt;

    std::int64_t width = 0, height = 0;
    int planes = 0;
    std::size_t headersEnd = info + infoSize;
    if (infoSize == 12) {
        width = le16(b, info + 4);
        height = le16(b, info + 6);
        planes = le16(b, info + 8);
        h.bpp = le16(b, info + 10);
        h.paletteEntrySize = 3;
        if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 24) return std::nullopt;
    } else {
        width = static_cast<std::int32_t>(le32(b, info + 4));
        height = static_cast<std::int32_t>(le32(b, info + 8));
        planes = le16(b, info + 12);
        h.bpp = le16(b, info + 14);
        h.compression = le32(b, info + 16);
        if (!validCombination(h.bpp, h.compression)) return std::nullopt;
        if (h.compression == kBiBitfields) {
            // Version 2+ headers carry the masks; the plain 40-byte header is followed by them.
            std::size_t masksAt = info + 40;
            if (infoSize == 40) {
                headersEnd += 12;
                if (b.size() < headersEnd) return std::nullopt;
            }
            auto r = makeChannel(le32(b, masksAt), h.bpp);
            auto g = makeChannel(le32(b, masksAt + 4), h.bpp);
            auto bl = makeChannel(le32(b, masksAt + 8), h.bpp);
            if (!r || !g || !bl) return std::nullopt;
            h.red = *r;
            h.green = *g;
            h.blue = *bl;
        } else if (h.bpp == 16) {
            h.red = *makeChannel(0x7C00, 16);
            h.green = *makeChannel(0x03E0, 16);
            h.blue = *makeChannel(0x001F, 16);
        }
        if (h.bpp <= 8) {
            std::uint32_t used = le32(b, info + 32);
            std::uint32_t full = 1u << h.bpp;
            h.paletteCount = used == 0 || used > full ? full : used;
        }
    }
    if (infoSize == 12) h.paletteCount = h.bpp <= 8 ? std::size_t{1} << h.bpp : 0;

    if (planes != 1 || width <= 0 || height == 0) return std::nullopt;
    h.topDown = height < 0;
    if (h.topDown) {
        if (h.compression == kBiRle8 || h.compression == kBiRle4) return std::nullopt;
        height = -height;
    }
    if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels) return std::nullopt;
    h.width = static_cast<int>(width);
    h.height = static_cast<int>(height);

    h.paletteOffset = headersEnd;
    if (h.dataOffset < headersEnd) return std::nullopt;
    return h;
}

bool runLength(const BmpHeader& h) { return h.compression == kBiRle8 || h.compression == kBiRle4; }

std::uint64_t uncompressedStride(const BmpHeader& h) {
    return (static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.bpp) + 31) / 32 * 4;
}

using Palette = std::array<std::array<std::uint8_t, 3>, 256>;

// Entries the file does not really have stay black, so any index is safe to look up.
Palette readPalette(std::string_view b, const BmpHeader& h) {
    Palette p{};
    std::size_t room = std::min(h.dataOffset, b.size()) - h.paletteOffset;
    std::size_t count = std::min(h.paletteCount, room / h.paletteEntrySize);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t at = h.paletteOffset + i * h.paletteEntrySize;
        p[i] = {static_cast<std::uint8_t>(b[at]), static_cast<std::uint8_t>(b[at + 1]),
                static_cast<std::uint8_t>(b[at + 2])};
    }
    return p;
}

void decodeRow(const std::uint8_t* src, std::uint8_t* dst, const BmpHeader& h, const Palette& pal) {
    const int w = h.width;
    switch (h.bpp) {
    case 1:
    case 4:
    case 8: {
        const int perByte = 8 / h.bpp;
        const unsigned indexMask = (1u << h.bpp) - 1;
        for (int x = 0; x < w; ++x) {
            int shift = 8 - h.bpp * (x % perByte + 1);
            unsigned index = (static_cast<unsigned>(src[x / perByte]) >> shift) & indexMask;
            std::memcpy(dst + 3 * x, pal[index].data(), 3);
        }
        break;
    }
    case 24: std::memcpy(dst, src, static_cast<std::size_t>(w) * 3); break;
    case 16:
    case 32: {
        if (h.bpp == 32 && h.compression == kBiRgb) {
            for (int x = 0; x < w; ++x) std::memcpy(dst + 3 * x, src + 4 * x, 3);
            break;
        }
        const int bytes = h.bpp / 8;
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = src + bytes * x;
            std::uint32_t v = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
            if (bytes == 4) v |= static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
            dst[3 * x] = h.blue.extract(v);
            dst[3 * x + 1] = h.green.extract(v);
            dst[3 * x + 2] = h.red.extract(v);
        }
        break;
    }
    }
}

bool holdsPixelData(std::string_view b, const BmpHeader& h) {
    const std::uint64_t need = uncompressedStride(h) * static_cast<std::uint64_t>(h.height);
    return h.dataOffset <= b.size() && need <= b.size() - h.dataOffset;
}

void decodeUncompressed(std::string_view b, const BmpHeader& h, const Palette& pal, Image& image) {
    const std::uint64_t stride = uncompressedStride(h);
    const auto* data = reinterpret_cast<const std::uint8_t*>(b.data()) + h.dataOffset;
    for (int r = 0; r < h.height; ++r) {
        int y = h.topDown ? r : h.height - 1 - r;
        decodeRow(data + static_cast<std::uint64_t>(r) * stride, image.row(y), h, pal);
    }
}

// Run-length data is a stream of commands drawn from the bottom row up. Runs
// that go past the right edge are clipped and commands that move beyond the top
// draw nothing; the stream must still end with its end-of-bitmap marker, so a
// cut-off file is refused. draw(x, y, index) gets each pixel inside the
// picture (y counted from the bottom), so the work is bounded by the file's
// length and the picture's size, and a walk with a draw that does nothing
// checks the stream before any picture is made.
template <class Draw>
bool walkRle(std::string_view b, const BmpHeader& h, Draw draw) {
    if (h.dataOffset > b.size()) return false;
    const auto* data = reinterpret_cast<const std::uint8_t*>(b.data());
    const std::size_t end = b.size();
    const bool rle8 = h.compression == kBiRle8;
    std::size_t pos = h.dataOffset;
    std::int64_t x = 0, y = 0;

    auto advance = [](std::int64_t v, std::int64_t by, std::int64_t limit) { return std::min(v + by, limit); };
    // Pixels of a run of n from x that land inside the picture.
    auto inside = [&](unsigned n) -> unsigned {
        return y < h.height ? static_cast<unsigned>(std::clamp<std::int64_t>(h.width - x, 0, n)) : 0;
    };

    for (;;) {
        if (end - pos < 2) return false;
        const unsigned count = data[pos], value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (unsigned i = 0, n = inside(count); i < n; ++i)
                draw(x + i, y, rle8 ? value : (i % 2 == 0 ? value >> 4 : value & 15));
            x = advance(x, count, h.width);
            continue;
        }
        switch (value) {
        case 0:  // end of line
            x = 0;
            y = advance(y, 1, h.height);
            break;
        case 1:  // end of bitmap
            return true;
        case 2:  // delta
            if (end - pos < 2) return false;
            x = advance(x, data[pos], h.width);
            y = advance(y, data[pos + 1], h.height);
            pos += 2;
            break;
        default: {  // absolute run, padded to a 16-bit boundary
            const std::size_t bytes = rle8 ? value : (value + 1) / 2;
            const std::size_t padded = (bytes + 1) & ~std::size_t{1};
            if (end - pos < padded) return false;
            for (unsigned i = 0, n = inside(value); i < n; ++i) {
                unsigned byte = data[pos + (rle8 ? i : i / 2)];
                draw(x + i, y, rle8 ? byte : (i % 2 == 0 ? byte >> 4 : byte & 15));
            }
            x = advance(x, value, h.width);
            pos += padded;
            break;
        }
        }
    }
}

// A run-length stream skips pixels for nothing (a line end, a delta, the end
// marker), so 60 bytes can describe 20000 x 20000 pixels of nothing, costing
// the whole picture's memory and the time to fill it. A real picture spends
// bytes on what it shows: a run of 2 bytes covers at most 255 pixels. Beyond
// a size any file may have, the stream must be long enough to cover its
// picture at 1024 pixels a byte, eight times the densest runs.
constexpr std::uint64_t kRlePixelsAlwaysBorne = 4u << 20;
constexpr std::uint64_t kRlePixelsPerByte = 1024;

bool streamCouldCover(std::uint64_t streamBytes, const BmpHeader& h) {
    const std::uint64_t pixels = static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height);
    return pixels <= kRlePixelsAlwaysBorne || pixels <= kRlePixelsPerByte * streamBytes;
}

void putLe16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void putLe32(std::uint8_t* p, std::uint32_t v) {
    putLe16(p, v & 0xFFFF);
    putLe16(p + 2, v >> 16);
}

}  // namespace

std::optional<BmpLayout> bmpLayout(std::string_view headerBytes) {
    auto h = parseHeader(headerBytes);
    if (!h) return std::nullopt;
    BmpLayout layout;
    layout.size = ImageSize{h->width, h->height};
    const std::uint64_t pixels = static_cast<std::uint64_t>(h->width) * static_cast<std::uint64_t>(h->height);
    if (runLength(*h)) {
        // Compressed data has no length to check short of reading it (the
        // header's own figure is often wrong): at least the end-of-bitmap
        // marker. A sane encoder never spends more than a delta command per
        // pixel plus a line end per row.
        layout.pixelDataEnd = h->dataOffset + 2;
        layout.readLimit = h->dataOffset + 4 * pixels + 2 * static_cast<std::uint64_t>(h->height) + 2;
    } else {
        layout.pixelDataEnd = h->dataOffset + uncompressedStride(*h) * static_cast<std::uint64_t>(h->height);
        layout.readLimit = layout.pixelDataEnd;
    }
    layout.readLimit = std::max(layout.readLimit, layout.pixelDataEnd);
    return layout;
}

std::optional<Image> decodeBmp(std::string_view fileBytes, std::uint64_t memoryLimit) {
    auto h = parseHeader(fileBytes);
    if (!h || h->dataOffset > fileBytes.size()) return std::nullopt;
    // Everything is checked before the picture is made: a declared size costs
    // the file a few bytes, the picture costs memory and the time to fill it.
    if (pictureBytes(h->width, h->height) > memoryLimit) return std::nullopt;
    const bool rle = runLength(*h);
    if (rle && !streamCouldCover(fileBytes.size() - h->dataOffset, *h)) return std::nullopt;
    if (rle ? !walkRle(fileBytes, *h, [](std::int64_t, std::int64_t, unsigned) {}) : !holdsPixelData(fileBytes, *h))
        return std::nullopt;
    const Palette palette = readPalette(fileBytes, *h);
    try {
        Image image;
        image.width = h->width;
        image.height = h->height;
        image.pixels.assign(static_cast<std::size_t>(pictureBytes(h->width, h->height)), 0);
        if (rle)
            walkRle(fileBytes, *h, [&](std::int64_t x, std::int64_t y, unsigned index) {
                std::memcpy(image.row(h->height - 1 - static_cast<int>(y)) + 3 * x, palette[index].data(), 3);
            });
        else
            decodeUncompressed(fileBytes, *h, palette, image);
        return image;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool writeBmp24(const Image& image, WriteStream& out) {
    if (image.pixels.size() != pictureBytes(image.width, image.height)) return false;
    BmpRowWriter writer(out, image.size());
    for (int y = 0; y < image.height; ++y) writer.row(image.row(y));
    return writer.finish();
}

BmpRowWriter::BmpRowWriter(WriteStream& out, ImageSize size) : out_(out), size_(size) {
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(std::max(size.width, 0)) * 3;
    const std::uint64_t stride = (rowBytes + 3) & ~std::uint64_t{3};
    const std::uint64_t imageBytes = stride * static_cast<std::uint64_t>(std::max(size.height, 0));
    if (size.width <= 0 || size.height <= 0 || imageBytes + 54 > 0xFFFFFFFFu) {
        failed_ = true;
        return;
    }
    rowBytes_ = static_cast<std::size_t>(rowBytes);
    stride_ = static_cast<std::size_t>(stride);

    std::uint8_t header[54] = {'B', 'M'};
    putLe32(header + 2, static_cast<std::uint32_t>(imageBytes + 54));
    putLe32(header + 10, 54);
    putLe32(header + 14, 40);
    putLe32(header + 18, static_cast<std::uint32_t>(size.width));
    putLe32(header + 22, static_cast<std::uint32_t>(size.height));
    putLe16(header + 26, 1);
    putLe16(header + 28, 24);
    putLe32(header + 30, kBiRgb);
    putLe32(header + 34, static_cast<std::uint32_t>(imageBytes));
    putLe32(header + 38, 2835);  // 72 dpi
    putLe32(header + 42, 2835);
    failed_ = !out_.writeAt(0, header, sizeof header);

    // Batches of about 64 KiB: few write calls, and a buffer small enough to be
    // the same memory from one change to the next.
    batchRows_ =
        static_cast<int>(std::clamp<std::size_t>(64 * 1024 / stride_, 1, static_cast<std::size_t>(size.height)));
    batch_.assign(static_cast<std::size_t>(batchRows_) * stride_, 0);
}

void BmpRowWriter::row(const std::uint8_t* bgr) {
    if (failed_ || rows_ >= size_.height) {
        failed_ = true;
        return;
    }
    // Row y's batch holds rows first..first+n-1 from the top, the lowest first.
    const int y = rows_++;
    const int first = y - y % batchRows_;
    const int n = std::min(batchRows_, size_.height - first);
    std::memcpy(batch_.data() + static_cast<std::size_t>(first + n - 1 - y) * stride_, bgr, rowBytes_);
    if (y == first + n - 1) writeBatch();
}

void BmpRowWriter::writeBatch() {
    const int last = rows_ - 1;
    const int first = last - last % batchRows_;
    const auto n = static_cast<std::size_t>(last - first + 1);
    // The batch's lowest row is the file's row height - 1 - last.
    const std::uint64_t at = 54 + static_cast<std::uint64_t>(size_.height - 1 - last) * stride_;
    if (!out_.writeAt(at, batch_.data(), n * stride_)) failed_ = true;
}

bool BmpRowWriter::finish() { return !failed_ && rows_ == size_.height; }

}  // namespace ostrel
