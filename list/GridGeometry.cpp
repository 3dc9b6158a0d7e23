#include "list/GridGeometry.h"

#include <algorithm>

#include "base/Rounding.h"

namespace ostrel {

int visibleRowsFor(int heightPixels) {
    return static_cast<int>(roundHalfEven(heightPixels - 3 * kRowHeight, kRowHeight));
}

int entryRowsInView(int clientHeight) { return std::max(0, clientHeight - kRowHeight) / kRowHeight; }

int clampFirstVisibleRow(int top, int rowCount, int rowsInView) {
    return std::clamp(top, 1, std::max(1, rowCount - std::max(1, rowsInView)));
}

WheelStep wheelDown(int k, int rowCount, int current, int top, int gridHeight) {
    const int visible = visibleRowsFor(gridHeight - 8);
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

int headerCellAt(int x, int y, int clientWidth, int numberWidth, int nameWidth) {
    if (y < 0 || y >= kRowHeight) return 0;
    if (numberWidth < x && x < numberWidth + nameWidth) return 1;
    if (numberWidth + nameWidth < x && x < clientWidth) return 2;
    return 0;
}

std::vector<ArrowLine> sortArrowLines(int w, bool sortedByName, bool sortedByResolution, bool descending) {
    std::vector<ArrowLine> lines;
    if (!sortedByName && !sortedByResolution) return lines;
    for (int i = 1; i <= 5; ++i) {
        const int y = i + 4;
        if (sortedByName)
            lines.push_back(descending ? ArrowLine{w - 21 + i, w - 10 - i, y} : ArrowLine{w - 17 + i, w - 16 - i, y});
        else
            lines.push_back(descending ? ArrowLine{w + 69 + i, w + 80 - i, y} : ArrowLine{w + 73 + i, w + 74 - i, y});
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
