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
    if (list().rowCount() < 2) return;
    if (selection_.moveTo(row, extend)) plistSelectCell(0, grid().currentRow);
    listChanged();
}

bool ListController::plistKeyDown(ListKey key, bool shift, bool ctrl, bool repeat) {
    keysDown_.set(static_cast<std::size_t>(key));
    if (asking_) return true;
    // One press, one command: a held Delete would remove or delete row after
    // row as each moves up into place, and a held Enter would fill the
    // history with one picture. The arrows repeat, to run through the list.
    if (repeat && (key == ListKey::Delete || key == ListKey::Enter)) return true;
    switch (key) {
    case ListKey::Enter: installSelected_(grid().selectionTop); return true;
    // In the viewer the arrows run round from one end of the list to the other.
    case ListKey::Up:
    case ListKey::Left:
        if (!viewerOpen() || grid().currentRow > 1) return false;
        moveCurrentRow(list().rowCount() - 1, false);
        return true;
    case ListKey::Down:
    case ListKey::Right:
        if (!viewerOpen() || grid().currentRow != list().rowCount() - 1) return false;
        moveCurrentRow(1, false);
        return true;
    case ListKey::Delete: {
        if (grid().currentRow == 0) return true;
        const int top = grid().selectionTop, bottom = grid().selectionBottom;
        if (shift) {
            for (int row = top; row <= bottom; ++row) {
                // No stops the whole command: the rows stay, files already gone stay gone.
                if (!ctrl && !ask()) return true;
                if (files_.fileExists(list().path(row))) files_.deleteFile(list().path(row));
            }
        }
        removeSelectedRows(top, bottom - top + 1);
        if (viewerOpen()) viewer_->showRow(grid().currentRow, ViewerDirection::Forward);
        return true;
    }
    case ListKey::A:
        if (!ctrl) return false;
        if (selection_.selectAll()) listChanged();
        return true;
    default: return false;
    }
}

void ListController::plistKeyUp(ListKey key) {
    // A release whose press went to another window is not a press here: the
    // Escape or Space that answered a question must not close or move the viewer.
    if (!keysDown_.test(static_cast<std::size_t>(key))) return;
    keysDown_.reset(static_cast<std::size_t>(key));
    if (key == ListKey::Delete) plistSelectCell(0, grid().currentRow);
    if (!viewerOpen() || asking_) return;
    switch (key) {
    case ListKey::Escape: viewer_->close(); break;
    case ListKey::Space:
        if (grid().currentRow < list().rowCount() - 1) moveCurrentRow(grid().currentRow + 1, false);
        viewer_->showRow(grid().currentRow, ViewerDirection::Forward);
        break;
    case ListKey::Left:
    case ListKey::Up: viewer_->showRow(grid().currentRow, ViewerDirection::Backward); break;
    case ListKey::Right:
    case ListKey::Down: viewer_->showRow(grid().currentRow, ViewerDirection::Forward); break;
    default: break;
    }
}

void ListController::removeSelectedRows(int top, int count) {
    WallpaperList& rows = model_.mutableList();
    rows.removeRows(top, count, settings_.currentIndex);
    if (rows.empty()) rows.setFixedRows(0);
    selection_.fitToList();
    model_.saveDefaultList();
    if (rows.empty()) view_.showPlaceholderPreview();
    listChanged();
}

void ListController::plistMouseWheelDown() {
    if (list().rowCount() == 1) return;
    const int last = list().rowCount() - 1;
    if (viewerOpen() && grid().currentRow == last) {
        viewer_->showRow(last, ViewerDirection::Backward);
        return;
    }
    const WheelStep step = wheelDown(wheelRows(), list().rowCount(), grid().currentRow, grid().firstVisibleRow,
                                     grid().heightPixels, grid().scale);
    selection_.setFirstVisibleRow(step.firstVisibleRow);
    moveCurrentRow(step.currentRow, false);
    if (viewerOpen()) viewer_->showRow(grid().currentRow, ViewerDirection::Forward);
}

void ListController::plistMouseWheelUp() {
    if (list().rowCount() == 1) return;
    if (viewerOpen() && grid().currentRow <= 1) {
        viewer_->showRow(1, ViewerDirection::Forward);
        return;
    }
    // Scrolled down with the current row still within a step of the top, both
    // go to row 1 and the viewer is left as it is.
    const int k = wheelRows();
    const bool jumpedToTop = grid().firstVisibleRow > k && grid().currentRow <= k;
    const WheelStep step =
        wheelUp(k, list().rowCount(), grid().currentRow, grid().firstVisibleRow, grid().heightPixels);
    selection_.setFirstVisibleRow(step.firstVisibleRow);
    moveCurrentRow(step.currentRow, false);
    if (viewerOpen() && !jumpedToTop) viewer_->showRow(grid().currentRow, ViewerDirection::Backward);
}

void ListController::plistDblClick(int y) {
    if (y >= grid().scale(kRowHeight)) installSelected_(grid().selectionTop);  // below the header
}

void ListController::headerClick(int x, int y, int numberWidth, int nameWidth) {
    if (asking_ || y > grid().scale(kRowHeight)) return;
    SortKey key;
    if (numberWidth < x && x < numberWidth + nameWidth)
        key = SortKey::Name;
    else if (x > numberWidth + nameWidth)
        key = SortKey::Resolution;
    else
        return;  // the "№" header sorts nothing
    model_.setSortDescending(!model_.sortDescending());
    Sort(key);
    plistSelectCell(0, grid().currentRow);
}

std::optional<RowMenu> ListController::rowMenuAt(int x, int y, int windowLeft, int windowTop, int gridLeft,
                                                 int gridTop) {
    const int row = selection_.entryAt(y);
    if (row < 0) return std::nullopt;
    moveCurrentRow(row, false);
    RowMenu menu;
    menu.installEnabled = menu.deleteFileEnabled = files_.fileExists(list().path(row));
    menu.screenX = windowLeft + gridLeft + x + kRowMenuOffsetX;
    menu.screenY = windowTop + gridTop + y + kRowMenuOffsetY;
    return menu;
}

void ListController::removeSelectedRowsFromList() {
    if (asking_ || grid().currentRow == 0) return;
    for (int column = NumberColumn; column <= ResolutionColumn; ++column)
        model_.mutableList().setCell(column, grid().currentRow, {});
    removeSelectedRows(grid().selectionTop, 1);
    const std::string& now = list().path(grid().currentRow);
    if (!list().empty() && files_.fileExists(now)) view_.showPreview(now);
}

void ListController::deleteSelectedFiles() {
    if (asking_ || grid().currentRow == 0) return;
    const int row = grid().currentRow;  // the user may click elsewhere while the question is up
    if (!ask()) return;
    const std::string path = list().path(row);
    if (files_.fileExists(path)) files_.deleteFile(path);  // a file that will not go is passed over
    selection_.standOn(row);
    removeSelectedRowsFromList();
}

}  // namespace ostrel
