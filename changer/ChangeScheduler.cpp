#include "changer/ChangeScheduler.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "base/ProgramName.h"

namespace ostrel {
namespace {

// The change timer's interval until the settings give it theirs.
constexpr std::uint32_t kChangeTimerStartMs = 5000;
// A tick finding the processors busier than this (per cent) changes nothing.
constexpr int kMostLoadForChange = 50;
// Every this many ticks the Active Desktop state is looked at again.
constexpr int kTicksPerActiveDesktopCheck = 10;

}  // namespace

ChangeScheduler::ChangeScheduler(SchedulerServices services, ScheduleSettings& settings, ChangerView& view,
                                 WallpaperChanger& changer, ListFollowing list)
    : s_(services),
      settings_(settings),
      view_(view),
      changer_(changer),
      list_(std::move(list)),
      changeTimer_(services.timers, TimerId::Change, kChangeTimerStartMs, false),
      countdownTimer_(services.timers, TimerId::Countdown, 1000, false),
      dailyTimer_(services.timers, TimerId::Daily, 1000, false),
      trayTip_(kProgramTitle) {}

bool ChangeScheduler::onTimer(TimerId id) {
    switch (id) {
    case TimerId::Change: changeTick(); return true;
    case TimerId::Countdown: countdownTick(); return true;
    case TimerId::Daily: dailyTick(); return true;
    default: return false;
    }
}

void ChangeScheduler::addTrayIcon() {
    trayTip_ = kProgramTitle;
    s_.tray.add(trayIcon_, trayTip_);
}

void ChangeScheduler::startDailyCheck() {
    if (!settings_.dailyMode) return;
    // Run once the working list is loaded: a check in the set minute with
    // nothing to change would wait an hour and miss the day.
    dailyTimer_.setEnabled(true);
    dailyTick();
}

void ChangeScheduler::applyFixedInterval() {
    if (auto ms = fixedIntervalMs(settings_.intervalValue, settings_.intervalUnit)) setChangeWait(*ms);
}

void ChangeScheduler::setChangeWait(std::uint32_t ms) {
    // The countdown in the tip follows the change timer: it starts again when
    // the timer does, and only then.
    if (changeTimer_.setInterval(ms)) elapsedSeconds_ = 0;
}

void ChangeScheduler::start() {
    settings_.playing = false;
    PlaybtnClick();
}

void ChangeScheduler::stop() {
    settings_.playing = true;
    PlaybtnClick();
}

void ChangeScheduler::stopTimers() {
    for (WindowTimer* timer : {&changeTimer_, &countdownTimer_, &dailyTimer_}) timer->setEnabled(false);
}

void ChangeScheduler::PlaybtnClick() {
    if (settings_.dailyMode) {
        // The daily change runs instead of interval playback, which stays off;
        // so the saved play state stays "stopped" from run to run, and play
        // starts from a stopped state once the daily mode is left.
        settings_.playing = false;
        playButtonPressed_ = false;
        view_.setPlayButtonPressed(false);
        return;
    }
    settings_.playing = !settings_.playing;
    playButtonPressed_ = settings_.playing;
    view_.setPlayButtonPressed(settings_.playing);
    if (settings_.playing) {
        if (changeTimer_.setEnabled(true)) elapsedSeconds_ = 0;  // the start hotkey while changing: goes on
        countdownTimer_.setEnabled(true);
        runStopCaption_ = "Остановить смену обоев";
        trayIcon_ = TrayIcon::Playing;
    } else {
        changeTimer_.setEnabled(false);
        countdownTimer_.setEnabled(false);
        runStopCaption_ = "Запустить смену обоев";
        trayIcon_ = TrayIcon::Stopped;
        trayTip_ = kProgramTitle;
    }
    updateTray();
}

void ChangeScheduler::changeTick() {
    ++tickCount_;
    if (settings_.randomInterval) {
        std::int64_t from = settings_.timeFromMs;
        std::int64_t span = static_cast<std::int64_t>(settings_.timeToMs) - from;
        std::int64_t wait =
            from + (span > 0 ? s_.random.below(static_cast<std::int32_t>(std::min<std::int64_t>(span, INT32_MAX))) : 0);
        // A range from 0 minutes, or edited by hand, must not make the timer spin or stop.
        changeTimer_.setInterval(changeWaitMs(wait));
    }
    elapsedSeconds_ = 0;
    std::optional<int> load = loadGate_.Proc(s_.systemInfo.sample());
    if (!load || *load > kMostLoadForChange) return;
    if (tickCount_ >= kTicksPerActiveDesktopCheck) {
        tickCount_ = 0;
        changer_.AcTiveDescTop();
    }
    changer_.ChWall();
    if (!list_.userBrowsing()) list_.gotoselected();
}

void ChangeScheduler::countdownTick() {
    ++elapsedSeconds_;
    if (static_cast<std::int64_t>(elapsedSeconds_) * 1000 == changeTimer_.interval()) elapsedSeconds_ = 0;
    if (playButtonPressed_) {
        trayTip_ = std::string(kProgramTitle) + " - " + timetoch(changeTimer_.interval(), elapsedSeconds_);
        updateTray();
    }
}

void ChangeScheduler::dailyTick() {
    LocalTime now = s_.clock.now();
    if (now.hour == settings_.dailyHour && now.minute == settings_.dailyMinute) {
        // Once a calendar day: a check again within the minute (the options
        // confirmed after the change) changes nothing.
        const std::array today{now.year, now.month, now.day};
        if (lastDailyChange_ != today) {
            lastDailyChange_ = today;
            changer_.ChWall();
        }
        dailyTimer_.setInterval(kDailyHourMs);
        return;
    }
    dailyTimer_.setInterval(dailyCheckDelayMs(now.hour, now.minute, settings_.dailyHour, settings_.dailyMinute));
}

void ChangeScheduler::applyChangeInterval() {
    if (settings_.randomInterval)
        setChangeWait(changeWaitMs(settings_.timeFromMs));
    else
        applyFixedInterval();
}

void ChangeScheduler::setDailyMode(bool daily) {
    if (daily && settings_.playing) PlaybtnClick();  // interval playback stops before the daily mode begins
    settings_.dailyMode = daily;
}

void ChangeScheduler::applyDailyTime(std::uint8_t hour, std::uint8_t minute) {
    settings_.dailyHour = hour;
    settings_.dailyMinute = minute;
    dailyTimer_.setEnabled(true);
    dailyTick();
}

void ChangeScheduler::updateTray() { s_.tray.modify(trayIcon_, trayTip_); }

}  // namespace ostrel
