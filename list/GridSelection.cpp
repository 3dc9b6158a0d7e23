#include "list/GridSelection.h"

#include <algorithm>

#include "list/GridGeometry.h"

namespace ostrel {

bool GridSelection::moveTo(int row, bool extend) {
    const int last = list_.rowCount() - 1;
    if (last < 1) return false;
    row = std::clamp(row, 1, last);
    if (!extend) selectionAnchor_ = row;
    grid_.selectionTop = std::min(selectionAnchor_, row);
    grid_.selectionBottom = std::max(selectionAnchor_, row);
    const bool moved = row != grid_.currentRow;
    grid_.currentRow = row;
    keepInSight(row);
    return moved;
}

void GridSelection::standOn(int row) {
    grid_.currentRow = grid_.selectionTop = grid_.selectionBottom = selectionAnchor_ = row;
}

bool GridSelection::selectAll() {
    if (list_.rowCount() <= 1) return false;
    grid_.selectionTop = 1;
    grid_.selectionBottom = list_.rowCount() - 1;
    return true;
}

void GridSelection::scrollTo(int firstVisibleRow) {
    grid_.firstVisibleRow = firstVisibleRow;
    clampView();
}

void GridSelection::setSize(int outerHeight, int clientHeight, DpiScale scale) {
    const bool firstSize = grid_.rowsInView == 0;
    grid_.heightPixels = outerHeight;
    grid_.scale = scale;
    grid_.rowsInView = entryRowsInView(clientHeight, scale);
    // Before the grid had a size there was no sight to keep the focus in.
    if (firstSize)
        keepInSight(grid_.currentRow);
    else
        clampView();
}

void GridSelection::fitToList() {
    const int last = list_.rowCount() - 1;
    standOn(std::clamp(grid_.currentRow, last > 0 ? 1 : 0, last));
    clampView();  // no screen of empty rows at the end of a list that got shorter
}

void GridSelection::startOn(int currentEntry) {
    grid_.currentRow = currentEntry > 0 ? currentEntry : grid_.firstVisibleRow;
    fitToList();  // a current entry kept past an unread list stays out of the grid
    keepInSight(grid_.currentRow);
}

bool GridSelection::bringIntoView(int currentEntry) {
    const int visibleRows = visibleRowsFor(grid_.heightPixels, grid_.scale);
    const int top = grid_.firstVisibleRow;
    if (top <= currentEntry && currentEntry <= top + visibleRows) return false;
    if (currentEntry <= 0 || currentEntry >= list_.rowCount()) return false;
    grid_.firstVisibleRow = std::max(1, std::min(currentEntry, list_.rowCount() - visibleRows - 1));
    clampView();  // the screenful above is smaller than the grid's view
    return true;
}

int GridSelection::entryAt(int y) const {
    const int rowHeight = grid_.scale(kRowHeight);
    if (y < rowHeight) return -1;
    const int row = grid_.firstVisibleRow + std::max(0, (y - rowHeight) / rowHeight);
    return row < list_.rowCount() ? row : -1;
}

bool GridSelection::hoverHeader(int cell) {
    const bool changed = cell != hovered_;
    hovered_ = cell;
    return changed;
}

// Before the grid has a size there is no sight to keep the row in: it is put
// there when the size comes.
void GridSelection::keepInSight(int row) {
    const int rowsInSight = std::max(1, grid_.rowsInView);
    if (row >= 1 && grid_.rowsInView > 0) {
        if (row < grid_.firstVisibleRow) grid_.firstVisibleRow = row;
        if (row >= grid_.firstVisibleRow + rowsInSight) grid_.firstVisibleRow = row - rowsInSight + 1;
    }
    clampView();
}

void GridSelection::clampView() {
    grid_.firstVisibleRow = clampFirstVisibleRow(grid_.firstVisibleRow, list_.rowCount(), grid_.rowsInView);
}

}  // namespace ostrel
