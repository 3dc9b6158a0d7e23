#include "changer/BmpCodec.h"

#include <climits>
#include <functional>

#include <gtest/gtest.h>

#include "fakes/TestImages.h"

namespace ostrel {
namespace {

using testing::Bgr;
using testing::BmpFile;
using testing::buildBmp;
using testing::hexBytes;
using Rows = std::vector<std::vector<Bgr>>;

constexpr Bgr kBlack{};

Bgr rgb(std::uint32_t c) {
    return {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c >> 16)};
}

Rows indexed(const std::vector<std::uint32_t>& palette, const std::vector<std::vector<int>>& indices) {
    Rows rows;
    for (const auto& line : indices) {
        rows.emplace_back();
        for (int i : line) rows.back().push_back(i < 0 ? kBlack : rgb(palette.at(i)));
    }
    return rows;
}

Rows rowsOf(const Image& image) {
    Rows rows(image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) rows[y].push_back(testing::pixelAt(image, x, y));
    return rows;
}

// A copy in a buffer of exactly its size, so the sanitizer sees any read past the end.
std::optional<Image> decodeExact(std::string_view bytes) {
    std::vector<char> exact(bytes.begin(), bytes.end());
    return decodeBmp(std::string_view(exact.data(), exact.size()));
}

const std::vector<std::uint32_t> kTwo = {0x102030, 0xA0B0C0};
const std::vector<std::uint32_t> kFour = {0xFF0000, 0x00FF00, 0x0000FF, 0x808080};
// Entry 0 is not black, so pixels an RLE stream never draws are told apart from index 0.
const std::vector<std::uint32_t> kSix = {0x0A0A0A, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF};
std::vector<std::uint32_t> sixteen() {
    std::vector<std::uint32_t> p;
    for (std::uint32_t i = 0; i < 16; ++i) p.push_back(i * 0x100000 | (255 - i * 16) << 8 | (i + 1));
    return p;
}

struct DecodeCase {
    std::string name;
    BmpFile file;
    Rows expected;  // top row first
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

std::vector<DecodeCase> decodeCases() {
    const Bgr grey5{132, 132, 132};
    std::vector<DecodeCase> cases = {
        {"Bpp1", {.width = 10, .height = 2, .bpp = 1, .palette = kTwo, .pixels = hexBytes("5F000000 A0C00000")},
         indexed(kTwo, {{1, 0, 1, 0, 0, 0, 0, 0, 1, 1}, {0, 1, 0, 1, 1, 1, 1, 1, 0, 0}})},
        {"Bpp4ClrUsed3",
         {.width = 3, .height = 2, .bpp = 4, .clrUsed = 3, .palette = {0x112233, 0x445566, 0x778899},
          .pixels = hexBytes("22100000 01200000")},
         indexed({0x112233, 0x445566, 0x778899}, {{0, 1, 2}, {2, 2, 1}})},
        {"Bpp8", {.width = 3, .height = 2, .bpp = 8, .clrUsed = 4, .palette = kFour,
                  .pixels = hexBytes("02010000 00030100")},
         indexed(kFour, {{0, 3, 1}, {2, 1, 0}})},
        {"Bpp8IndexBeyondPaletteIsBlack",
         {.width = 2, .height = 1, .bpp = 8, .clrUsed = 2, .palette = {0xFF0000, 0x00FF00},
          .pixels = hexBytes("01C80000")},
         {{rgb(0x00FF00), kBlack}}},
        {"Bpp8HugeClrUsedReadsOnlyThePaletteThere",
         {.width = 3, .height = 1, .bpp = 8, .clrUsed = 0xFFFFFFFF, .palette = {0xFF0000, 0x00FF00},
          .pixels = hexBytes("00010500")},
         {{rgb(0xFF0000), rgb(0x00FF00), kBlack}}},
        {"Bpp8ClrUsedBeyond256UsesTheFirst256",
         {.width = 2, .height = 1, .bpp = 8, .clrUsed = 300, .palette = std::vector<std::uint32_t>(300, 0x123456),
          .pixels = hexBytes("FF000000")},
         {{rgb(0x123456), rgb(0x123456)}}},
        {"CoreHeaderBpp1",
         {.infoSize = 12, .width = 3, .height = 1, .bpp = 1, .palette = {0x0000FF, 0xFFFFFF},
          .pixels = hexBytes("A0000000")},
         {{rgb(0xFFFFFF), rgb(0x0000FF), rgb(0xFFFFFF)}}},
        {"Bpp16Rgb555", {.width = 2, .height = 2, .bpp = 16, .pixels = hexBytes("1F001042 007CE003")},
         {{rgb(0xFF0000), rgb(0x00FF00)}, {rgb(0x0000FF), grey5}}},
        {"Bpp16Bitfields565",
         {.width = 3, .height = 1, .bpp = 16, .compression = 3,
          .masks = std::array<std::uint32_t, 3>{0xF800, 0x07E0, 0x001F}, .pixels = hexBytes("00F8E007 10040000")},
         {{rgb(0xFF0000), rgb(0x00FF00), Bgr{132, 130, 0}}}},
        {"Bpp24BottomUp",
         {.width = 3, .height = 2, .pixels = hexBytes("0A0B0C0D0E0F101112000000 010203040506070809000000")},
         {{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, {{10, 11, 12}, {13, 14, 15}, {16, 17, 18}}}},
        {"Bpp24TopDown",
         {.width = 3, .height = -2, .pixels = hexBytes("0A0B0C0D0E0F101112000000 010203040506070809000000")},
         {{{10, 11, 12}, {13, 14, 15}, {16, 17, 18}}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}}},
        {"Bpp24V3Header", {.infoSize = 56, .width = 1, .height = 1, .pixels = hexBytes("01020300")}, {{{1, 2, 3}}}},
        {"Bpp32RgbIgnoresAlpha", {.width = 2, .height = 1, .bpp = 32, .pixels = hexBytes("010203FF 04050600")},
         {{{1, 2, 3}, {4, 5, 6}}}},
        {"Bpp32BitfieldsAfterInfoHeader",
         {.width = 1, .height = 1, .bpp = 32, .compression = 3,
          .masks = std::array<std::uint32_t, 3>{0x0000FF00, 0x00FF0000, 0xFF000000}, .pixels = hexBytes("00302010")},
         {{{0x10, 0x20, 0x30}}}},
        {"Bpp32TenBitMasksInV5Header",
         {.infoSize = 124, .width = 1, .height = 1, .bpp = 32, .compression = 3,
          .masks = std::array<std::uint32_t, 3>{0x3FF00000, 0x000FFC00, 0x000003FF}, .pixels = hexBytes("0000F83F")},
         {{{0, 128, 255}}}},
        // Bottom row: a run of three; end of line; a delta to (1, 2); an absolute
        // run of three with its pad byte; end of bitmap. Row 1 is never drawn.
        {"Rle8WithEveryEscape",
         {.width = 4, .height = 3, .bpp = 8, .compression = 1, .clrUsed = 6, .palette = kSix,
          .pixels = hexBytes("0305 0000 00020101 000301020300 0001")},
         indexed(kSix, {{-1, 1, 2, 3}, {-1, -1, -1, -1}, {5, 5, 5, -1}})},
        {"Rle4RunsAlternateNibblesAndAbsoluteRunIsPadded",
         {.width = 5, .height = 2, .bpp = 4, .compression = 2, .palette = sixteen(),
          .pixels = hexBytes("0312 0289 0000 0005345670 00 0001")},
         indexed(sixteen(), {{3, 4, 5, 6, 7}, {1, 2, 1, 8, 9}})},
        {"Rle8RunPastRowEndIsClipped",
         {.width = 2, .height = 1, .bpp = 8, .compression = 1, .clrUsed = 2, .palette = kTwo,
          .pixels = hexBytes("0501 0001")},
         indexed(kTwo, {{1, 1}})},
        {"Rle8AbsoluteRunPastRowEndIsClipped",
         {.width = 2, .height = 1, .bpp = 8, .compression = 1, .clrUsed = 2, .palette = kTwo,
          .pixels = hexBytes("0003010101 00 0001")},
         indexed(kTwo, {{1, 1}})},
        {"Rle8DeltaBeyondTheTopDrawsNothing",
         {.width = 2, .height = 1, .bpp = 8, .compression = 1, .clrUsed = 2, .palette = kTwo,
          .pixels = hexBytes("00020005 0201 0001")},
         {{kBlack, kBlack}}},
    };
    return cases;
}

class BmpDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(BmpDecode, DecodesKnownPixels) {
    const DecodeCase& c = GetParam();
    auto image = decodeExact(buildBmp(c.file));
    ASSERT_TRUE(image);
    EXPECT_EQ(rowsOf(*image), c.expected);
}

TEST_P(BmpDecode, EveryTruncationIsRefused) {
    const std::string bytes = buildBmp(GetParam().file);
    for (std::size_t cut = 0; cut < bytes.size(); ++cut)
        EXPECT_FALSE(decodeExact(std::string_view(bytes).substr(0, cut))) << "cut at " << cut;
}

TEST_P(BmpDecode, SizeNeedsOnlyTheHeaders) {
    const DecodeCase& c = GetParam();
    const std::string bytes = buildBmp(c.file);
    std::size_t headers = 14 + c.file.infoSize + (c.file.infoSize == 40 && c.file.masks ? 12 : 0);
    for (std::size_t cut = 0; cut <= headers; ++cut) {
        std::vector<char> exact(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        auto size = bmpSize(std::string_view(exact.data(), exact.size()));
        if (cut < headers) {
            EXPECT_FALSE(size) << "cut at " << cut;
        } else {
            ASSERT_TRUE(size);
            EXPECT_EQ(*size, (ImageSize{static_cast<int>(c.expected[0].size()), static_cast<int>(c.expected.size())}));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllFormats, BmpDecode, ::testing::ValuesIn(decodeCases()),
                         [](const auto& info) { return info.param.name; });

struct BadCase {
    std::string name;
    std::function<void(BmpFile&)> change;
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

BmpFile valid24() {
    return {.width = 4, .height = 3, .pixels = std::string(12 * 3, '\x40')};
}

BmpFile validRle8(std::string stream) {
    return {.width = 4, .height = 2, .bpp = 8, .compression = 1, .clrUsed = 2, .palette = kTwo,
            .pixels = hexBytes(stream)};
}

class BmpRefuses : public ::testing::TestWithParam<BadCase> {};

TEST_P(BmpRefuses, LyingOrUnsupportedHeaders) {
    BmpFile file = valid24();
    ASSERT_TRUE(decodeExact(buildBmp(file)));
    GetParam().change(file);
    const std::string bytes = buildBmp(file);
    EXPECT_FALSE(decodeExact(bytes));
    EXPECT_FALSE(bmpSize(bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Headers, BmpRefuses,
    ::testing::Values(
        BadCase{"WidthZero", [](BmpFile& f) { f.width = 0; }},
        BadCase{"WidthNegative", [](BmpFile& f) { f.width = -4; }},
        BadCase{"HeightZero", [](BmpFile& f) { f.height = 0; }},
        BadCase{"WidthOverSideLimit", [](BmpFile& f) { f.width = 70000; }},
        BadCase{"TooManyPixels", [](BmpFile& f) { f.width = 30000, f.height = 20000; }},
        BadCase{"MostNegativeHeight", [](BmpFile& f) { f.height = INT_MIN; }},
        BadCase{"TwoPlanes", [](BmpFile& f) { f.planes = 2; }},
        BadCase{"Bpp7", [](BmpFile& f) { f.bpp = 7; }},
        BadCase{"Bpp0", [](BmpFile& f) { f.bpp = 0; }},
        BadCase{"EmbeddedJpeg", [](BmpFile& f) { f.compression = 4; }},
        BadCase{"EmbeddedPng", [](BmpFile& f) { f.compression = 5; }},
        BadCase{"Rle8At24Bpp", [](BmpFile& f) { f.compression = 1; }},
        BadCase{"BitfieldsAt24Bpp",
                [](BmpFile& f) { f.compression = 3, f.masks = std::array<std::uint32_t, 3>{0xFF0000, 0xFF00, 0xFF}; }},
        BadCase{"Rle8TopDown",
                [](BmpFile& f) { f = validRle8("0001"), f.height = -2; }},
        BadCase{"Rle4At8Bpp", [](BmpFile& f) { f = validRle8("0001"), f.compression = 2; }},
        BadCase{"CoreHeaderAt16Bpp", [](BmpFile& f) { f.infoSize = 12, f.bpp = 16; }},
        BadCase{"UnknownInfoSize64", [](BmpFile& f) { f.infoSize = 64; }},
        BadCase{"UnknownInfoSize20", [](BmpFile& f) { f.infoSize = 20; }},
        BadCase{"DataOffsetInsideHeaders", [](BmpFile& f) { f.dataOffset = 40; }},
        BadCase{"ZeroMask",
                [](BmpFile& f) { f.bpp = 16, f.compression = 3, f.masks = std::array<std::uint32_t, 3>{0xF800, 0, 0x1F}; }},
        BadCase{"SplitMask",
                [](BmpFile& f) { f.bpp = 16, f.compression = 3, f.masks = std::array<std::uint32_t, 3>{0xF00F, 0x07E0, 0x1F}; }},
        BadCase{"MaskWiderThanPixel",
                [](BmpFile& f) { f.bpp = 16, f.compression = 3, f.masks = std::array<std::uint32_t, 3>{0x1F800, 0x07E0, 0x1F}; }}),
    [](const auto& info) { return info.param.name; });

TEST(BmpDecodeData, RefusesDataThatIsNotThere) {
    EXPECT_FALSE(decodeExact(buildBmp({.width = 4, .height = 3, .pixels = std::string(100, 'x'), .dataOffset = 200})));
    std::string notBm = buildBmp(valid24());
    notBm[0] = 'X';
    EXPECT_FALSE(decodeExact(notBm));
    // Pixel rows are padded to four bytes: 4 * 3 + 0 per row, so 35 bytes are one short.
    EXPECT_FALSE(decodeExact(buildBmp({.width = 4, .height = 3, .pixels = std::string(35, 'x')})));
}

TEST(BmpDecodeData, RefusesRleStreamsThatRunOut) {
    EXPECT_FALSE(decodeExact(buildBmp(validRle8("0201 0000"))));      // no end of bitmap
    EXPECT_FALSE(decodeExact(buildBmp(validRle8("0005 0101"))));      // absolute run longer than the data
    EXPECT_FALSE(decodeExact(buildBmp(validRle8("0003 010101"))));    // pad byte missing
    EXPECT_FALSE(decodeExact(buildBmp(validRle8("0002 01"))));        // delta without its offsets
    EXPECT_TRUE(decodeExact(buildBmp(validRle8("0201 0000 0001"))));
}

TEST(BmpDecodeData, ExtraBytesAfterThePixelsAreIgnored) {
    BmpFile file = valid24();
    file.pixels += "trailing";
    EXPECT_TRUE(decodeExact(buildBmp(file)));
}

class BmpWrite : public ::testing::TestWithParam<ImageSize> {};

TEST_P(BmpWrite, RoundTripsWithPaddedRows) {
    const ImageSize size = GetParam();
    Image picture = testing::makeImage(size.width, size.height, [](int x, int y) {
        return Bgr{static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(y * 13), static_cast<std::uint8_t>(x ^ y)};
    });
    testing::MemoryWriteStream out;
    ASSERT_TRUE(writeBmp24(picture, out));

    const std::size_t stride = (static_cast<std::size_t>(size.width) * 3 + 3) / 4 * 4;
    const std::string& f = out.bytes;
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(f[at]) | static_cast<std::uint8_t>(f[at + 1]) << 8 |
                                          static_cast<std::uint8_t>(f[at + 2]) << 16 | static_cast<std::uint8_t>(f[at + 3]) << 24);
    };
    ASSERT_EQ(f.size(), 54 + stride * size.height);
    EXPECT_EQ(u32(2), f.size());                       // bfSize
    EXPECT_EQ(u32(10), 54u);                           // bfOffBits
    EXPECT_EQ(u32(14), 40u);                           // plain info header
    EXPECT_EQ(static_cast<std::int32_t>(u32(22)), size.height);  // bottom-up
    EXPECT_EQ(u32(30), 0u);                            // BI_RGB
    EXPECT_EQ(u32(34), stride * size.height);          // biSizeImage
    EXPECT_EQ(u32(38), 2835u);

    auto back = decodeExact(f);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->size(), size);
    EXPECT_EQ(back->pixels, picture.pixels);
}

INSTANTIATE_TEST_SUITE_P(OddAndEvenWidths, BmpWrite,
                         ::testing::Values(ImageSize{1, 1}, ImageSize{2, 3}, ImageSize{3, 2}, ImageSize{5, 4},
                                           ImageSize{4, 1}, ImageSize{301, 200}));

TEST(BmpWriteFile, ReportsFailure) {
    Image picture = testing::gradientImage(300, 300);
    testing::MemoryWriteStream full(100000);
    EXPECT_FALSE(writeBmp24(picture, full));
    testing::MemoryWriteStream out;
    EXPECT_FALSE(writeBmp24(Image{}, out));
    Image lying{10, 10, std::vector<std::uint8_t>(5)};
    EXPECT_FALSE(writeBmp24(lying, out));
}

}  // namespace
}  // namespace ostrel
