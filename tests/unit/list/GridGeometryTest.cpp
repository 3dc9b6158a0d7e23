#include "list/GridGeometry.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

// A grid 308 pixels high: (308 - 8) / 15 - 3 = 17 rows a screen going down,
// and 100 rows with the header (99 entries).
constexpr int kHeight = 308;

TEST(GridGeometry, WheelMovesByItsStepAndClampsAtBothEnds) {
    const struct {
        const char* name;
        bool down;
        int k, rows, current, top, wantTop, wantCurrent;
    } cases[] = {
        {"DownOneInTheMiddle", true, 1, 100, 10, 5, 6, 11},
        {"DownThreeFromRowTen", true, 3, 100, 10, 8, 11, 13},
        {"DownNearTheEndScrollsToTheLastScreen", true, 3, 100, 90, 80, 82, 93},
        {"DownAtTheLastRowStays", true, 3, 100, 98, 82, 82, 99},
        {"DownShortListDoesNotScroll", true, 1, 5, 2, 1, 1, 3},
        {"DownOneAtTheLastRow", true, 1, 100, 99, 82, 82, 99},
        {"UpOneInTheMiddle", false, 1, 100, 10, 5, 4, 9},
        {"UpOneAtTheFirstRow", false, 1, 100, 1, 1, 1, 1},
        {"UpThreeNearTheTop", false, 3, 100, 10, 3, 1, 7},
        {"UpThreeFromRowTwo", false, 3, 100, 2, 1, 1, 1},
        {"UpThreeCurrentAboveTheStep", false, 3, 100, 3, 20, 1, 1},
        {"UpThreeFarDown", false, 3, 100, 50, 45, 42, 47},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const WheelStep step = c.down ? wheelDown(c.k, c.rows, c.current, c.top, kHeight)
                                      : wheelUp(c.k, c.rows, c.current, c.top, kHeight);
        EXPECT_EQ(step.firstVisibleRow, c.wantTop);
        EXPECT_EQ(step.currentRow, c.wantCurrent);
    }
    EXPECT_EQ(visibleRowsFor(300), 17);
    EXPECT_EQ(visibleRowsFor(292), 16);      // 16.47
    EXPECT_EQ(visibleRowsFor(307), 17);      // 17.47
    EXPECT_EQ(visibleRowsFor(307 + 8), 18);  // 17.5 to even
}

TEST(GridGeometry, SortArrowLinesPointTheWayOfTheSort) {
    auto text = [](const std::vector<ArrowLine>& lines) {
        std::string out;
        for (const ArrowLine& l : lines)
            out += std::to_string(l.x0) + ">" + std::to_string(l.x1) + "@" + std::to_string(l.y) + " ";
        return out;
    };
    // W = 200: the right edge of "Имя".
    EXPECT_EQ(text(sortArrowLines(200, true, false, true)), "180>189@5 181>188@6 182>187@7 183>186@8 184>185@9 ");
    EXPECT_EQ(text(sortArrowLines(200, true, false, false)), "184>183@5 185>182@6 186>181@7 187>180@8 188>179@9 ");
    EXPECT_EQ(text(sortArrowLines(200, false, true, true)), "270>279@5 271>278@6 272>277@7 273>276@8 274>275@9 ");
    EXPECT_EQ(text(sortArrowLines(200, false, true, false)), "274>273@5 275>272@6 276>271@7 277>270@8 278>269@9 ");
    EXPECT_EQ(text(sortArrowLines(200, false, false, true)), "");
}

TEST(GridGeometry, RowColoursCurrentPathRedScreenSizeGreenOverIt) {
    WallpaperList list;
    for (const char* path : {"C:\\a.jpg", "C:\\b.jpg", "C:\\a.jpg"}) list.appendRow(path);
    const std::string screen = "    1280x1024";
    list.setCell(ResolutionColumn, 1, screen);
    list.setCell(ResolutionColumn, 2, screen);
    list.setCell(ResolutionColumn, 3, "     800x600");
    const struct {
        int row;
        bool topZero;
        bool redrawn;
        TextColour resolution;
        bool arrow;
    } cases[] = {
        {1, false, true, TextColour::ScreenSize, true},  // current and of the screen's size: green wins
        {2, false, false, TextColour::ScreenSize, true},
        {3, false, true, TextColour::Current, true},  // a duplicate of the current file is red too
        {1, true, false, TextColour::Normal, false},  // at the grid's top edge: left alone, no arrow
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        const RowLook look = rowLook(list, c.row, "C:\\a.jpg", screen, c.topZero);
        EXPECT_EQ(look.redrawn, c.redrawn);
        EXPECT_EQ(look.resolution, c.resolution);
        EXPECT_EQ(look.arrow, c.arrow);
    }
    // Paths compare exactly: another case is another file.
    EXPECT_FALSE(rowLook(list, 1, "c:\\a.jpg", screen, false).redrawn);
}

TEST(GridGeometry, HeaderCellInTheGridsClientArea) {
    // 400 wide, columns 34 and 266: wherever the grid stands in the window.
    const struct {
        int x, y, cell;
    } cases[] = {
        {35, 5, 1},   {34, 5, 0},                               // on the border: strictly inside only
        {301, 0, 2},  {399, 14, 2}, {400, 5, 0}, {100, 15, 0},  // row 1 begins
        {100, -1, 0},                                           // above the grid, the button held down on it
    };
    for (const auto& c : cases) EXPECT_EQ(headerCellAt(c.x, c.y, 400, 34, 266), c.cell) << c.x << "," << c.y;
}

TEST(GridGeometry, FirstVisibleRowStaysWithinWhatTheGridCanShow) {
    EXPECT_EQ(entryRowsInView(315), 20);  // the header, then 20 whole rows
    EXPECT_EQ(entryRowsInView(314), 19);
    EXPECT_EQ(clampFirstVisibleRow(35, 41, 20), 21);  // 40 entries: the last one at the bottom
    EXPECT_EQ(clampFirstVisibleRow(3, 4, 20), 1);     // a short list: never a negative top
    EXPECT_EQ(clampFirstVisibleRow(9, 4, 0), 3);      // no height yet: only past the last row is cut
}

}  // namespace
}  // namespace ostrel
