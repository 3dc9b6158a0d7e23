#pragma once
// The list grid's arithmetic, apart from any window: rows per screen, the
// mouse wheel, the header hit tests, the sort arrow's lines and the colours of
// a row. The grid window draws and reports; these decide.
#include <string>
#include <vector>

#include "base/DpiScale.h"
#include "list/WallpaperList.h"

namespace ostrel {

inline constexpr int kRowHeight = 15;
inline constexpr int kNumberColumnWidth = 34;
inline constexpr int kResolutionColumnWidth = 100;
inline constexpr int kResolutionColumnWithScrollBar = 83;
// The narrowest the list can be dragged, whatever the window's size.
inline constexpr int kGridMinWidth = 200;

// The designed lengths above are at 96 DPI; the grid of a window at another
// DPI scales them, and every length below is in the window's pixels.

// The resolution column gives the vertical scroll bar its room.
constexpr int resolutionColumnWidth(bool scrollBarShown, DpiScale scale = {}) {
    return scale(scrollBarShown ? kResolutionColumnWithScrollBar : kResolutionColumnWidth);
}

// Round(height / row height - 3), halves to even: the rows taken as one screenful.
int visibleRowsFor(int heightPixels, DpiScale scale = {});

// Whole entry rows a grid client area of this height shows under the header.
int entryRowsInView(int clientHeight, DpiScale scale = {});
// The first visible row the grid can show: never above row 1, and never so far
// down that an empty space stands below the last row while rows above are out
// of sight. rowsInView 0 (no height yet) limits it to the last row.
int clampFirstVisibleRow(int top, int rowCount, int rowsInView);

// Where the grid stands after one wheel step.
struct WheelStep {
    int firstVisibleRow;
    int currentRow;
};
// k rows per step, R rows in all (header included), c the current row, t the
// first visible row. Down takes the grid height less 8 for the screenful.
WheelStep wheelDown(int k, int rowCount, int current, int top, int gridHeight, DpiScale scale = {});
WheelStep wheelUp(int k, int rowCount, int current, int top, int gridHeight);

// Which header cell a point of the grid's client area is over: 0 none,
// 1 "Имя", 2 "Разрешение".
int headerCellAt(int x, int y, int clientWidth, int numberWidth, int nameWidth, DpiScale scale = {});

// One grey line of the sort arrow, drawn from x0 up to but not including x1.
struct ArrowLine {
    int x0, x1, y;
};
// nameRight is the right edge of the "Имя" column (widths of columns 0 and 1).
// Scaled, the arrow takes one line for each row of pixels it covers.
std::vector<ArrowLine> sortArrowLines(int nameRight, bool sortedByName, bool sortedByResolution, bool descending,
                                      DpiScale scale = {});

enum class TextColour { Normal, Current, ScreenSize };

// How a row's cells are drawn over the grid's default drawing.
struct RowLook {
    bool redrawn = false;                        // its three cells are drawn again in the current wallpaper's colour
    TextColour resolution = TextColour::Normal;  // the resolution cell's own colour
    bool arrow = true;                           // the sort arrow is drawn afterwards
};
// rowTopIsZero: the row lies where the grid's top edge is (only the header
// when it scrolls with the entries).
RowLook rowLook(const WallpaperList& list, int row, const std::string& currentPath,
                const std::string& screenResolutionText, bool rowTopIsZero);

}  // namespace ostrel
