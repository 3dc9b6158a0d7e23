#pragma once
// The main window's state and handlers: settings, working list, current entry
// and history, timers, tray, hotkeys. It knows no window handle; the window
// forwards messages here and implements MainView.
#include <cstdint>
#include <optional>
#include <string>

#include "app/Commands.h"
#include "app/MainView.h"
#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "app/StartMode.h"
#include "app/WindowTimer.h"
#include "changer/ChangeHistory.h"
#include "changer/Scheduling.h"
#include "list/Prober.h"
#include "list/WallpaperList.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Hotkeys.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"
#include "platform/Timers.h"
#include "platform/Tray.h"

namespace ostrel {

struct Services {
    Registry& registry;
    FileSystem& files;
    Desktop& desktop;
    Tray& tray;
    Hotkeys& hotkeys;
    SystemInfo& systemInfo;
    TimerService& timers;
    Clock& clock;
    Random& random;
    Dialogs& dialogs;
};

// Where the list grid stands; the window keeps it up to date.
struct GridState {
    int currentRow = 0;     // row of the grid's focus
    int selectionTop = 0;   // top row of the selected range
    int firstVisibleRow = 1;
    int heightPixels = 0;
};

enum class TrayMouse { LeftDown, RightDown, Other };

// The schedule as chosen in the options dialog.
struct ScheduleChoice {
    bool randomInterval = false;
    std::int32_t timeFromMinutes = 1;
    std::int32_t timeToMinutes = 60;
    std::int32_t intervalValue = 5;   // ignored in random mode
    std::int32_t intervalUnit = 2;    // 1 s, 2 min, 3 h
    bool dailyMode = false;
    std::uint8_t dailyHour = 1;
    std::uint8_t dailyMinute = 0;
    bool shuffle = false;
};

class MainController {
public:
    MainController(Services services, MainView& view);

    // ---- start and end ----
    // The creation sequence. Answers true when the program is to end at once
    // (change-and-exit start).
    bool FormCreate(StartMode mode);
    // The shutdown sequence; runs at most once.
    void FormDestroy();
    void FormClose();                       // title-bar close: hide to the tray
    void onMinimize();                      // SC_MINIMIZE: hide to the tray
    void onEndSession(bool sessionEnds);    // WM_ENDSESSION
    void onTaskbarCreated();                // Explorer restarted: re-add the icon

    // ---- input ----
    void onCommand(Command command);
    void onTimer(TimerId id);
    void onHotkey(std::uint32_t id);
    void onTrayMouse(TrayMouse mouse);
    // Grid selection moved by the user (row-selection handling).
    void plistSelectCell(int column, int row);

    // ---- operations ----
    void ChWall();              // Next
    void golast();              // Back
    void installSelected();     // Install the selected entry
    void SetWall();             // install the entry at currentIndex
    void gotoselected();
    void PlaybtnClick();
    void shufleBtnClick();
    void showHideToggle();
    void AcTiveDescTop();
    void Timer1Timer();
    void timeoutTimer();
    void ChinTimerTimer();
    void Timer2Timer();
    void TimerDelayTimer();
    void N2Click();             // save list
    void N3Click();             // load list
    void N4Click();             // clear list
    void exitCommand();
    // The schedule part of confirming the options: interval mode, daily mode
    // (stopping interval playback), countdown reset and the shuffle state.
    void applyScheduleOptions(const ScheduleChoice& choice);

    // ---- state the window reads ----
    const Settings& settings() const { return settings_; }
    Settings& mutableSettings() { return settings_; }
    const WallpaperList& list() const { return list_; }
    WallpaperList& mutableList() { return list_; }
    GridState& grid() { return grid_; }
    const std::string& dataFolder() const { return dataFolder_; }
    std::string defaultListPath() const { return dataFolder_ + "\\Default.tav"; }
    std::string wallpaperBitmapPath() const { return dataFolder_ + "\\Ostrel Wallpaper.bmp"; }
    const std::string& screenResolutionText() const { return screenResolutionText_; }
    bool windowShown() const { return windowShown_; }
    bool playing() const { return settings_.playing; }
    bool playButtonPressed() const { return playButtonPressed_; }
    bool autoDownloading() const { return autoDownloading_; }
    bool userBrowsing() const { return userBrowsing_; }
    bool hotkeyBusy() const { return hotkeyBusy_; }
    bool activeDesktop() const { return activeDesktop_; }
    const ChangeHistory& history() const { return history_; }
    const std::string& runStopCaption() const { return runStopCaption_; }
    const std::string& showHideCaption() const { return showHideCaption_; }
    TrayIcon trayIcon() const { return trayIcon_; }
    const std::string& trayTip() const { return trayTip_; }
    const WindowTimer& changeTimer() const { return timer1_; }
    const WindowTimer& dailyTimer() const { return chinTimer_; }
    const WindowTimer& proberTimer() const { return timer2_; }
    std::int32_t elapsedSeconds() const { return elapsedSeconds_; }

private:
    bool tryInstallCurrent();
    bool stepBack();
    void restartProber(int row);
    void saveDefaultList();
    void stopAllTimers();
    // Shows one error box; while one is up, further errors are not shown.
    void reportError(const std::string& textUtf8);
    void updateTray();
    void setCurrentIndex(std::int32_t row) { settings_.currentIndex = row; }
    std::int32_t currentIndex() const { return settings_.currentIndex; }

    Services s_;
    MainView& view_;
    SettingsStore store_;
    Settings settings_;
    WallpaperList list_;
    Prober prober_;
    ChangeHistory history_;
    LoadGate loadGate_;
    GridState grid_;

    WindowTimer timer1_;       // change timer
    WindowTimer timer2_;       // resolution prober
    WindowTimer timeout_;      // countdown
    WindowTimer chinTimer_;    // daily check
    WindowTimer timerDelay_;   // end of the browsing pause
    WindowTimer timer3_;       // add-button blink
    WindowTimer timerDownload_;

    std::string dataFolder_;
    std::string screenResolutionText_;
    std::string runStopCaption_ = "Запустить/остановить";
    std::string showHideCaption_ = "Развернуть/свернуть";
    std::string trayTip_ = "Ostrel Wallpapers";
    TrayIcon trayIcon_ = TrayIcon::Stopped;

    bool windowShown_ = true;
    bool hotkeyBusy_ = false;
    bool exitRequested_ = false;
    bool stopDownload_ = false;
    bool autoDownloading_ = false;
    bool userBrowsing_ = false;
    bool activeDesktop_ = false;
    bool playButtonPressed_ = false;
    bool filesRemoved_ = false;
    bool shutdownDone_ = false;
    bool errorBoxShown_ = false;
    std::string shownError_;
    std::string pendingError_;
    // The working list file exists but could not be read at start: no default
    // save may replace it until the user saves, loads or clears a list. On
    // until start-up has read the file (or found none).
    bool keepDefaultListFile_ = true;
    bool created_ = false;
    std::int32_t elapsedSeconds_ = 0;
    std::uint32_t tickCount_ = 0;
};

}  // namespace ostrel
