#include "list/ListController.h"

#include <algorithm>

#include "list/GridGeometry.h"
#include "list/ListFile.h"
#include "list/ResolutionText.h"

namespace ostrel {
namespace {

constexpr const char* kListFilter = "Файл листа(*.tav)|*.tav|Все файлы(*.*)|*.*";
constexpr const char* kOpenListFilter = "Файл листа(*.tav)|*.tav|Все файлы|*.tav";

}  // namespace

ListController::ListController(FileSystem& files, Dialogs& dialogs, FolderChooser& chooser, TimerService& timers,
                               ListSettings& settings, ListView& view, const std::string& dataFolder)
    : files_(files),
      dialogs_(dialogs),
      chooser_(chooser),
      settings_(settings),
      view_(view),
      dataFolder_(dataFolder),
      proberTimer_(timers, TimerId::Prober, 11, false),
      browsingPauseTimer_(timers, TimerId::Browsing, 10000, false),
      blinkTimer_(timers, TimerId::Blink, 1000, false) {}

void ListController::setScreenSize(int width, int height) {
    screenResolutionText_ = ostrel::screenResolutionText(width, height);
}

void ListController::startTimers() {
    prober_.setProbeRow(1);
    proberTimer_.setEnabled(true);
    browsingPauseTimer_.setEnabled(true);
}

bool ListController::openWorkingList() {
    // A file that is there but cannot be read (locked by another program, no
    // permission, a disk error) is the user's list all the same.
    const ListRead read = openF(files_, defaultListPath(), list_);
    keepDefaultListFile_ = read != ListRead::Loaded && files_.fileExists(defaultListPath());
    return !keepDefaultListFile_;
}

void ListController::limitCurrentEntry() {
    // The current entry of a list that could not be read is kept as it was.
    if (!keepDefaultListFile_ && currentIndex() >= list_.rowCount()) settings_.currentIndex = 0;
    grid_.currentRow = currentIndex() > 0 ? currentIndex() : grid_.firstVisibleRow;
    clampGridToList();  // a current entry kept past an unread list stays out of the grid
    keepInSight(grid_.currentRow);
    view_.listChanged();
}

void ListController::stopTimers() {
    for (WindowTimer* timer : {&proberTimer_, &browsingPauseTimer_, &blinkTimer_}) timer->setEnabled(false);
}

bool ListController::onTimer(TimerId id) {
    switch (id) {
        case TimerId::Prober: proberTick(); return true;
        case TimerId::Browsing: browsingPauseEnded(); return true;
        case TimerId::Blink: view_.blinkAddButton(); return true;
        default: return false;
    }
}

void ListController::plistSelectCell(int /*column*/, int row) {
    userBrowsing_ = true;
    browsingPauseTimer_.setEnabled(false);
    browsingPauseTimer_.setEnabled(true);
    if (row <= 0 || row >= list_.rowCount()) return;
    if (list_.resolution(row).find('x') == std::string::npos)
        list_.setCell(ResolutionColumn, row, resolutionText(files_, list_.path(row)));
    view_.showPreview(list_.path(row));
}

void ListController::gotoselected() {
    const int visibleRows = visibleRowsFor(grid_.heightPixels);
    int top = grid_.firstVisibleRow;
    int ci = currentIndex();
    if (top <= ci && ci <= top + visibleRows) return;
    if (ci > 0 && ci < list_.rowCount()) {
        grid_.firstVisibleRow = std::max(1, std::min(ci, list_.rowCount() - visibleRows - 1));
        clampView();  // the screenful above is smaller than the grid's view
        view_.listChanged();
    }
}

void ListController::browsingPauseEnded() {
    userBrowsing_ = false;
    browsingPauseTimer_.setEnabled(false);
}

void ListController::proberTick() {
    Prober::TickResult result = prober_.tick(files_, list_);
    if (result == Prober::TickResult::Nothing) return;
    if (result == Prober::TickResult::Finished) {
        proberTimer_.setEnabled(false);
        saveDefaultList();
    }
    view_.listChanged();
}

void ListController::clampGridToList() {
    // The grid keeps its rows where it can: the current row stays unless the
    // list got shorter than it, and the selection shrinks to the current row.
    const int last = list_.rowCount() - 1;
    grid_.currentRow = std::clamp(grid_.currentRow, last > 0 ? 1 : 0, last);
    grid_.selectionTop = grid_.selectionBottom = selectionAnchor_ = grid_.currentRow;
    clampView();  // no screen of empty rows at the end of a list that got shorter
}

int ListController::rowsInSight() const { return std::max(1, grid_.rowsInView); }

// Before the grid has a size there is no sight to keep the row in: it is put
// there when the size comes.
void ListController::keepInSight(int row) {
    if (row >= 1 && grid_.rowsInView > 0) {
        if (row < grid_.firstVisibleRow) grid_.firstVisibleRow = row;
        if (row >= grid_.firstVisibleRow + rowsInSight()) grid_.firstVisibleRow = row - rowsInSight() + 1;
    }
    clampView();
}

void ListController::clampView() {
    grid_.firstVisibleRow = clampFirstVisibleRow(grid_.firstVisibleRow, list_.rowCount(), grid_.rowsInView);
}

void ListController::setGridSize(int outerHeight, int clientHeight) {
    const bool firstSize = grid_.rowsInView == 0;
    grid_.heightPixels = outerHeight;
    grid_.rowsInView = entryRowsInView(clientHeight);
    if (firstSize)
        keepInSight(grid_.currentRow);
    else
        clampView();
}

void ListController::restartProber(int row) {
    prober_.setProbeRow(row);
    proberTimer_.setEnabled(true);
}

void ListController::saveDefaultList() {
    if (!savingStopped_) writeDefaultList();
}

void ListController::saveForTheLastTime() {
    stopSaving();
    writeDefaultList();
}

void ListController::writeDefaultList() {
    if (keepDefaultListFile_) return;  // the unread working list stays as it is
    if (!saveF(files_, list_, defaultListPath())) dialogs_.message("Не удалось записать файл списка Default.tav.");
}

void ListController::saveListAs() {
    auto chosen = dialogs_.saveFile({settings_.lastsave, kListFilter, "tav"});
    if (!chosen) return;
    if (!saveF(files_, list_, *chosen)) {
        dialogs_.message("Не удалось записать файл листа.");
        return;
    }
    keepDefaultListFile_ = false;  // the user has made the list theirs again
    settings_.lastsave = *chosen;
    list_.fixHeaderIfEntries();
}

void ListController::loadList() {
    if (asking_) return;
    auto chosen = dialogs_.openFile({settings_.lastsave, kOpenListFilter, "tav"});
    if (!chosen) return;
    switch (openF(files_, *chosen, list_)) {
        case ListRead::Loaded: keepDefaultListFile_ = false; break;
        case ListRead::NotOpened: break;  // ignored, as a list file always was
        case ListRead::ReadFailed: dialogs_.message("Не удалось прочитать файл листа."); break;
    }
    settings_.lastsave = *chosen;
    list_.fixHeaderIfEntries();
    restartProber(0);
    clampGridToList();
    view_.listChanged();
}

void ListController::clearList() {
    if (asking_) return;
    keepDefaultListFile_ = false;
    list_.clear();
    clampGridToList();
    view_.listChanged();
}

int ListController::firstHeaderCellDrawn(bool scrollBarShown) {
    if (list_.rowCount() == 1) {
        if (!blinkTimer_.enabled()) {
            view_.showPlaceholderPreview();
            blinkTimer_.setEnabled(true);
        }
    } else if (blinkTimer_.enabled()) {
        blinkTimer_.setEnabled(false);
        view_.stopAddButtonBlink();
    }
    return scrollBarShown ? kResolutionColumnWithScrollBar : kResolutionColumnWidth;
}

bool ListController::hoverHeader(int which) {
    const int before = hoveredHeader();
    hoverName_ = which == 1;
    hoverResolution_ = which == 2;
    return which != before;
}

}  // namespace ostrel
