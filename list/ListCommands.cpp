// What the user does to the list with keys, the mouse wheel, double clicks and
// the row menu: install, move, select all, remove entries, delete files.
#include <algorithm>

#include "list/GridGeometry.h"
#include "list/ListController.h"

namespace ostrel {
namespace {

constexpr const char* kDeleteQuestion = "Вы уверены?";
constexpr const char* kDeleteCaption = "Вы собираетесь удалить файл";
// The row menu opens this far right of and below the pointer.
constexpr int kRowMenuOffsetX = 10;
constexpr int kRowMenuOffsetY = 30;

}  // namespace

// The question box has no owner, so the window stays usable while it is up:
// nothing may change the list until it is answered, or the rows and files
// acted on afterwards would not be the ones asked about.
bool ListController::ask() {
    asking_ = true;
    const bool yes = dialogs_.askYesNo(kDeleteQuestion, kDeleteCaption);
    asking_ = false;
    return yes;
}

void ListController::moveCurrentRow(int row, bool extend) {
    const int last = list_.rowCount() - 1;
    if (last < 1) return;
    row = std::clamp(row, 1, last);
    if (!extend) selectionAnchor_ = row;
    grid_.selectionTop = std::min(selectionAnchor_, row);
    grid_.selectionBottom = std::max(selectionAnchor_, row);
    const bool moved = row != grid_.currentRow;
    grid_.currentRow = row;
    keepInSight(row);  // as the grid does for every move
    if (moved) plistSelectCell(0, row);
    view_.listChanged();
}

void ListController::scrollTo(int firstVisibleRow) {
    grid_.firstVisibleRow = firstVisibleRow;
    clampView();
    view_.listChanged();
}

bool ListController::plistKeyDown(ListKey key, bool shift, bool ctrl, bool repeat) {
    keysDown_.set(static_cast<std::size_t>(key));
    if (asking_) return true;
    // One press, one command: a held Delete would remove or delete row after
    // row as each moves up into place, and a held Enter would fill the
    // history with one picture. The arrows repeat, to run through the list.
    if (repeat && (key == ListKey::Delete || key == ListKey::Enter)) return true;
    switch (key) {
    case ListKey::Enter:
        installSelected_(grid_.selectionTop);
        return true;
    // In the viewer the arrows run round from one end of the list to the other.
    case ListKey::Up:
    case ListKey::Left:
        if (!viewerOpen() || grid_.currentRow > 1) return false;
        moveCurrentRow(list_.rowCount() - 1, false);
        return true;
    case ListKey::Down:
    case ListKey::Right:
        if (!viewerOpen() || grid_.currentRow != list_.rowCount() - 1) return false;
        moveCurrentRow(1, false);
        return true;
    case ListKey::Delete: {
        if (grid_.currentRow == 0) return true;
        const int top = grid_.selectionTop, bottom = grid_.selectionBottom;
        if (shift) {
            for (int row = top; row <= bottom; ++row) {
                // No stops the whole command: the rows stay, files already gone stay gone.
                if (!ctrl && !ask()) return true;
                if (files_.fileExists(list_.path(row))) files_.deleteFile(list_.path(row));
            }
        }
        removeSelectedRows(top, bottom - top + 1);
        if (viewerOpen()) viewer_->showRow(grid_.currentRow, ViewerDirection::Forward);
        return true;
    }
    case ListKey::A:
        if (!ctrl) return false;
        if (list_.rowCount() > 1) {
            grid_.selectionTop = 1;
            grid_.selectionBottom = list_.rowCount() - 1;
            view_.listChanged();
        }
        return true;
    default:
        return false;
    }
}

void ListController::plistKeyUp(ListKey key) {
    // A release whose press went to another window is not a press here: the
    // Escape or Space that answered a question must not close or move the viewer.
    if (!keysDown_.test(static_cast<std::size_t>(key))) return;
    keysDown_.reset(static_cast<std::size_t>(key));
    if (key == ListKey::Delete) plistSelectCell(0, grid_.currentRow);
    if (!viewerOpen() || asking_) return;
    switch (key) {
    case ListKey::Escape:
        viewer_->close();
        break;
    case ListKey::Space:
        if (grid_.currentRow < list_.rowCount() - 1) moveCurrentRow(grid_.currentRow + 1, false);
        viewer_->showRow(grid_.currentRow, ViewerDirection::Forward);
        break;
    case ListKey::Left:
    case ListKey::Up:
        viewer_->showRow(grid_.currentRow, ViewerDirection::Backward);
        break;
    case ListKey::Right:
    case ListKey::Down:
        viewer_->showRow(grid_.currentRow, ViewerDirection::Forward);
        break;
    default:
        break;
    }
}

void ListController::removeSelectedRows(int top, int count) {
    list_.removeRows(top, count, settings_.currentIndex);
    if (list_.empty()) list_.setFixedRows(0);
    clampGridToList();
    saveDefaultList();
    if (list_.empty()) view_.showPlaceholderPreview();
    view_.listChanged();
}

void ListController::plistMouseWheelDown() {
    if (list_.rowCount() == 1) return;
    const int last = list_.rowCount() - 1;
    if (viewerOpen() && grid_.currentRow == last) {
        viewer_->showRow(last, ViewerDirection::Backward);
        return;
    }
    const WheelStep step =
        wheelDown(wheelRows(), list_.rowCount(), grid_.currentRow, grid_.firstVisibleRow, grid_.heightPixels);
    grid_.firstVisibleRow = step.firstVisibleRow;
    moveCurrentRow(step.currentRow, false);
    if (viewerOpen()) viewer_->showRow(grid_.currentRow, ViewerDirection::Forward);
}

void ListController::plistMouseWheelUp() {
    if (list_.rowCount() == 1) return;
    if (viewerOpen() && grid_.currentRow <= 1) {
        viewer_->showRow(1, ViewerDirection::Forward);
        return;
    }
    // Scrolled down with the current row still within a step of the top, both
    // go to row 1 and the viewer is left as it is.
    const int k = wheelRows();
    const bool jumpedToTop = grid_.firstVisibleRow > k && grid_.currentRow <= k;
    const WheelStep step =
        wheelUp(k, list_.rowCount(), grid_.currentRow, grid_.firstVisibleRow, grid_.heightPixels);
    grid_.firstVisibleRow = step.firstVisibleRow;
    moveCurrentRow(step.currentRow, false);
    if (viewerOpen() && !jumpedToTop) viewer_->showRow(grid_.currentRow, ViewerDirection::Backward);
}

void ListController::plistDblClick(int y) {
    if (y >= kRowHeight) installSelected_(grid_.selectionTop);  // below the header
}

void ListController::headerClick(int x, int y, int numberWidth, int nameWidth) {
    if (asking_ || y > kRowHeight) return;
    SortKey key;
    if (numberWidth < x && x < numberWidth + nameWidth)
        key = SortKey::Name;
    else if (x > numberWidth + nameWidth)
        key = SortKey::Resolution;
    else
        return;  // the "№" header sorts nothing
    sortDescending_ = !sortDescending_;
    Sort(key);
    plistSelectCell(0, grid_.currentRow);
}

std::optional<RowMenu> ListController::rowMenuAt(int x, int y, int windowLeft, int windowTop, int gridLeft,
                                                 int gridTop) {
    if (y < kRowHeight) return std::nullopt;
    const int row = grid_.firstVisibleRow + std::max(0, (y - kRowHeight) / kRowHeight);
    if (row >= list_.rowCount()) return std::nullopt;
    moveCurrentRow(row, false);
    RowMenu menu;
    menu.installEnabled = menu.deleteFileEnabled = files_.fileExists(list_.path(row));
    menu.screenX = windowLeft + gridLeft + x + kRowMenuOffsetX;
    menu.screenY = windowTop + gridTop + y + kRowMenuOffsetY;
    return menu;
}

void ListController::removeSelectedRowsFromList() {
    if (asking_ || grid_.currentRow == 0) return;
    for (int column = NumberColumn; column <= ResolutionColumn; ++column)
        list_.setCell(column, grid_.currentRow, {});
    removeSelectedRows(grid_.selectionTop, 1);
    const std::string& now = list_.path(grid_.currentRow);
    if (!list_.empty() && files_.fileExists(now)) view_.showPreview(now);
}

void ListController::deleteSelectedFiles() {
    if (asking_ || grid_.currentRow == 0) return;
    const int row = grid_.currentRow;  // the user may click elsewhere while the question is up
    if (!ask()) return;
    const std::string path = list_.path(row);
    if (files_.fileExists(path)) files_.deleteFile(path);  // a file that will not go is passed over
    grid_.currentRow = grid_.selectionTop = grid_.selectionBottom = selectionAnchor_ = row;
    removeSelectedRowsFromList();
}

}  // namespace ostrel
