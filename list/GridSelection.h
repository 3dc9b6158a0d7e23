#pragma once
// Where the list grid stands over the rows: its focus, the selected range, the
// scroll position, and the header cell under the pointer. The grid window
// shows it and reports its size; the list commands move it.
#include "base/DpiScale.h"
#include "list/WallpaperList.h"

namespace ostrel {

struct GridState {
    int currentRow = 0;    // row of the grid's focus
    int selectionTop = 0;  // the selected range of rows
    int selectionBottom = 0;
    int firstVisibleRow = 1;  // first row under the header
    int heightPixels = 0;     // the grid's outer height, for the screenful arithmetic
    int rowsInView = 0;       // whole entry rows its client area shows; 0 until it has a size
    DpiScale scale;           // the grid window's DPI: its rows and columns are scaled by it
};

class GridSelection {
public:
    // The list belongs to the caller and outlives this.
    explicit GridSelection(const WallpaperList& list) : list_(list) {}

    const GridState& state() const { return grid_; }

    // Moves the focus as the grid itself does (arrows, clicks): held to the
    // entries and kept in sight; with extend the selection runs from the
    // anchor to row. True when the focus moved to another row.
    bool moveTo(int row, bool extend);
    // Focus, selection and anchor on this row, wherever the view stands.
    void standOn(int row);
    // Every entry selected; false when there is none.
    bool selectAll();
    void scrollTo(int firstVisibleRow);
    // The first visible row a wheel step arrived at, before the focus follows.
    void setFirstVisibleRow(int row) { grid_.firstVisibleRow = row; }
    // The grid's outer and client heights, whenever its size changes, and
    // the DPI its window is drawn at.
    void setSize(int outerHeight, int clientHeight, DpiScale scale = {});
    // After the list changed: the focus stays unless the list got shorter
    // than it, and the selection shrinks to the focus.
    void fitToList();
    // Start-up: the focus on the current entry (or the first visible row when
    // there is none), held to the list and in sight.
    void startOn(int currentEntry);
    // Scrolls a current entry out of sight back into view, a screenful at a
    // time as the window's height counts it. True when the view moved.
    bool bringIntoView(int currentEntry);
    // The row under y of the grid's client area, or -1 for the header and
    // below the last row.
    int entryAt(int y) const;

    // The header cell to highlight after a pointer move (0 none, 1 "Имя",
    // 2 "Разрешение"); true when the highlight changed and must be redrawn.
    bool hoverHeader(int cell);
    int hoveredHeader() const { return hovered_; }

private:
    void keepInSight(int row);
    void clampView();

    const WallpaperList& list_;
    GridState grid_;
    int selectionAnchor_ = 0;
    int hovered_ = 0;
};

}  // namespace ostrel
