#include "list/GridGeometry.h"

#include <algorithm>

#include "base/Rounding.h"

namespace ostrel {

int visibleRowsFor(int heightPixels, DpiScale s) {
    const int row = s(kRowHeight);
    return static_cast<int>(roundHalfEven(heightPixels - 3 * row, row));
}

int entryRowsInView(int clientHeight, DpiScale s) {
    const int row = s(kRowHeight);
    return std::max(0, clientHeight - row) / row;
}

int clampFirstVisibleRow(int top, int rowCount, int rowsInView) {
    return std::clamp(top, 1, std::max(1, rowCount - std::max(1, rowsInView)));
}

WheelStep wheelDown(int k, int rowCount, int current, int top, int gridHeight, DpiScale s) {
    const int visible = visibleRowsFor(gridHeight - s(8), s);
    const int last = rowCount - 1;
    const int lowestTop = rowCount - visible - 1;
    WheelStep step{top, current};
    if (top + k <= lowestTop) {
        step.firstVisibleRow = top + k;
        step.currentRow = std::min(current + k, last);
    } else {
        if (lowestTop > 0) step.firstVisibleRow = lowestTop;
        step.currentRow = current >= rowCount - k ? last : current + k;
    }
    return step;
}

WheelStep wheelUp(int k, int rowCount, int current, int top, int gridHeight) {
    (void)rowCount;
    (void)gridHeight;  // the screenful is worked out but does not limit a step up
    WheelStep step{top, current};
    if (top <= k) {
        step.firstVisibleRow = 1;
        step.currentRow = current <= k ? 1 : current - k;
    } else if (current <= k) {
        step.firstVisibleRow = 1;
        step.currentRow = 1;
    } else {
        step.firstVisibleRow = top - k;
        step.currentRow = current - k;
    }
    return step;
}

int headerCellAt(int x, int y, int clientWidth, int numberWidth, int nameWidth, DpiScale s) {
    if (y < 0 || y >= s(kRowHeight)) return 0;
    if (numberWidth < x && x < numberWidth + nameWidth) return 1;
    if (numberWidth + nameWidth < x && x < clientWidth) return 2;
    return 0;
}

std::vector<ArrowLine> sortArrowLines(int w, bool sortedByName, bool sortedByResolution, bool descending, DpiScale s) {
    std::vector<ArrowLine> lines;
    if (!sortedByName && !sortedByResolution) return lines;
    // The designed arrow has five lines, i from 1 to 5 at y = i + 4; each row
    // of the scaled arrow takes the designed line it falls on.
    constexpr int kLines = 5;
    const int rows = s(kLines), top = s(5);
    for (int r = 0; r < rows; ++r) {
        const int i = 1 + r * kLines / rows;
        const int y = top + r;
        if (sortedByName)
            lines.push_back(descending ? ArrowLine{w + s(-21 + i), w + s(-10 - i), y}
                                       : ArrowLine{w + s(-17 + i), w + s(-16 - i), y});
        else
            lines.push_back(descending ? ArrowLine{w + s(69 + i), w + s(80 - i), y}
                                       : ArrowLine{w + s(73 + i), w + s(74 - i), y});
    }
    return lines;
}

RowLook rowLook(const WallpaperList& list, int row, const std::string& currentPath,
                const std::string& screenResolutionText, bool rowTopIsZero) {
    RowLook look;
    if (list.path(row) == currentPath) {
        // A row out of sight is left as it is, and with it the arrow.
        if (rowTopIsZero) {
            look.arrow = false;
            return look;
        }
        look.redrawn = true;
        look.resolution = TextColour::Current;
    }
    if (list.resolution(row) == screenResolutionText) look.resolution = TextColour::ScreenSize;
    return look;
}

}  // namespace ostrel
