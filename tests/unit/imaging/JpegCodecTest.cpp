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

// The largest difference between any channel of two colours.
int distance(Bgr a, Bgr b) {
    return std::max({std::abs(a.b - b.b), std::abs(a.g - b.g), std::abs(a.r - b.r)});
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

TEST(JpegSize, ReadsTheHeader) {
    EXPECT_EQ(sizeOf(testing::encodeJpeg(testing::gradientImage(37, 21))), (ImageSize{37, 21}));
    EXPECT_EQ(sizeOf(noisyJpeg()), (ImageSize{640, 480}));
}

TEST(JpegSize, ReadsOnlyTheStartOfALargeFile) {
    testing::TempDir dir;
    testing::TestFileSystem fs;
    const std::string path = dir.write("big.jpg", noisyJpeg());
    ASSERT_GT(noisyJpeg().size(), 100'000u);
    auto in = fs.openRead(path);
    ASSERT_TRUE(in);
    EXPECT_EQ(jpegSize(*in), (ImageSize{640, 480}));
    EXPECT_LE(fs.counts().bytesRead, 16u * 1024);
}

TEST(JpegDecode, ReadsInBlocksRatherThanTheWholeFile) {
    testing::TempDir dir;
    testing::TestFileSystem fs;
    auto in = fs.openRead(dir.write("big.jpg", noisyJpeg()));
    ASSERT_TRUE(in);
    ASSERT_TRUE(decodeJpeg(*in));
    EXPECT_EQ(fs.counts().bytesRead, noisyJpeg().size());
    EXPECT_LE(fs.counts().largestRead, 64u * 1024);
}

struct Flavour {
    const char* name;
    JpegFlavour flavour;
};

class JpegFlavours : public ::testing::TestWithParam<Flavour> {};

TEST_P(JpegFlavours, DecodesToBgrOfTheRightColour) {
    // Blocks of flat colour survive compression almost exactly.
    const std::vector<Bgr> colours = {{200, 30, 40}, {20, 180, 90}, {250, 250, 250}, {10, 10, 10}};
    Image picture = testing::makeImage(64, 32, [&](int x, int y) { return colours[(x / 32) + 2 * (y / 16)]; });
    auto image = decode(testing::encodeJpeg(picture, 100, GetParam().flavour));
    ASSERT_TRUE(image);
    ASSERT_EQ(image->size(), (ImageSize{64, 32}));
    ASSERT_EQ(image->pixels.size(), 64u * 32 * 3);
    for (int i = 0; i < 4; ++i) {
        int x = 16 + 32 * (i % 2), y = 8 + 16 * (i / 2);
        Bgr got = testing::pixelAt(*image, x, y);
        Bgr want = colours[i];
        if (GetParam().flavour == JpegFlavour::Grayscale) {
            auto grey = static_cast<std::uint8_t>((want.r * 77 + want.g * 150 + want.b * 29 + 128) >> 8);
            want = {grey, grey, grey};
            EXPECT_TRUE(got.b == got.g && got.g == got.r) << x << "," << y;
        }
        EXPECT_LE(distance(got, want), 4) << GetParam().name << " block " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(All, JpegFlavours,
                         ::testing::Values(Flavour{"Colour", JpegFlavour::Colour},
                                           Flavour{"Grayscale", JpegFlavour::Grayscale},
                                           Flavour{"Progressive", JpegFlavour::Progressive},
                                           Flavour{"Cmyk", JpegFlavour::Cmyk}),
                         [](const auto& info) { return info.param.name; });

struct ScaleCase {
    ImageSize atLeast;
    ImageSize expected;
};

class JpegScaled : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(JpegScaled, PicksTheSmallestSufficientEighth) {
    auto image = decode(noisyJpeg(), GetParam().atLeast);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), GetParam().expected);
    EXPECT_EQ(image->pixels.size(), static_cast<std::size_t>(image->width) * image->height * 3);
}

INSTANTIATE_TEST_SUITE_P(
    From640x480, JpegScaled,
    ::testing::Values(ScaleCase{{150, 100}, {160, 120}},   // 2/8
                      ScaleCase{{80, 60}, {80, 60}},       // 1/8 exactly
                      ScaleCase{{81, 1}, {160, 120}},      // one pixel too wide for 1/8
                      ScaleCase{{1, 361}, {560, 420}},     // 7/8, decided by the height
                      ScaleCase{{640, 480}, {640, 480}},
                      ScaleCase{{1920, 1080}, {640, 480}}, // nothing is enough: full size
                      ScaleCase{{0, 0}, {640, 480}}));

TEST(JpegDecode, EveryTruncationFails) {
    for (auto flavour : {JpegFlavour::Colour, JpegFlavour::Progressive}) {
        const std::string bytes = testing::encodeJpeg(testing::gradientImage(48, 40), 90, flavour);
        for (std::size_t cut = 0; cut < bytes.size(); ++cut)
            EXPECT_FALSE(decode(bytes.substr(0, cut))) << "cut at " << cut;
    }
}

TEST(JpegSize, SurvivesTruncationAfterTheFrameHeader) {
    const std::string bytes = testing::encodeJpeg(testing::gradientImage(48, 40), 90);
    std::size_t scan = bytes.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    EXPECT_EQ(sizeOf(bytes.substr(0, scan + 20)), (ImageSize{48, 40}));
    EXPECT_FALSE(sizeOf(bytes.substr(0, 30)));
}

TEST(JpegDecode, CorruptFilesFailWithoutEndingTheProgram) {
    EXPECT_FALSE(decode(""));
    EXPECT_FALSE(decode("\xFF\xD8"));
    EXPECT_FALSE(decode("\xFF\xD8\xFF\xE0 this is no jpeg at all, only text"));
    EXPECT_FALSE(sizeOf("\xFF\xD8\xFF\xC0\x00\x11\x08\x00\x00\x00\x00\x03"));  // zero-size frame, cut short

    // Damage inside the compressed data may decode to garbage, but must not crash.
    std::string bytes = noisyJpeg();
    std::mt19937 random(3);
    for (int round = 0; round < 20; ++round) {
        std::string damaged = bytes;
        for (int i = 0; i < 30; ++i) damaged[600 + random() % (damaged.size() - 700)] = static_cast<char>(random());
        auto image = decode(damaged);
        if (image) {
            EXPECT_EQ(image->size(), (ImageSize{640, 480}));
        }
    }
}

TEST(JpegRowDecoder, ReportsEachBatchOfRowsAndStopsWhenTold) {
    for (bool stop : {false, true}) {
        MemoryReadStream in(noisyJpeg());
        JpegRowDecoder decoder(in);
        ASSERT_EQ(decoder.readHeader(), (ImageSize{640, 480}));
        ASSERT_EQ(decoder.chooseScale(ImageSize{150, 100}), (ImageSize{160, 120}));
        Image picture = testing::solidImage(160, 120, {});
        std::vector<int> reports;
        EXPECT_EQ(decoder.decodeInto(picture, [&](int rows) { return reports.push_back(rows), !stop; }), !stop);
        ASSERT_FALSE(reports.empty());
        EXPECT_TRUE(std::adjacent_find(reports.begin(), reports.end(), std::greater_equal<>()) == reports.end());
        EXPECT_GT(reports.front(), 0);
        if (stop) EXPECT_EQ(reports.size(), 1u);
        else EXPECT_EQ(reports.back(), 120);
    }
}

TEST(JpegDecode, ReadErrorFails) {
    MemoryReadStream in(noisyJpeg(), 5000);
    EXPECT_FALSE(decodeJpeg(in));
}

}  // namespace
}  // namespace ostrel
