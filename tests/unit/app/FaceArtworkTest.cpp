// The face's pictures at a window's scale: which drawing it takes, and how a
// drawing is brought to a scale between the drawn ones.
#include "app/FaceArtwork.h"

#include <gtest/gtest.h>

#include "app/MainLayout.h"
#include "fakes/TestImages.h"

namespace ostrel {
namespace {

using testing::makeImage;
using testing::pixelAt;

// The smallest drawing at or above the window's scale: only ever shrunk.
TEST(FaceArtwork, TheSmallestDrawingAtOrAboveTheWindowsScale) {
    const struct {
        int dpi, percent;
    } cases[] = {
        {96, 100},  {72, 100},  {0, 100},    // below the design and unknown: 100 %
        {97, 150},  {120, 150}, {144, 150},  // 125 % shrinks the 150 % drawing
        {145, 200}, {168, 200}, {192, 200},  // 175 % the 200 % one
        {240, 200}, {288, 200},              // nothing larger is drawn
    };
    for (const auto& c : cases) EXPECT_EQ(artworkPercent(DpiScale(c.dpi)), c.percent) << c.dpi;
}

// At the scale it was drawn for a picture is shown pixel for pixel; between
// the drawn scales it takes the designed size scaled by the window's rule, so
// that it meets what the layout puts around it (the banner 289 x 97 at 100 %).
TEST(FaceArtwork, ADrawingFitsTheDesignedSizeAtTheWindowsScale) {
    const Image banner150 = makeImage(434, 146, [](int x, int y) {
        return testing::Bgr{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7};
    });
    const Image same = fitArtwork(banner150, 150, DpiScale(144));
    EXPECT_EQ(same.size(), banner150.size());
    EXPECT_EQ(same.pixels, banner150.pixels);
    EXPECT_EQ(fitArtwork(banner150, 150, DpiScale(120)).size(), (ImageSize{361, 121}));
    const Image strip200 = makeImage(2, 194, [](int, int) { return testing::Bgr{1, 2, 3}; });
    EXPECT_EQ(fitArtwork(strip200, 200, DpiScale(168)).size(), (ImageSize{2, 170}));  // 1 x 97 at 175 %
    EXPECT_EQ(fitArtwork(strip200, 200, DpiScale(240)).size(), (ImageSize{3, 243}));  // enlarged at 250 %
    // The layout copies the banner's strip row for row at the window's scale.
    for (const int dpi : {96, 120, 144, 168, 192}) {
        const Stretch strip = bannerStrip(500, DpiScale(dpi), DpiScale(dpi));
        EXPECT_EQ(strip.sb - strip.st, strip.db - strip.dt) << dpi;
    }
}

// A toolbar strip's clear pixels lend no magenta to the edges around them.
TEST(FaceArtwork, ClearPixelsStayOutOfTheColourOfAShrunkStrip) {
    const MaskColour magenta{0xFF, 0, 0xFF};
    const testing::Bgr clear{0xFF, 0, 0xFF}, ink{180, 90, 40};
    // 2 x 2 blocks halved: the left block three parts ink, the right one part.
    const Image drawn = makeImage(4, 2, [&](int x, int y) {
        const bool inked = x == 0 || (x == 1 && y == 0) || (x == 2 && y == 1);
        return inked ? ink : clear;
    });
    const Image fitted = fitArtwork(drawn, 200, DpiScale(96), magenta);
    ASSERT_EQ(fitted.size(), (ImageSize{2, 1}));
    const testing::Bgr edge = pixelAt(fitted, 0, 0);
    EXPECT_NEAR(edge.b, ink.b, 1);
    EXPECT_NEAR(edge.g, ink.g, 1);
    EXPECT_NEAR(edge.r, ink.r, 1);
    EXPECT_EQ(pixelAt(fitted, 1, 0), clear);  // mostly clear: clear
}

}  // namespace
}  // namespace ostrel
