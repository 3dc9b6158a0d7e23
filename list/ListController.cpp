#include "list/ListController.h"

#include <algorithm>

#include "list/GridGeometry.h"
#include "list/ResolutionText.h"

namespace ostrel {
namespace {

constexpr const char* kListFilter = "Файл листа(*.tav)|*.tav|Все файлы(*.*)|*.*";
constexpr const char* kOpenListFilter = "Файл листа(*.tav)|*.tav|Все файлы|*.tav";
constexpr int kBrowsingPauseMs = 10000;
constexpr int kBlinkIntervalMs = 1000;

}  // namespace

ListController::ListController(FileSystem& files, Dialogs& dialogs, FolderChooser& chooser, TimerService& timers,
                               HeaderReader& headers, ListSettings& settings, ListView& view,
                               const std::string& dataFolder)
    : files_(files),
      dialogs_(dialogs),
      chooser_(chooser),
      settings_(settings),
      view_(view),
      model_(files, dialogs, headers, dataFolder),
      browsingPauseTimer_(timers, TimerId::Browsing, kBrowsingPauseMs, false),
      blinkTimer_(timers, TimerId::Blink, kBlinkIntervalMs, false) {
    model_.onResolutionsWritten([this](int firstRow, int lastRow) { resolutionsWritten(firstRow, lastRow); });
}

void ListController::setScreenSize(int width, int height) {
    screenResolutionText_ = ostrel::screenResolutionText(width, height);
}

void ListController::startTimers() { browsingPauseTimer_.setEnabled(true); }

void ListController::limitCurrentEntry() {
    // The current entry of a list that could not be read is kept as it was.
    if (!model_.unreadWorkingListKept() && currentIndex() >= list().rowCount()) settings_.currentIndex = 0;
    selection_.startOn(currentIndex());
    listChanged();
}

void ListController::setWindowShown(bool shown) {
    windowShown_ = shown;
    updateAddButtonBlink();
}

void ListController::stopTimers() {
    model_.stopProber();
    browsingPauseTimer_.setEnabled(false);
    blinkTimer_.setEnabled(false);
}

bool ListController::onTimer(TimerId id) {
    switch (id) {
    case TimerId::Browsing: browsingPauseEnded(); return true;
    case TimerId::Blink: view_.blinkAddButton(); return true;
    default: return false;
    }
}

// Only the rows in sight are repainted: a long walk must not repaint the
// whole grid for rows nobody sees.
void ListController::resolutionsWritten(int firstRow, int lastRow) {
    const int top = grid().firstVisibleRow;
    const int bottom = top + grid().rowsInView;  // and the row cut by the bottom edge
    if (lastRow < top || firstRow > bottom) return;
    view_.rowsChanged(std::max(firstRow, top), std::min(lastRow, bottom));
}

void ListController::browsingPauseEnded() {
    userBrowsing_ = false;
    browsingPauseTimer_.setEnabled(false);
}

void ListController::plistSelectCell(int /*column*/, int row) {
    userBrowsing_ = true;
    browsingPauseTimer_.setEnabled(false);
    browsingPauseTimer_.setEnabled(true);
    if (row <= 0 || row >= list().rowCount()) return;
    model_.probeSoon(row);
    view_.showPreview(list().path(row));
}

void ListController::gotoselected() {
    if (selection_.bringIntoView(currentIndex())) listChanged();
}

void ListController::listChanged() {
    updateAddButtonBlink();
    view_.listChanged();
}

// The empty list's add button blinks to show where to start; a hidden window
// has nobody to show it to.
void ListController::updateAddButtonBlink() {
    const bool blink = windowShown_ && list().rowCount() == 1;
    if (blink == blinkTimer_.enabled()) return;
    blinkTimer_.setEnabled(blink);
    if (blink)
        view_.showPlaceholderPreview();
    else
        view_.stopAddButtonBlink();
}

void ListController::saveListAs() {
    auto chosen = dialogs_.saveFile({settings_.lastsave, kListFilter, "tav"});
    if (!chosen || !model_.saveTo(*chosen)) return;
    settings_.lastsave = *chosen;
}

void ListController::loadList() {
    if (asking_) return;
    auto chosen = dialogs_.openFile({settings_.lastsave, kOpenListFilter, "tav"});
    if (!chosen) return;
    model_.loadFrom(*chosen);
    settings_.lastsave = *chosen;
    selection_.fitToList();
    listChanged();
}

void ListController::clearList() {
    if (asking_) return;
    model_.clear();
    selection_.fitToList();
    listChanged();
}

}  // namespace ostrel
