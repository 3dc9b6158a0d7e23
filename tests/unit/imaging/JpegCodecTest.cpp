#include "imaging/JpegCodec.h"

#include <algorithm>
#include <cstdlib>
#include <random>

#include <gtest/gtest.h>

#include "fakes/TempDir.h"
#include "fakes/TestFileSystem.h"
#include "fakes/TestImages.h"

namespace ostrel {
namespace {

using testing::Bgr;
using testing::JpegFlavour;
using testing::MemoryReadStream;

std::optional<Image> decode(std::string bytes, std::optional<ImageSize> atLeast = std::nullopt) {
    MemoryReadStream in(std::move(bytes));
    return decodeJpeg(in, atLeast);
}
std::optional<ImageSize> sizeOf(std::string bytes) {
    MemoryReadStream in(std::move(bytes));
    return jpegSize(in);
}

const std::string& noisyJpeg() {
    static const std::string bytes = [] {
        std::mt19937 random(7);
        Image picture = testing::makeImage(640, 480, [&](int x, int y) {
            auto n = static_cast<std::uint8_t>(random() % 40);
            return Bgr{static_cast<std::uint8_t>(x / 3 + n), static_cast<std::uint8_t>(y / 2 + n), n};
        });
        return testing::encodeJpeg(picture, 90);
    }();
    return bytes;
}

// The size comes from the start of a large file, a decode reads it in blocks.
TEST(JpegSizeAndDecode, ReadOnlyWhatTheyNeed) {
    testing::TempDir dir;
    testing::TestFileSystem sizing, decoding;
    const std::string path = dir.write("big.jpg", noisyJpeg());
    ASSERT_GT(noisyJpeg().size(), 100'000u);
    EXPECT_EQ(jpegSize(*sizing.openRead(path)), (ImageSize{640, 480}));
    EXPECT_LE(sizing.counts().bytesRead, 16u * 1024);
    ASSERT_TRUE(decodeJpeg(*decoding.openRead(path)));
    EXPECT_EQ(decoding.counts().bytesRead, noisyJpeg().size());
    EXPECT_LE(decoding.counts().largestRead, 64u * 1024);
}

TEST(JpegDecode, EveryFlavourGivesBgrOfTheRightColour) {
    // Blocks of flat colour survive compression almost exactly.
    const std::vector<Bgr> colours = {{200, 30, 40}, {20, 180, 90}, {250, 250, 250}, {10, 10, 10}};
    const Image picture = testing::makeImage(64, 32, [&](int x, int y) { return colours[(x / 32) + 2 * (y / 16)]; });
    for (auto flavour : {JpegFlavour::Colour, JpegFlavour::Grayscale, JpegFlavour::Progressive, JpegFlavour::Cmyk}) {
        SCOPED_TRACE(static_cast<int>(flavour));
        auto image = decode(testing::encodeJpeg(picture, 100, flavour));
        ASSERT_TRUE(image);
        ASSERT_EQ(image->size(), (ImageSize{64, 32}));
        for (int i = 0; i < 4; ++i) {
            const Bgr got = testing::pixelAt(*image, 16 + 32 * (i % 2), 8 + 16 * (i / 2));
            Bgr want = colours[i];
            if (flavour == JpegFlavour::Grayscale) {
                auto grey = static_cast<std::uint8_t>((want.r * 77 + want.g * 150 + want.b * 29 + 128) >> 8);
                want = {grey, grey, grey};
                EXPECT_TRUE(got.b == got.g && got.g == got.r) << "block " << i;
            }
            EXPECT_LE(std::max({std::abs(got.b - want.b), std::abs(got.g - want.g), std::abs(got.r - want.r)}), 4)
                << "block " << i;
        }
    }
}

TEST(JpegDecode, PicksTheSmallestSufficientEighth) {
    const struct {
        ImageSize atLeast, expected;
    } cases[] = {{{150, 100}, {160, 120}},                              // 2/8 of 640 x 480
                 {{80, 60}, {80, 60}},                                  // 1/8 exactly
                 {{81, 1}, {160, 120}},                                 // one pixel too wide for 1/8
                 {{1, 361}, {560, 420}},                                // 7/8, decided by the height
                 {{640, 480}, {640, 480}}, {{1920, 1080}, {640, 480}},  // nothing is enough: full size
                 {{0, 0}, {640, 480}}};
    for (const auto& c : cases) {
        auto image = decode(noisyJpeg(), c.atLeast);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->size(), c.expected) << c.atLeast.width << "x" << c.atLeast.height;
        EXPECT_EQ(image->pixels.size(), static_cast<std::size_t>(image->width) * image->height * 3);
    }
}

// Every truncation fails to decode, but the size survives one after the frame header.
TEST(JpegDecode, EveryTruncationFailsButTheSizeIsKnownAfterTheFrameHeader) {
    for (auto flavour : {JpegFlavour::Colour, JpegFlavour::Progressive}) {
        const std::string bytes = testing::encodeJpeg(testing::gradientImage(48, 40), 90, flavour);
        for (std::size_t cut = 0; cut < bytes.size(); ++cut)
            EXPECT_FALSE(decode(bytes.substr(0, cut))) << "cut at " << cut;
        EXPECT_EQ(sizeOf(bytes.substr(0, bytes.find("\xFF\xDA") + 20)), (ImageSize{48, 40}));
        EXPECT_FALSE(sizeOf(bytes.substr(0, 30)));
    }
}

TEST(JpegDecode, CorruptFilesAndReadErrorsFailWithoutEndingTheProgram) {
    MemoryReadStream failing(noisyJpeg(), 5000);
    EXPECT_FALSE(decodeJpeg(failing));
    EXPECT_FALSE(decode("\xFF\xD8\xFF\xE0 this is no jpeg at all, only text"));
    EXPECT_FALSE(sizeOf("\xFF\xD8\xFF\xC0\x00\x11\x08\x00\x00\x00\x00\x03"));  // zero-size frame, cut short
}

}  // namespace
}  // namespace ostrel
