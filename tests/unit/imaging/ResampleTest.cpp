#include "imaging/Resample.h"

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "fakes/TestImages.h"

namespace ostrel {
namespace {

using testing::Bgr;
using testing::pixelAt;

struct Resize {
    ImageSize from;
    ImageSize to;
};

class ResampleSizes : public ::testing::TestWithParam<Resize> {};

TEST_P(ResampleSizes, UniformColourStaysExactlyUniform) {
    const Bgr colour{17, 128, 254};
    Image out = resample(testing::solidImage(GetParam().from.width, GetParam().from.height, colour), GetParam().to);
    ASSERT_EQ(out.size(), GetParam().to);
    ASSERT_EQ(out.pixels.size(), static_cast<std::size_t>(out.width) * out.height * 3);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) ASSERT_EQ(pixelAt(out, x, y), colour) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    ShrinkEnlargeAndMixed, ResampleSizes,
    ::testing::Values(Resize{{640, 480}, {213, 160}}, Resize{{7, 5}, {3, 2}}, Resize{{3, 2}, {7, 5}},
                      Resize{{100, 10}, {10, 100}}, Resize{{1, 9}, {5, 4}}, Resize{{9, 1}, {1, 1}},
                      Resize{{1, 1}, {4, 3}}, Resize{{1000, 3}, {999, 3}}, Resize{{6000, 4}, {1620, 3}}));

TEST(Resample, HalvingAveragesEachTwoByTwoBlock) {
    std::mt19937 random(11);
    Image source = testing::makeImage(64, 48, [&](int, int) {
        return Bgr{static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
                   static_cast<std::uint8_t>(random())};
    });
    Image out = resample(source, {32, 24});
    ASSERT_EQ(out.size(), (ImageSize{32, 24}));
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx) sum += source.row(2 * y + dy)[3 * (2 * x + dx) + c];
                ASSERT_NEAR(out.row(y)[3 * x + c], sum / 4.0, 1.0) << x << "," << y << " channel " << c;
            }
}

// Three pixels into two: each output covers one and a half source pixels.
TEST(Resample, ShrinkingWeighsPartlyCoveredPixels) {
    Image source = testing::imageFromRows({{Bgr{0, 0, 0}, Bgr{90, 90, 90}, Bgr{255, 255, 255}}});
    Image out = resample(source, {2, 1});
    EXPECT_NEAR(pixelAt(out, 0, 0).g, 30, 1);    // (2*0 + 90) / 3
    EXPECT_NEAR(pixelAt(out, 1, 0).g, 200, 1);   // (90 + 2*255) / 3
}

TEST(Resample, EnlargingInterpolatesBetweenPixelCentres) {
    Image source = testing::imageFromRows({{Bgr{0, 0, 0}, Bgr{200, 200, 200}}});
    Image out = resample(source, {4, 1});
    std::vector<int> got;
    for (int x = 0; x < 4; ++x) got.push_back(pixelAt(out, x, 0).b);
    EXPECT_EQ(got, (std::vector<int>{0, 50, 150, 200}));
}

TEST(Resample, OnePixelWideSourceStretchesAcross) {
    Image source = testing::makeImage(1, 4, [](int, int y) {
        auto v = static_cast<std::uint8_t>(y * 80);
        return Bgr{v, v, v};
    });
    Image out = resample(source, {6, 2});
    ASSERT_EQ(out.size(), (ImageSize{6, 2}));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(pixelAt(out, x, y).g, y == 0 ? 40 : 200) << x << "," << y;
}

// Rows are written into the source only when asked for, so reading one early
// would show in the result.
TEST(Resample, FollowsRowsAsTheyBecomeReady) {
    std::mt19937 random(5);
    const Image full = testing::makeImage(40, 30, [&](int, int) {
        return Bgr{static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()), 9};
    });
    for (ImageSize to : {ImageSize{23, 17}, ImageSize{90, 70}, ImageSize{40, 30}}) {
        Image source = testing::solidImage(40, 30, {});
        int ready = 0;
        Image out = resample(source, to, [&](int wanted) {
            EXPECT_GT(wanted, ready);
            ready = std::min(source.height, wanted + 2);
            std::copy(full.row(0), full.row(ready), source.row(0));
            return ready;
        });
        EXPECT_TRUE(out.pixels == resample(full, to).pixels) << to.width;
        EXPECT_EQ(resample(full, to, [](int wanted) { return wanted > 20 ? 0 : wanted; }).width, 0);
    }
}

TEST(Resample, SameSizeIsACopyAndBadSizesGiveNothing) {
    Image source = testing::gradientImage(5, 4);
    EXPECT_EQ(resample(source, {5, 4}).pixels, source.pixels);
    EXPECT_EQ(resample(source, {0, 4}).width, 0);
    EXPECT_EQ(resample(Image{}, {5, 4}).width, 0);
}

}  // namespace
}  // namespace ostrel
