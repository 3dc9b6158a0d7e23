#include "changer/FitToScreen.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

struct FitCase {
    const char* name;
    ImageSize picture;
    ScreenSize screen;
    ImageSize expected;
};

void PrintTo(const FitCase& c, std::ostream* os) { *os << c.name; }

class Fit : public ::testing::TestWithParam<FitCase> {};

TEST_P(Fit, Size) {
    const FitCase& c = GetParam();
    EXPECT_EQ(xyforscreen(c.picture, c.screen), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Fit,
    ::testing::Values(
        FitCase{"WiderThanScreen", {1600, 1200}, {1280, 1024}, {1280, 960}},
        FitCase{"SquareOnLandscape", {100, 100}, {1024, 768}, {768, 768}},
        FitCase{"SameAspectEnlarged", {800, 600}, {1024, 768}, {1024, 768}},
        FitCase{"SameAspectShrunk", {4000, 3000}, {1024, 768}, {1024, 768}},
        FitCase{"SameAspectNotReduced", {1920, 1080}, {1280, 720}, {1280, 720}},
        FitCase{"TallRoundsUp", {1001, 1600}, {1920, 1080}, {676, 1080}},     // 675.68
        FitCase{"WideRounding", {3000, 1000}, {1024, 768}, {1024, 341}},  // 341.33
        FitCase{"TallRoundsDown", {1001, 3000}, {1024, 768}, {256, 768}},     // 256.26
        // h * SW / w = 842.5 and 837.5: ties go to the even neighbour.
        FitCase{"WideTieDown", {512, 337}, {1280, 1024}, {1280, 842}},
        FitCase{"WideTieUp", {512, 335}, {1280, 1024}, {1280, 838}},
        // w * SH / h = 688.5 and 661.5.
        FitCase{"TallTieDown", {1020, 1600}, {1920, 1080}, {688, 1080}},
        FitCase{"TallTieUp", {980, 1600}, {1920, 1080}, {662, 1080}},
        FitCase{"HugePictureNoOverflow", {65535, 65534}, {65535, 65535}, {65535, 65534}},
        FitCase{"ZeroWidthUnchanged", {0, 100}, {1024, 768}, {0, 100}},
        FitCase{"NegativeHeightUnchanged", {100, -5}, {1024, 768}, {100, -5}},
        FitCase{"NoScreenUnchanged", {100, 50}, {0, 0}, {100, 50}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace ostrel
