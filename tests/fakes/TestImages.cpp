#include "fakes/TestImages.h"

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <algorithm>

#include <jpeglib.h>

#include "imaging/BmpCodec.h"

namespace ostrel::testing {

Image makeImage(int width, int height, const std::function<Bgr(int x, int y)>& pixel) {
    Image image{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Bgr c = pixel(x, y);
            std::uint8_t* p = image.row(y) + 3 * x;
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    return image;
}

Image solidImage(int width, int height, Bgr colour) {
    return makeImage(width, height, [&](int, int) { return colour; });
}

Image gradientImage(int width, int height) {
    return makeImage(width, height, [&](int x, int y) {
        return Bgr{static_cast<std::uint8_t>(x * 255 / std::max(1, width - 1)),
                   static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1)),
                   static_cast<std::uint8_t>((x + y) * 255 / std::max(1, width + height - 2))};
    });
}

Bgr pixelAt(const Image& image, int x, int y) {
    const std::uint8_t* p = image.row(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

namespace {

struct JpegMemoryDestination {
    unsigned char* data = nullptr;
    unsigned long size = 0;
    ~JpegMemoryDestination() { std::free(data); }
};

// An encoder error is a bug in the test itself: say so and stop.
[[noreturn]] void abortOnError(j_common_ptr cinfo) {
    char message[JMSG_LENGTH_MAX];
    cinfo->err->format_message(cinfo, message);
    std::fprintf(stderr, "encodeJpeg: %s\n", message);
    std::abort();
}

}  // namespace

std::string encodeJpeg(const Image& image, int quality, JpegFlavour flavour) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    err.error_exit = abortOnError;
    jpeg_create_compress(&cinfo);
    JpegMemoryDestination dest;
    jpeg_mem_dest(&cinfo, &dest.data, &dest.size);
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);

    const bool grey = flavour == JpegFlavour::Grayscale || flavour == JpegFlavour::ManyScans;
    const bool cmyk = flavour == JpegFlavour::Cmyk;
    cinfo.input_components = grey ? 1 : cmyk ? 4 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (flavour == JpegFlavour::Progressive) jpeg_simple_progression(&cinfo);
    std::vector<jpeg_scan_info> scans;
    if (flavour == JpegFlavour::ManyScans) {
        scans.push_back({1, {0}, 0, 0, 0, 1});
        for (int k = 1; k < 64; ++k) scans.push_back({1, {0}, k, k, 0, 1});
        scans.push_back({1, {0}, 0, 0, 1, 0});
        for (int k = 1; k < 64; ++k) scans.push_back({1, {0}, k, k, 1, 0});
        cinfo.scan_info = scans.data();
        cinfo.num_scans = static_cast<int>(scans.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(image.width) * 4);
    while (cinfo.next_scanline < cinfo.image_height) {
        const std::uint8_t* src = image.row(static_cast<int>(cinfo.next_scanline));
        JSAMPROW rowPointer = row.data();
        for (int x = 0; x < image.width; ++x) {
            unsigned b = src[3 * x], g = src[3 * x + 1], r = src[3 * x + 2];
            if (grey) {
                row[x] = static_cast<std::uint8_t>((r * 77 + g * 150 + b * 29 + 128) >> 8);
            } else if (cmyk) {
                // Inverted CMYK: 255 means no ink. K' = max(R,G,B), C' = R * 255 / K'.
                unsigned k = std::max({r, g, b});
                std::uint8_t* p = &row[4 * x];
                p[0] = static_cast<std::uint8_t>(k ? (r * 255 + k / 2) / k : 0);
                p[1] = static_cast<std::uint8_t>(k ? (g * 255 + k / 2) / k : 0);
                p[2] = static_cast<std::uint8_t>(k ? (b * 255 + k / 2) / k : 0);
                p[3] = static_cast<std::uint8_t>(k);
            } else {
                std::memcpy(&row[3 * x], src + 3 * x, 3);
            }
        }
        jpeg_write_scanlines(&cinfo, &rowPointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string bytes(reinterpret_cast<const char*>(dest.data), dest.size);
    jpeg_destroy_compress(&cinfo);
    return bytes;
}

std::string jpegClaiming(int width, int height, JpegFlavour flavour) {
    std::string bytes = encodeJpeg(solidImage(16, 16, {10, 20, 30}), 50, flavour);
    const std::size_t frame = bytes.find(flavour == JpegFlavour::Progressive ? "\xFF\xC2" : "\xFF\xC0");
    const auto put = [&](std::size_t at, int v) {
        bytes[at] = static_cast<char>(v >> 8);
        bytes[at + 1] = static_cast<char>(v & 0xFF);
    };
    put(frame + 5, height);
    put(frame + 7, width);
    return bytes;
}

namespace {

void put16(std::string& s, std::uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void put32(std::string& s, std::uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

}  // namespace

std::string buildBmp(const BmpFile& f) {
    std::string info;
    put32(info, f.infoSize);
    if (f.infoSize == 12) {
        put16(info, static_cast<std::uint32_t>(f.width));
        put16(info, static_cast<std::uint32_t>(f.height));
        put16(info, f.planes);
        put16(info, f.bpp);
    } else {
        put32(info, static_cast<std::uint32_t>(f.width));
        put32(info, static_cast<std::uint32_t>(f.height));
        put16(info, f.planes);
        put16(info, f.bpp);
        put32(info, f.compression);
        put32(info, static_cast<std::uint32_t>(f.pixels.size()));
        put32(info, 2835);
        put32(info, 2835);
        put32(info, f.clrUsed);
        put32(info, 0);
        if (f.infoSize > 40 && f.masks)
            for (std::uint32_t m : *f.masks) put32(info, m);
    }
    if (info.size() < f.infoSize) info.resize(f.infoSize, '\0');
    if (f.infoSize == 40 && f.masks)
        for (std::uint32_t m : *f.masks) put32(info, m);
    for (std::uint32_t c : f.palette) {
        info.push_back(static_cast<char>(c & 0xFF));
        info.push_back(static_cast<char>((c >> 8) & 0xFF));
        info.push_back(static_cast<char>((c >> 16) & 0xFF));
        if (f.infoSize != 12) info.push_back('\0');
    }
    const std::uint32_t offset = f.dataOffset.value_or(static_cast<std::uint32_t>(14 + info.size()));
    std::string file = "BM";
    put32(file, static_cast<std::uint32_t>(14 + info.size() + f.pixels.size()));
    put32(file, 0);
    put32(file, offset);
    return file + info + f.pixels;
}

std::string bmpBytes(const Image& image) {
    MemoryWriteStream out;
    if (!writeBmp24(image, out)) std::abort();
    return out.bytes;
}

std::string hexBytes(const std::string& hex) {
    std::string out, digits;
    for (char c : hex)
        if (c != ' ') digits.push_back(c);
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return out;
}

std::string pngBytes() { return hexBytes("89504E470D0A1A0A 0000000D 49484452 00000025 00000015 0802000000 00000000"); }

std::string gifBytes(bool gif89) {
    return std::string(gif89 ? "GIF89a" : "GIF87a") + hexBytes("2500 1500 00 00 00 3B");
}

std::size_t MemoryReadStream::read(void* buffer, std::size_t n) {
    if (failed_) return 0;
    std::size_t room = std::min(bytes_.size(), failAfter_) - std::min(pos_, std::min(bytes_.size(), failAfter_));
    std::size_t got = std::min(n, room);
    std::memcpy(buffer, bytes_.data() + pos_, got);
    pos_ += got;
    if (got == 0 && pos_ >= failAfter_ && pos_ < bytes_.size()) failed_ = true;
    return got;
}

}  // namespace ostrel::testing
