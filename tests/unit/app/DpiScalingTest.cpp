// The windows at the display's DPI: the one rounding rule, the main window's
// layout at the usual scales, and the stored window sizes, which stay in
// designed units whatever the scale.
#include <gtest/gtest.h>

#include <tuple>

#include "ControllerFixture.h"
#include "app/MainLayout.h"
#include "list/GridGeometry.h"

namespace ostrel {
namespace {

TEST(DpiScale, NearestPixelWithHalvesAwayFromZero) {
    const DpiScale at144(144);
    EXPECT_EQ(at144(15), 23);        // the grid's row: 22.5
    EXPECT_EQ(at144(-1), -2);        // a negative length scales as its mirror
    EXPECT_EQ(at144(-4), -6);        // the list's top
    EXPECT_EQ(DpiScale(120)(3), 4);  // 3.75
    EXPECT_EQ(DpiScale(120)(1), 1);  // 1.25
    // A DPI that cannot be right counts as 96.
    EXPECT_EQ(DpiScale(0)(896), 896);
    EXPECT_EQ(DpiScale(-144).dpi(), 96);
    for (const int dpi : {96, 120, 144, 168, 192, 240})
        for (int designed = -100; designed <= 3000; ++designed)
            ASSERT_EQ(DpiScale(dpi).designed(DpiScale(dpi)(designed)), designed) << dpi;
}

// The main window at its designed size (904 x 570 outer, the list's edge at
// 312) laid out at each DPI. Lengths the layout derives (the preview's 4:3
// height, truncated) follow from the scaled width, as they do when the list's
// edge is dragged; pieces that touch at 96 DPI touch at every DPI.
TEST(DpiScale, EveryDesignedRectangleOfTheMainWindowScales) {
    const struct {
        int dpi;
        Box preview, panelLeft, panelMiddle, panelRight, toolBar2, toolBar1, toolBar3, list;
        int rowHeight, numberWidth, nameWidth, resolutionWidth;
    } cases[] = {
        // clang-format off
        {96, {84, 116, 200, 150}, {83, 290, 2, 113}, {85, 290, 1, 113}, {86, 290, 199, 113},
         {97, 304, 176, 41}, {97, 362, 177, 25}, {20, 120, 43, 337}, {312, -4, 588, 524}, 15, 34, 448, 100},
        {120, {105, 145, 250, 187}, {104, 362, 2, 141}, {106, 362, 1, 141}, {107, 362, 249, 141},
         {121, 380, 220, 51}, {121, 452, 221, 31}, {25, 150, 54, 421}, {390, -5, 735, 655}, 19, 43, 560, 125},
        {144, {126, 174, 300, 225}, {125, 435, 3, 170}, {128, 435, 1, 170}, {129, 435, 299, 170},
         {146, 456, 264, 62}, {146, 543, 266, 38}, {30, 180, 65, 506}, {468, -6, 882, 786}, 23, 51, 672, 150},
        {192, {168, 232, 400, 300}, {166, 580, 4, 226}, {170, 580, 2, 226}, {172, 580, 398, 226},
         {194, 608, 352, 82}, {194, 724, 354, 50}, {40, 240, 86, 674}, {624, -8, 1176, 1048}, 30, 68, 896, 200},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        const DpiScale s(c.dpi);
        const ListBounds b = listBounds(s(904), s(570), s(516), s(312), s);
        const Box list{b.left, b.top, b.width, b.height};
        EXPECT_EQ(list, c.list);
        const FaceLayout f = layOutFace(list.left, s);
        EXPECT_EQ(f.preview, c.preview);
        EXPECT_EQ(f.panelLeft, c.panelLeft);
        EXPECT_EQ(f.panelMiddle, c.panelMiddle);
        EXPECT_EQ(f.panelRight, c.panelRight);
        EXPECT_EQ(f.toolBar2, c.toolBar2);
        EXPECT_EQ(f.toolBar1, c.toolBar1);
        EXPECT_EQ(f.toolBar3, c.toolBar3);
        EXPECT_EQ(f.panelLeft.right(), f.panelMiddle.left);
        EXPECT_EQ(std::tuple(s(kRowHeight), s(kNumberColumnWidth), nameColumnWidth(list.width, s),
                             resolutionColumnWidth(false, s)),
                  std::tuple(c.rowHeight, c.numberWidth, c.nameWidth, c.resolutionWidth));
    }
}

TEST(DpiScale, TheGridsRowsHeaderAndArrowScale) {
    const DpiScale s(144);
    EXPECT_EQ(entryRowsInView(23 * 11 + 22, s), 10);  // the header and ten whole rows of 23
    EXPECT_EQ(visibleRowsFor(23 * 20, s), 17);
    EXPECT_EQ(headerCellAt(60, 22, 600, 51, 400, s), 1);
    EXPECT_EQ(headerCellAt(60, 23, 600, 51, 400, s), 0);
    // Down by name: a triangle 13 wide on eight rows of pixels, from y 8 to 15, ending in one pixel.
    const std::vector<ArrowLine> lines = sortArrowLines(300, true, false, true, s);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(std::tuple(lines.front().x0, lines.front().x1, lines.front().y), std::tuple(270, 283, 8));
    EXPECT_EQ(std::tuple(lines.back().x0, lines.back().x1, lines.back().y), std::tuple(276, 277, 15));
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i].y, lines[i - 1].y + 1);
}

}  // namespace

