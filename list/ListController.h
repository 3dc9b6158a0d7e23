#pragma once
// The working list as the main window holds it: the list itself, the grid's
// position in it, the row-selection handling, the background resolution
// prober, and the list commands (save, load, clear) with the working list
// file "Default.tav".
#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>
#include <string>

#include "list/ListSettings.h"
#include "platform/WindowTimer.h"
#include "list/FolderChooser.h"
#include "list/ListFile.h"
#include "list/ListView.h"
#include "list/Sorting.h"
#include "list/Prober.h"
#include "list/ViewerLink.h"
#include "list/WallpaperList.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Timers.h"

namespace ostrel {

// Where the list grid stands. The grid window shows it and reports its size.
struct GridState {
    int currentRow = 0;       // row of the grid's focus
    int selectionTop = 0;     // the selected range of rows
    int selectionBottom = 0;
    int firstVisibleRow = 1;  // first row under the header
    int heightPixels = 0;     // the grid's outer height, for the screenful arithmetic
    int rowsInView = 0;       // whole entry rows its client area shows; 0 until it has a size
};

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
                   ListSettings& settings, ListView& view, const std::string& dataFolder);

    // Install the selected entry, given the top row of the selection (the
    // changer's operation, for Enter and the double click).
    void setInstaller(std::function<void(int)> installSelected) { installSelected_ = std::move(installSelected); }
    // The full-screen viewer that the keys and the wheel drive while it is open.
    void setViewer(ViewerLink& viewer) { viewer_ = &viewer; }

    // ---- start-up ----
    void setScreenSize(int width, int height);
    // The prober from row 1, and the browsing pause's timer.
    void startTimers();
    // Reads "Default.tav". False when it exists but could not be read: it is
    // then kept from every default save until the user saves, loads or clears.
    bool openWorkingList();
    // A current entry past the loaded list becomes 0 (unless the list was not
    // read); the grid's current row becomes the current entry.
    void limitCurrentEntry();
    void stopTimers();

    // ---- events ----
    // True when the timer is one of the list's and was handled.
    bool onTimer(TimerId id);
    void proberTick();
    void browsingPauseEnded();
    void plistSelectCell(int column, int row);
    void gotoselected();
    void saveListAs();  // "Сохранить"
    void loadList();    // "Загрузить"
    void clearList();   // "Очистить"
    // Writes the working list file, unless it is being kept or saving has stopped.
    void saveDefaultList();
    // The program's last save of it (at its end): nothing saves it from here
    // on, also not from inside a box this save shows.
    void saveForTheLastTime();
    // Nothing saves it any more: the program ends without saving, or its
    // files are being removed. A command that was waiting in a dialog, the
    // folder chooser or a box when this happened adds and writes nothing after.
    void stopSaving() { savingStopped_ = true; }

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

    // ---- sorting ----
    void Sort(SortKey key);
    void sortByName();        // "По имени"
    void sortByResolution();  // "По разрешению"
    void orderAscending();    // "По возрастанию"
    void orderDescending();   // "По убыванию"
    bool sortedByName() const { return sortedByName_; }
    bool sortedByResolution() const { return sortedByResolution_; }
    bool sortDescending() const { return sortDescending_; }
    bool ascendingChecked() const { return ascendingChecked_; }

    // ---- the grid's input ----
    // Moves the grid's focus as the grid itself does (arrows, clicks); with
    // extend the selection runs from the anchor to row.
    void moveCurrentRow(int row, bool extend);
    void scrollTo(int firstVisibleRow);
    // The grid's outer and client heights, whenever its size changes.
    void setGridSize(int outerHeight, int clientHeight);
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
    // "Сохранить" of the list menu is enabled only while there are entries.
    bool saveEnabled() const { return !list_.empty(); }

    // ---- painting ----
    // Run as the grid draws its first header cell: starts or stops the add
    // button's blinking and answers the resolution column's width.
    int firstHeaderCellDrawn(bool scrollBarShown);
    // The header cell to highlight after a pointer move (0 none, 1 "Имя",
    // 2 "Разрешение"); answers whether the highlight changed and must be redrawn.
    bool hoverHeader(int which);
    int hoveredHeader() const { return hoverName_ ? 1 : hoverResolution_ ? 2 : 0; }
    // ---- state ----
    const WallpaperList& list() const { return list_; }
    WallpaperList& mutableList() { return list_; }
    GridState& grid() { return grid_; }
    bool userBrowsing() const { return userBrowsing_; }
    const std::string& screenResolutionText() const { return screenResolutionText_; }
    const std::string& currentPath() const { return settings_.currentPath; }
    std::string defaultListPath() const { return dataFolder_ + "\\" + std::string(kDefaultListName); }
    const WindowTimer& proberTimer() const { return proberTimer_; }

private:
    void restartProber(int row);
    void writeDefaultList();
    void afterAdding();
    void removeSelectedRows(int top, int count);
    void clampGridToList();
    bool ask();  // the delete question; the list is left alone while it is up
    int rowsInSight() const;
    bool viewerOpen() const { return viewer_ && viewer_->fullScreenShown(); }
    // The user's wheel step, and one row while the viewer shows the pictures.
    int wheelRows() const { return viewerOpen() ? 1 : settings_.kolprokr; }
    void keepInSight(int row);
    void clampView();
    std::int32_t currentIndex() const { return settings_.currentIndex; }

    FileSystem& files_;
    Dialogs& dialogs_;
    FolderChooser& chooser_;
    ListSettings& settings_;
    ListView& view_;
    const std::string& dataFolder_;
    WallpaperList list_;
    Prober prober_;
    GridState grid_;
    std::string screenResolutionText_;

    WindowTimer proberTimer_;         // resolution prober
    WindowTimer browsingPauseTimer_;  // end of the browsing pause
    WindowTimer blinkTimer_;          // add-button blink

    std::function<void(int)> installSelected_ = [](int) {};
    ViewerLink* viewer_ = nullptr;
    bool userBrowsing_ = false;
    bool asking_ = false;
    bool includeSubfolders_ = false;
    bool sortedByName_ = false;
    bool sortedByResolution_ = false;
    bool sortDescending_ = true;
    bool ascendingChecked_ = true;
    bool hoverName_ = false;
    bool hoverResolution_ = false;
    int selectionAnchor_ = 0;
    std::bitset<static_cast<std::size_t>(ListKey::Count)> keysDown_;  // pressed here, not yet released
    // On until start-up has read the working list file (or found none), so
    // that no failure before then lets an empty list be written over it.
    bool keepDefaultListFile_ = true;
    bool savingStopped_ = false;
};

}  // namespace ostrel
