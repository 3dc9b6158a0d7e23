#pragma once
// Changing the wallpaper by itself: the play toggle with its button, caption
// and tray icon, the change timer behind the processor-load gate, the
// countdown in the tray tip and the daily change.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "changer/ScheduleSettings.h"
#include "platform/WindowTimer.h"
#include "changer/ChangerView.h"
#include "changer/Scheduling.h"
#include "changer/WallpaperChanger.h"
#include "platform/Random.h"
#include "platform/SystemInfo.h"
#include "platform/Timers.h"
#include "platform/Tray.h"

namespace ostrel {

struct SchedulerServices {
    TimerService& timers;
    SystemInfo& systemInfo;
    Clock& clock;
    Random& random;
    Tray& tray;
};

// What the scheduler needs of the list: whether the user is browsing it, and
// scrolling it to the current entry.
struct ListFollowing {
    std::function<bool()> userBrowsing;
    std::function<void()> gotoselected;
};

class ChangeScheduler {
public:
    ChangeScheduler(SchedulerServices services, ScheduleSettings& settings, ChangerView& view,
                    WallpaperChanger& changer, ListFollowing list);

    void PlaybtnClick();
    void changeTick();
    void countdownTick();
    void dailyTick();
    // True when the timer is one of the scheduler's and was handled.
    bool onTimer(TimerId id);

    // Start-up: the daily check when daily mode is on (once the working list
    // is loaded), and the fixed interval.
    void startDailyCheck();
    void applyFixedInterval();
    // The start and stop hotkeys: start keeps running, stop keeps stopped.
    void start();
    void stop();
    // The schedule steps of confirming the options, called in the options' order.
    // The change timer's interval from the settings: the lower bound of the
    // random range, or the fixed interval. The countdown restarts only when
    // the interval changes.
    void applyChangeInterval();
    // Entering the daily mode stops interval playback first.
    void setDailyMode(bool daily);
    // The daily change's time of day; the clock is checked at once.
    void applyDailyTime(std::uint8_t hour, std::uint8_t minute);
    void stopDailyCheck() { dailyTimer_.setEnabled(false); }
    void stopTimers();

    const std::string& runStopCaption() const { return runStopCaption_; }
    // The icon with the plain tip, for adding it anew (at start, after Explorer restarts).
    void addTrayIcon();
    const WindowTimer& changeTimer() const { return changeTimer_; }
    std::int32_t elapsedSeconds() const { return elapsedSeconds_; }

private:
    void updateTray();
    void setChangeWait(std::uint32_t ms);

    SchedulerServices s_;
    ScheduleSettings& settings_;
    ChangerView& view_;
    WallpaperChanger& changer_;
    ListFollowing list_;
    LoadGate loadGate_;

    WindowTimer changeTimer_;
    WindowTimer countdownTimer_;  // the tray tip's seconds
    WindowTimer dailyTimer_;      // the daily change's minute check

    std::string runStopCaption_ = "Запустить/остановить";
    std::string trayTip_;
    TrayIcon trayIcon_ = TrayIcon::Stopped;
    bool playButtonPressed_ = false;
    std::int32_t elapsedSeconds_ = 0;
    std::uint32_t tickCount_ = 0;
    std::optional<std::array<int, 3>> lastDailyChange_;  // year, month, day
};

}  // namespace ostrel
