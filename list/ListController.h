#pragma once
// The working list as the main window holds it: the list itself, the grid's
// position in it, the row-selection handling, the background resolution
// prober, and the list commands (save, load, clear) with the working list
// file "Default.tav".
#include <cstdint>
#include <string>

#include "app/Settings.h"
#include "app/WindowTimer.h"
#include "list/ListView.h"
#include "list/Prober.h"
#include "list/WallpaperList.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Timers.h"

namespace ostrel {

// Where the list grid stands; the window keeps it up to date.
struct GridState {
    int currentRow = 0;     // row of the grid's focus
    int selectionTop = 0;   // top row of the selected range
    int firstVisibleRow = 1;
    int heightPixels = 0;
};

class ListController {
public:
    // The settings and the data folder belong to the caller and outlive this.
    ListController(FileSystem& files, Dialogs& dialogs, TimerService& timers, Settings& settings, ListView& view,
                   const std::string& dataFolder);

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
    void Timer2Timer();
    void TimerDelayTimer();
    void plistSelectCell(int column, int row);
    void gotoselected();
    void N2Click();  // save list
    void N3Click();  // load list
    void N4Click();  // clear list
    // Writes the working list file, unless it is being kept.
    void saveDefaultList();

    // ---- state ----
    const WallpaperList& list() const { return list_; }
    WallpaperList& mutableList() { return list_; }
    GridState& grid() { return grid_; }
    bool userBrowsing() const { return userBrowsing_; }
    const std::string& screenResolutionText() const { return screenResolutionText_; }
    std::string defaultListPath() const { return dataFolder_ + "\\Default.tav"; }
    const WindowTimer& proberTimer() const { return timer2_; }

private:
    void restartProber(int row);
    std::int32_t currentIndex() const { return settings_.currentIndex; }

    FileSystem& files_;
    Dialogs& dialogs_;
    Settings& settings_;
    ListView& view_;
    const std::string& dataFolder_;
    WallpaperList list_;
    Prober prober_;
    GridState grid_;
    std::string screenResolutionText_;

    WindowTimer timer2_;      // resolution prober
    WindowTimer timerDelay_;  // end of the browsing pause
    WindowTimer timer3_;      // add-button blink

    bool userBrowsing_ = false;
    // On until start-up has read the working list file (or found none), so
    // that no failure before then lets an empty list be written over it.
    bool keepDefaultListFile_ = true;
};

}  // namespace ostrel
