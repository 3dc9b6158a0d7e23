#include "imaging/BmpCodec.h"

#include <climits>
#include <functional>

#include <gtest/gtest.h>

#include "fakes/TestImages.h"

namespace ostrel {
namespace {

using testing::BmpFile;
using testing::buildBmp;
using testing::hexBytes;
using Rows = std::vector<std::vector<std::uint32_t>>;  // 0xRRGGBB, top row first
using Masks = std::array<std::uint32_t, 3>;

// Pixels by palette index; -1 is a pixel never drawn (black).
Rows indexed(const std::vector<std::uint32_t>& palette, const std::vector<std::vector<int>>& indices) {
    Rows rows(indices.size());
    for (std::size_t y = 0; y < indices.size(); ++y)
        for (int i : indices[y]) rows[y].push_back(i < 0 ? 0 : palette.at(i));
    return rows;
}

Rows rowsOf(const Image& image) {
    Rows rows(image.height);
    for (int y = 0; y < image.height; ++y)
        for (const std::uint8_t* p = image.row(y); p < image.row(y) + 3 * image.width; p += 3)
            rows[y].push_back(p[2] << 16 | p[1] << 8 | p[0]);
    return rows;
}

// Each call gets a buffer of exactly the bytes' size, so a sanitizer sees any read past the end.
template <class Decoder>
auto exactly(std::string_view bytes, Decoder decoder) {
    std::vector<char> exact(bytes.begin(), bytes.end());
    return decoder(std::string_view(exact.data(), exact.size()));
}

std::optional<Image> decodeExact(std::string_view bytes) {
    return exactly(bytes, [](std::string_view b) { return decodeBmp(b); });
}
std::string sizeExact(std::string_view bytes) {
    auto layout = exactly(bytes, bmpLayout);
    return layout ? std::to_string(layout->size.width) + "x" + std::to_string(layout->size.height) : "refused";
}

const std::vector<std::uint32_t> kTwo = {0x102030, 0xA0B0C0};
// Entry 0 is not black, so pixels an RLE stream never draws are told apart from index 0.
const std::vector<std::uint32_t> kSix = {0x0A0A0A, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF};
const std::vector<std::uint32_t> kSixteen = {0x0A0A0A, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0xFFFFFF};

struct DecodeCase {
    std::string name;
    BmpFile file;
    Rows expected;
};

std::vector<DecodeCase> decodeCases() {
    const std::string rows24 = hexBytes("0A0B0C0D0E0F101112000000 010203040506070809000000");
    const Rows bottomUp24 = {{0x030201, 0x060504, 0x090807}, {0x0C0B0A, 0x0F0E0D, 0x121110}};
    // clang-format off
    return {
        {"Bpp1", {.width = 10, .height = 2, .bpp = 1, .palette = kTwo, .pixels = hexBytes("5F000000 A0C00000")},
         indexed(kTwo, {{1, 0, 1, 0, 0, 0, 0, 0, 1, 1}, {0, 1, 0, 1, 1, 1, 1, 1, 0, 0}})},
        {"Bpp4ClrUsed3LimitsThePalette", {.width = 3, .height = 2, .bpp = 4, .clrUsed = 3, .palette = kSix,
         .pixels = hexBytes("22100000 01300000")}, indexed(kSix, {{0, 1, -1}, {2, 2, 1}})},
        // The palette ends where the pixels start, whatever clrUsed says; an index past it is black.
        {"Bpp8HugeClrUsedIndexPastPalette", {.width = 3, .height = 1, .bpp = 8, .clrUsed = 0xFFFFFFFF,
         .palette = kTwo, .pixels = hexBytes("00010200")}, indexed(kTwo, {{0, 1, -1}})},
        {"Bpp8ClrUsedBeyond256", {.width = 2, .height = 1, .bpp = 8, .clrUsed = 300,
         .palette = std::vector<std::uint32_t>(300, 0x123456), .pixels = hexBytes("FF000000")}, {{0x123456, 0x123456}}},
        {"CoreHeaderBpp1", {.infoSize = 12, .width = 3, .height = 1, .bpp = 1, .palette = {0x0000FF, 0xFFFFFF},
         .pixels = hexBytes("A0000000")}, {{0xFFFFFF, 0x0000FF, 0xFFFFFF}}},
        {"Bpp16Rgb555", {.width = 2, .height = 2, .bpp = 16, .pixels = hexBytes("1F001042 007CE003")},
         {{0xFF0000, 0x00FF00}, {0x0000FF, 0x848484}}},
        {"Bpp16Bitfields565", {.width = 3, .height = 1, .bpp = 16, .compression = 3, .masks = Masks{0xF800, 0x07E0,
         0x001F}, .pixels = hexBytes("00F8E007 10040000")}, {{0xFF0000, 0x00FF00, 0x008284}}},
        {"Bpp24BottomUp", {.width = 3, .height = 2, .pixels = rows24}, bottomUp24},
        {"Bpp24TopDownV3Header", {.infoSize = 56, .width = 3, .height = -2, .pixels = rows24},
         {bottomUp24[1], bottomUp24[0]}},
        {"Bpp32RgbIgnoresAlpha", {.width = 2, .height = 1, .bpp = 32, .pixels = hexBytes("010203FF 04050600")},
         {{0x030201, 0x060504}}},
        {"Bpp32BitfieldsAfterInfoHeader", {.width = 1, .height = 1, .bpp = 32, .compression = 3,
         .masks = Masks{0xFF00, 0xFF0000, 0xFF000000}, .pixels = hexBytes("00302010")}, {{0x302010}}},
        {"Bpp32TenBitMasksInV5Header", {.infoSize = 124, .width = 1, .height = 1, .bpp = 32, .compression = 3,
         .masks = Masks{0x3FF00000, 0xFFC00, 0x3FF}, .pixels = hexBytes("0000F83F")}, {{0xFF8000}}},
        // Bottom row: a run of three; end of line; a delta to (1, 2); an absolute
        // run of three with its pad byte; end of bitmap. Row 1 is never drawn.
        {"Rle8WithEveryEscape", {.width = 4, .height = 3, .bpp = 8, .compression = 1, .clrUsed = 6, .palette = kSix,
         .pixels = hexBytes("0305 0000 00020101 000301020300 0001")},
         indexed(kSix, {{-1, 1, 2, 3}, {-1, -1, -1, -1}, {5, 5, 5, -1}})},
        {"Rle4RunsAlternateNibblesAndAbsoluteRunIsPadded", {.width = 5, .height = 2, .bpp = 4, .compression = 2,
         .palette = kSixteen, .pixels = hexBytes("031F 02E9 0000 0005345670 00 0001")},
         indexed(kSixteen, {{3, 4, 5, 6, 7}, {1, 15, 1, 14, 9}})},
        // On the middle and top rows a run and an absolute run longer than the row are
        // clipped rather than spilling into the row below; past the top nothing is drawn.
        {"Rle8ClipsAtTheEdges", {.width = 2, .height = 3, .bpp = 8, .compression = 1, .clrUsed = 6, .palette = kSix,
         .pixels = hexBytes("0000 0401 0000 0004 02020202 0002 0005 0000 0203 0001")},
         indexed(kSix, {{2, 2}, {1, 1}, {-1, -1}})},
    };
    // clang-format on
}

TEST(BmpDecode, DecodesKnownPixelsSizesFromHeadersAndRefusesEveryTruncation) {
    for (const DecodeCase& c : decodeCases()) {
        SCOPED_TRACE(c.name);
        const std::string bytes = buildBmp(c.file);
        auto image = decodeExact(bytes);
        ASSERT_TRUE(image);
        EXPECT_EQ(rowsOf(*image), c.expected);
        // The size needs the headers only (with the masks after a plain 40-byte one).
        const std::size_t headers = 14 + c.file.infoSize + (c.file.infoSize == 40 && c.file.masks ? 12 : 0);
        const std::string size = std::to_string(c.expected[0].size()) + "x" + std::to_string(c.expected.size());
        for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
            const std::string_view part = std::string_view(bytes).substr(0, cut);
            EXPECT_FALSE(decodeExact(part)) << "cut at " << cut;
            EXPECT_EQ(sizeExact(part), cut < headers ? "refused" : size) << "cut at " << cut;
        }
    }
}

BmpFile valid24() { return {.width = 4, .height = 3, .pixels = std::string(12 * 3, '\x40')}; }
BmpFile validRle8() {
    return {
        .width = 4, .height = 2, .bpp = 8, .compression = 1, .clrUsed = 2, .palette = kTwo, .pixels = hexBytes("0001")};
}

TEST(BmpDecodeRefuses, LyingOrUnsupportedHeadersAndMissingData) {
    auto bitfields16 = [](BmpFile& f, Masks masks) { f.bpp = 16, f.compression = 3, f.masks = masks; };
    // clang-format off
    const std::pair<const char*, std::function<void(BmpFile&)>> cases[] = {
        {"WidthZero", [](BmpFile& f) { f.width = 0; }}, {"WidthNegative", [](BmpFile& f) { f.width = -4; }},
        {"HeightZero", [](BmpFile& f) { f.height = 0; }}, {"WidthOverSideLimit", [](BmpFile& f) { f.width = 70000; }},
        {"TooManyPixels", [](BmpFile& f) { f.width = 30000, f.height = 20000; }},
        {"MostNegativeHeight", [](BmpFile& f) { f.height = INT_MIN; }},
        {"TwoPlanes", [](BmpFile& f) { f.planes = 2; }}, {"Bpp7", [](BmpFile& f) { f.bpp = 7; }},
        {"EmbeddedPng", [](BmpFile& f) { f.compression = 5; }}, {"Rle8At24Bpp", [](BmpFile& f) { f.compression = 1; }},
        {"BitfieldsAt24Bpp", [](BmpFile& f) { f.compression = 3, f.masks = Masks{0xFF0000, 0xFF00, 0xFF}; }},
        {"Rle8TopDown", [](BmpFile& f) { f = validRle8(), f.height = -2; }},
        {"Rle4At8Bpp", [](BmpFile& f) { f = validRle8(), f.compression = 2; }},
        {"CoreHeaderAt16Bpp", [](BmpFile& f) { f.infoSize = 12, f.bpp = 16; }},
        {"UnknownInfoSize64", [](BmpFile& f) { f.infoSize = 64; }},
        {"DataOffsetInsideHeaders", [](BmpFile& f) { f.dataOffset = 40; }},
        {"ZeroMask", [&](BmpFile& f) { bitfields16(f, {0xF800, 0, 0x1F}); }},
        {"SplitMask", [&](BmpFile& f) { bitfields16(f, {0xF00F, 0x07E0, 0x1F}); }},
        {"MaskWiderThanPixel", [&](BmpFile& f) { bitfields16(f, {0x1F800, 0x07E0, 0x1F}); }},
    };
    // clang-format on
    ASSERT_TRUE(decodeExact(buildBmp(valid24())));
    ASSERT_TRUE(decodeExact(buildBmp(validRle8())));
    for (const auto& [name, change] : cases) {
        BmpFile file = valid24();
        change(file);
        const std::string bytes = buildBmp(file);
        EXPECT_FALSE(decodeExact(bytes)) << name;
        EXPECT_EQ(sizeExact(bytes), "refused") << name;
    }
    // Pixels may be followed by more (that they are all there is the fuzz target's property).
    EXPECT_FALSE(decodeExact(buildBmp(valid24()).replace(0, 1, 1, 'X')));  // not "BM"
    EXPECT_TRUE(decodeExact(buildBmp(valid24()) + "trailing"));
}

// What is written reads back the same: the fuzz target's property. The rows
// come top first and go out in batches from the bottom of the file up: one
// batch, several with a short last one, and a row wider than a batch.
TEST(BmpWrite, WritesBottomUpWithPaddedRowsAndPlainHeadersOrReportsFailure) {
    for (const ImageSize size : {ImageSize{1, 1}, {2, 3}, {3, 2}, {4, 1}, {301, 300}, {5, 9000}, {30000, 3}}) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        const Image picture = testing::makeImage(size.width, size.height, [](int x, int y) {
            return testing::Bgr{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                static_cast<std::uint8_t>(y >> 8)};
        });
        testing::MemoryWriteStream out;
        ASSERT_TRUE(writeBmp24(picture, out));
        const std::size_t rowBytes = size.width * 3u, stride = (rowBytes + 3) / 4 * 4;  // rows padded to 4 bytes
        ASSERT_EQ(out.bytes.size(), 54u + stride * size.height);
        std::string bottomUp;
        for (int y = size.height - 1; y >= 0; --y)
            bottomUp.append(reinterpret_cast<const char*>(picture.row(y)), rowBytes).append(stride - rowBytes, '\0');
        ASSERT_TRUE(out.bytes.substr(54) == bottomUp);
        // The headers of a plain bottom-up 24-bit file at 72 dpi, field by field.
        EXPECT_EQ(out.bytes.substr(0, 54),
                  buildBmp({.width = size.width, .height = size.height, .pixels = out.bytes.substr(54)}).substr(0, 54));
    }
    testing::MemoryWriteStream full(100000), out;
    EXPECT_FALSE(writeBmp24(testing::gradientImage(300, 300), full));
    for (int rows : {1, 3}) {  // a row short, a row too many
        BmpRowWriter writer(out, {2, 2});
        for (int y = 0; y < rows; ++y) writer.row(testing::gradientImage(2, 1).pixels.data());
        EXPECT_FALSE(writer.finish()) << rows;
    }
    EXPECT_FALSE(writeBmp24(Image{}, out));
    EXPECT_FALSE(writeBmp24(Image{10, 10, std::vector<std::uint8_t>(5)}, out));
}

}  // namespace
}  // namespace ostrel
