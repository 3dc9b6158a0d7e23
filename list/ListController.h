#pragma once
// The list commands: what the user does to the working list with the menus,
// the toolbar, the keys, the wheel and the mouse, and what the downloads add.
// The rows and their file are the model's; where the grid stands is the
// selection's; this decides what a command does to both and tells the window.
#include <bitset>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "list/FolderChooser.h"
#include "list/GridSelection.h"
#include "list/HeaderReader.h"
#include "list/ListModel.h"
#include "list/ListSettings.h"
#include "list/ListView.h"
#include "list/Sorting.h"
#include "list/ViewerLink.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Timers.h"
#include "platform/WindowTimer.h"

namespace ostrel {

// Keys the list reacts to before the grid's own key handling.
enum class ListKey { Enter, Up, Down, Left, Right, Delete, A, Escape, Space, Other, Count };

// What the row menu offers for the row that was right-clicked.
struct RowMenu {
    int screenX = 0, screenY = 0;
    bool installEnabled = false;     // "Установить"
    bool deleteFileEnabled = false;  // "Удалить файл"
};

class ListController {
public:
    // The settings and the data folder belong to the caller and outlive this.
    ListController(FileSystem& files, Dialogs& dialogs, FolderChooser& chooser, TimerService& timers,
                   HeaderReader& headers, ListSettings& settings, ListView& view, const std::string& dataFolder);

    // Install the selected entry, given the top row of the selection (the
    // changer's operation, for Enter and the double click).
    void setInstaller(std::function<void(int)> installSelected) { installSelected_ = std::move(installSelected); }
    // The full-screen viewer that the keys and the wheel drive while it is open.
    void setViewer(ViewerLink& viewer) { viewer_ = &viewer; }

    ListModel& model() { return model_; }
    const ListModel& model() const { return model_; }
    const WallpaperList& list() const { return model_.list(); }
    // The grid reports its size and scrolls through this; it repaints itself after.
    GridSelection& selection() { return selection_; }
    const GridState& grid() const { return selection_.state(); }

    // ---- start and end ----
    void setScreenSize(int width, int height);
    // The browsing pause's timer.
    void startTimers();
    // The prober's walk from row 1, once the working list is there.
    void startProber() { model_.restartProber(1); }
    // A current entry past the loaded list becomes 0 (unless the list was not
    // read); the grid's current row becomes the current entry.
    void limitCurrentEntry();
    // The add button blinks while the list is empty and the window is shown.
    void setWindowShown(bool shown);
    void stopTimers();

    // ---- events ----
    // True when the timer is one of the list's and was handled.
    bool onTimer(TimerId id);
    void plistSelectCell(int column, int row);
    // Scrolls the current entry back into view after a change, unless the user is browsing.
    void gotoselected();

    // ---- the list menu ----
    void saveListAs();  // "Сохранить"
    void loadList();    // "Загрузить"
    void clearList();   // "Очистить"
    // "Сохранить" of the list menu is enabled only while there are entries.
    bool saveEnabled() const { return !list().empty(); }
    void Sort(SortKey key);
    void sortByName();        // "По имени"
    void sortByResolution();  // "По разрешению"
    void orderAscending();    // "По возрастанию"
    void orderDescending();   // "По убыванию"
    bool ascendingChecked() const { return ascendingChecked_; }

    // ---- adding pictures ----
    void AddBtnClick();   // "Папку"
    void filebtnClick();  // "Файл"
    // Files and folders dropped on the window (paths that fit, in the ANSI code page).
    void dropFiles(const std::vector<std::string>& paths);
    // A picture the automatic download fetched: Append entry, the prober from row 1.
    void addDownloaded(const std::string& path);
    // A picture the download browser fetched: always a new last row, its
    // resolution probed at once.
    void addFetchedPicture(const std::string& path);
    // The download browser closed: the working list saved, the prober from row 1.
    void browserClosed();

    // ---- the grid's input ----
    // Moves the grid's focus as the grid itself does (arrows, clicks); with
    // extend the selection runs from the anchor to row.
    void moveCurrentRow(int row, bool extend);
    // True when the key was taken; otherwise the grid handles it itself.
    // repeat: the key is held down and this is its auto-repeat.
    bool plistKeyDown(ListKey key, bool shift, bool ctrl, bool repeat = false);
    void plistKeyUp(ListKey key);
    void plistMouseWheelDown();
    void plistMouseWheelUp();
    // y in the grid's client area: a double click below the header installs.
    void plistDblClick(int y);
    // A left-button release at (x, y) inside the grid: header clicks sort.
    void headerClick(int x, int y, int numberWidth, int nameWidth);
    // A right click at (x, y) inside the grid: the row menu to open, if any.
    std::optional<RowMenu> rowMenuAt(int x, int y, int windowLeft, int windowTop, int gridLeft, int gridTop);
    void removeSelectedRowsFromList();  // "Удалить из списка"
    void deleteSelectedFiles();         // "Удалить файл"

    // ---- what the grid shows ----
    bool userBrowsing() const { return userBrowsing_; }
    const std::string& screenResolutionText() const { return screenResolutionText_; }
    const std::string& currentPath() const { return settings_.currentPath; }

private:
    void resolutionsWritten(int firstRow, int lastRow);
    void browsingPauseEnded();
    void afterAdding();
    void removeSelectedRows(int top, int count);
    // Every change of the rows, the focus or the view ends here.
    void listChanged();
    void updateAddButtonBlink();
    bool ask();  // the delete question; the list is left alone while it is up
    bool viewerOpen() const { return viewer_ && viewer_->fullScreenShown(); }
    // The user's wheel step, and one row while the viewer shows the pictures.
    int wheelRows() const { return viewerOpen() ? 1 : settings_.kolprokr; }
    int currentIndex() const { return settings_.currentIndex; }

    FileSystem& files_;
    Dialogs& dialogs_;
    FolderChooser& chooser_;
    ListSettings& settings_;
    ListView& view_;
    ListModel model_;
    GridSelection selection_{model_.list()};
    std::string screenResolutionText_;

    WindowTimer browsingPauseTimer_;  // end of the browsing pause
    WindowTimer blinkTimer_;          // add-button blink

    std::function<void(int)> installSelected_ = [](int) {};
    ViewerLink* viewer_ = nullptr;
    bool windowShown_ = false;
    bool userBrowsing_ = false;
    bool asking_ = false;
    bool includeSubfolders_ = false;
    bool ascendingChecked_ = true;
    std::bitset<static_cast<std::size_t>(ListKey::Count)> keysDown_;  // pressed here, not yet released
};

}  // namespace ostrel