namespace testing {
namespace {

// A window stored as 801 x 500 with the list's edge at 311, started on a
// screen at 144 DPI.
class StoredWindow : public ControllerTest {
protected:
    void startAt144(ScreenSize screen) {
        setting("wid", "801");
        setting("hei", "500");
        setting("left", "311");
        desktop.screen = screen;
        view.dpi = DpiScale(144);
        start();
    }
};

// "wid", "hei" and "left" are kept in designed units: scaled at start, and
// back at the save, so the same window comes back after the scaling changes.
// The client area scales; the frame (8 x 54 at 96 DPI in the fake, 10 x 66
// at 144) is the system's.
TEST_F(StoredWindow, SizesAreStoredInDesignedUnitsAndComeBackWhole) {
    startAt144({1920, 1080});
    // Client 793 x 446 -> 1189.5 and 669, with the frame at 144.
    EXPECT_EQ(std::tuple(view.width, view.height), std::tuple(1190 + 10, 669 + 66));
    EXPECT_EQ(controller->settings().window.listLeft, 467);  // 466.5
    // A size the user dragged to is stored as the nearest designed length.
    view.height = 736;                                    // client 670: 446.67
    controller->mutableSettings().window.listLeft = 469;  // 312.67
    // Nine tenths of the screen counts in the same units: 1750 of 1920 pixels
    // (1168 of 1280 designed) is too wide.
    view.width = 1750;
    controller->FormDestroy();
    EXPECT_EQ(std::tuple(stored("wid"), stored("hei"), stored("left")), std::tuple("800", "501", "313"));
    // And at 96 DPI nothing changes.
    EXPECT_EQ((WindowSettings{904, 570, 312}.inPixels({}, {8, 54}, {8, 54})), (WindowSettings{904, 570, 312}));
}

// The smallest window scales like the stored size, client part only, so that
// it never makes a window of the default size taller (the frame in the fake
// grows from 54 to 66, not by half).
TEST(WindowSettings, TheSmallestWindowNeverRaisesTheDefaultOne) {
    for (int dpi : {96, 120, 144, 192}) {
        const DpiScale s(dpi);
        const FrameSize frame{8 + (dpi - 96) / 24, 54 + (dpi - 96) / 4};
        const WindowSettings least = WindowSettings::smallest(s, {8, 54}, frame);
        const WindowSettings standard = WindowSettings{}.inPixels(s, {8, 54}, frame);
        EXPECT_LE(least.windowWidth, standard.windowWidth) << dpi;
        EXPECT_EQ(least.windowHeight, standard.windowHeight) << dpi;
        EXPECT_EQ(least.inDesignedUnits(s, {8, 54}, frame), (WindowSettings{515, 472, 0})) << dpi;
    }
}

// Moved to a monitor of another DPI, the window keeps its designed client
// area and list edge, and going back and forth adds no drift: what is stored
// at the end is what was read.
TEST_F(StoredWindow, AMoveToAnotherDpiKeepsTheDesignedWindow) {
    startAt144({3840, 2160});
    const auto window = [&] { return std::tuple(view.width, view.height, controller->settings().window.listLeft); };
    const auto pixels144 = window();
    view.dpi = DpiScale(192);
    controller->onDpiChanged(DpiScale(144), DpiScale(192));
    // Client 793 x 446 and the edge at 311, doubled, with the frame at 192.
    EXPECT_EQ(window(), std::tuple(1586 + 10, 892 + 66, 622));
    view.dpi = DpiScale(96);
    controller->onDpiChanged(DpiScale(192), DpiScale(96));
    EXPECT_EQ(window(), std::tuple(801, 500, 311));
    view.dpi = DpiScale(144);
    controller->onDpiChanged(DpiScale(96), DpiScale(144));
    EXPECT_EQ(window(), pixels144);
    controller->FormDestroy();
    EXPECT_EQ(std::tuple(stored("wid"), stored("hei"), stored("left")), std::tuple("801", "500", "311"));
}

}  // namespace
}  // namespace testing
}  // namespace ostrel
