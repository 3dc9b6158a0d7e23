#include "changer/FitToScreen.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

std::string text(ImageSize s) { return std::to_string(s.width) + "x" + std::to_string(s.height); }

TEST(FitToScreen, FillsOneSideKeepingTheAspectRoundedHalfToEven) {
    const struct { ImageSize picture; ScreenSize screen; const char* expected; } cases[] = {
        {{1600, 1200}, {1280, 1024}, "1280x960"},    // wider than the screen: full width
        {{4000, 3000}, {1024, 768}, "1024x768"},     // same aspect: the screen itself
        {{1001, 1600}, {1920, 1080}, "676x1080"},    // taller: full height, 675.68 rounds up
        {{3000, 1000}, {1024, 768}, "1024x341"},     // 341.33 rounds down
        {{512, 337}, {1280, 1024}, "1280x842"},      // exact ties (factor 2.5): to even
        {{512, 335}, {1280, 1024}, "1280x838"},
        // The factor rounded to a double lands just above a tie: 0.675 is
        // 0.67500000000000004..., so 1020 x it is a hair above 688.5.
        {{1020, 1600}, {1920, 1080}, "689x1080"},
        {{2304, 1287}, {1920, 1080}, "1920x1073"},   // 1287 x 0.8333...37 = 1072.50000000000005
        {{65535, 65534}, {65535, 65535}, "65535x65534"},  // products beyond 32 bits
        {{55000, 40000}, {50000, 40000}, "50000x36364"},  // 2.2e9 against 2.0e9
        {{0, 100}, {1024, 768}, "0x100"},            // nothing to fit: the picture unchanged
        {{100, -5}, {1024, 768}, "100x-5"},
        {{100, 50}, {0, 0}, "100x50"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(xyforscreen(c.picture, c.screen)), c.expected)
            << text(c.picture) << " on " << c.screen.width << "x" << c.screen.height;
}

}  // namespace
}  // namespace ostrel
