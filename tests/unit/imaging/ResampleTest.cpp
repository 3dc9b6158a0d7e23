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
        {{640, 480}, {213, 160}}, {{7, 5}, {3, 2}}, {{3, 2}, {7, 5}},      {{100, 10}, {10, 100}}, {{1, 9}, {5, 4}},
        {{9, 1}, {1, 1}},         {{1, 1}, {4, 3}}, {{1000, 3}, {999, 3}}, {{6000, 4}, {1620, 3}}};
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

// Per axis, in floating point: the source pixels each output pixel reads and
// their weights, as the resampler's comment describes them.
std::vector<std::vector<std::pair<int, double>>> referenceTaps(int src, int dst) {
    std::vector<std::vector<std::pair<int, double>>> taps(dst);
    for (int i = 0; i < dst; ++i) {
        if (dst < src) {  // the covered part of each source pixel
            const double lo = double(i) * src / dst, hi = double(i + 1) * src / dst;
            for (int j = int(lo); j < src && j < hi; ++j)
                taps[i].push_back({j, (std::min(hi, j + 1.0) - std::max(lo, double(j))) * dst / src});
        } else {  // between the two nearest centres, clamped
            const double at = std::clamp((i + 0.5) * src / dst - 0.5, 0.0, double(src - 1));
            const int j = std::min(int(at), src - 1);
            taps[i].push_back({j, 1 - (at - j)});
            if (j + 1 < src) taps[i].push_back({j + 1, at - j});
        }
    }
    return taps;
}

// Noise given one row at a time against the reference: windows several rows
// tall move down through the resampler's ring of rows, and none may be read
// before it is pushed or after it is overwritten. Nothing comes out before the
// last row is in.
TEST(RowResampler, MatchesTheReferenceRowByRow) {
    std::mt19937 random(5);
    // Also one-pixel rows and columns, and shrinking by more than a hundred
    // to one each way, where the fixed-point weights run short of precision.
    for (auto [from, to] : {std::pair{ImageSize{40, 30}, ImageSize{23, 17}},
                            {ImageSize{97, 61}, ImageSize{13, 11}},
                            {ImageSize{40, 30}, ImageSize{90, 70}},
                            {ImageSize{31, 50}, ImageSize{60, 9}},
                            {ImageSize{7, 1}, ImageSize{3, 1}},
                            {ImageSize{1, 40}, ImageSize{1, 9}},
                            {ImageSize{3, 1}, ImageSize{2, 1}},
                            {ImageSize{1, 4}, ImageSize{6, 2}},
                            {ImageSize{30000, 2}, ImageSize{138, 1}},
                            {ImageSize{2, 20000}, ImageSize{1, 80}}}) {
        SCOPED_TRACE(std::to_string(from.width) + " to " + std::to_string(to.width));
        const Image source = testing::makeImage(from.width, from.height, [&](int, int) {
            return Bgr{static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()), 9};
        });
        RowResampler resampler(from, to);
        for (int y = 0; y < from.height; ++y) {
            EXPECT_EQ(resampler.take().width, 0) << y;
            resampler.push(source.row(y));
        }
        const Image out = resampler.take();
        ASSERT_EQ(out.size(), to);
        EXPECT_EQ(resampler.take().width, 0);  // taken once
        const auto across = referenceTaps(from.width, to.width), down = referenceTaps(from.height, to.height);
        for (int y = 0; y < to.height; ++y)
            for (int x = 0; x < to.width; ++x) {
                double b = 0, g = 0;
                for (auto [sy, wy] : down[y])
                    for (auto [sx, wx] : across[x]) {
                        b += wy * wx * pixelAt(source, sx, sy).b;
                        g += wy * wx * pixelAt(source, sx, sy).g;
                    }
                ASSERT_NEAR(pixelAt(out, x, y).b, b, 1) << x << "," << y;
                ASSERT_NEAR(pixelAt(out, x, y).g, g, 1) << x << "," << y;
                ASSERT_EQ(pixelAt(out, x, y).r, 9);
            }
    }
}

// Handed on as they are made, the rows are those of the whole picture, and
// come out before the last source row is in.
TEST(RowResampler, RowsGoOnAsTheyAreMade) {
    for (auto [from, to] : {std::pair{ImageSize{97, 61}, ImageSize{13, 11}}, {ImageSize{3, 2}, ImageSize{7, 5}}}) {
        const Image source = testing::gradientImage(from.width, from.height);
        Image rows{to.width, to.height, {}};
        int pushed = 0, outBeforeLast = 0;
        RowResampler resampler(from, to, [&](const std::uint8_t* row) {
            rows.pixels.insert(rows.pixels.end(), row, row + rows.rowOffset(1));
            outBeforeLast += pushed < from.height - 1;
        });
        for (; pushed < from.height; ++pushed) resampler.push(source.row(pushed));
        EXPECT_TRUE(resampler.done());
        EXPECT_EQ(resampler.take().width, 0);
        EXPECT_EQ(rows.pixels, resample(source, to).pixels);
        EXPECT_GT(outBeforeLast, 0);
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
