#include "imaging/Resample.h"

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "fakes/TestImages.h"

namespace ostrel {
namespace {

using testing::Bgr;
using testing::pixelAt;

TEST(Resample, UniformColourStaysExactlyUniformShrunkEnlargedAndMixed) {
    const Bgr colour{17, 128, 254};
    const std::pair<ImageSize, ImageSize> cases[] = {
        {{640, 480}, {213, 160}}, {{7, 5}, {3, 2}}, {{3, 2}, {7, 5}}, {{100, 10}, {10, 100}}, {{1, 9}, {5, 4}},
        {{9, 1}, {1, 1}}, {{1, 1}, {4, 3}}, {{1000, 3}, {999, 3}}, {{6000, 4}, {1620, 3}}};
    for (const auto& [from, to] : cases) {
        SCOPED_TRACE(std::to_string(from.width) + "x" + std::to_string(from.height) + " to " +
                     std::to_string(to.width) + "x" + std::to_string(to.height));
        const Image out = resample(testing::solidImage(from.width, from.height, colour), to);
        ASSERT_EQ(out.size(), to);
        ASSERT_EQ(out.pixels.size(), static_cast<std::size_t>(out.width) * out.height * 3);
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x) ASSERT_EQ(pixelAt(out, x, y), colour) << x << "," << y;
    }
}

// Grey pictures given row by row: shrinking weighs partly covered pixels
// (three into two: each output covers one and a half), enlarging
// interpolates between pixel centres, a one-pixel-wide source stretches across.
TEST(Resample, WeighsAndInterpolatesKnownGreys) {
    using Greys = std::vector<std::vector<int>>;
    const struct { Greys source; Greys expected; } cases[] = {
        {{{0, 90, 255}}, {{30, 200}}},  // (2*0 + 90) / 3, (90 + 2*255) / 3
        {{{0, 200}}, {{0, 50, 150, 200}}},
        {{{0}, {80}, {160}, {240}}, {{40, 40, 40, 40, 40, 40}, {200, 200, 200, 200, 200, 200}}},
    };
    for (const auto& c : cases) {
        auto grey = [](const Greys& g) {
            return testing::makeImage(static_cast<int>(g[0].size()), static_cast<int>(g.size()), [&](int x, int y) {
                auto v = static_cast<std::uint8_t>(g[y][x]);
                return Bgr{v, v, v};
            });
        };
        const Image out = resample(grey(c.source), grey(c.expected).size());
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x) EXPECT_NEAR(pixelAt(out, x, y).g, c.expected[y][x], 1) << x << "," << y;
    }
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
