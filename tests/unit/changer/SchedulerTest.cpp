#include "../app/ControllerFixture.h"

namespace ostrel::testing {
namespace {

class Scheduler : public ControllerTest {
protected:
    void listOf(int n) { workingListOf(n); }
    std::size_t installs() const { return desktop.reloads.size(); }
};

TEST_F(Scheduler, DefaultsCountDownFromFiveMinutesAfterPlay) {
    start();
    EXPECT_FALSE(controller->settings().playing);
    controller->scheduler().PlaybtnClick();
    EXPECT_EQ(timers.interval(TimerId::Change), 300000u);
    advance(1000);
    EXPECT_EQ(tray.tip, "Ostrel Wallpapers - 4 мин. 59 сек");
    EXPECT_EQ(tray.icon, TrayIcon::Playing);
    advance(1000);
    EXPECT_EQ(tray.tip, "Ostrel Wallpapers - 4 мин. 58 сек");
    controller->scheduler().PlaybtnClick();
    EXPECT_EQ(tray.tip, "Ostrel Wallpapers");
    EXPECT_EQ(tray.icon, TrayIcon::Stopped);
    EXPECT_FALSE(timers.running(TimerId::Change));
    EXPECT_FALSE(timers.running(TimerId::Countdown));
    EXPECT_EQ(controller->runStopCaption(), "Запустить смену обоев");
}

TEST_F(Scheduler, TwentyFourHoursCountsDownFrom86399Seconds) {
    setting("secund", "3");
    setting("TimeInterval", "24");
    start();
    controller->scheduler().PlaybtnClick();
    advance(1000);
    EXPECT_EQ(tray.tip, "Ostrel Wallpapers - 23 час. 59 мин. 59 сек");
}

TEST_F(Scheduler, FirstTickOnlySamplesThenChangesAtModerateLoad) {
    listOf(3);
    setting("TimeInterval", "2");
    setting("secund", "1");
    setting("playstat", "1");
    start();
    advance(2000);
    EXPECT_EQ(installs(), 0u);
    advance(2000);
    EXPECT_EQ(installs(), 1u);
    systemInfo.setLoad(51);
    advance(2000);
    EXPECT_EQ(installs(), 1u);
    systemInfo.setLoad(50);
    advance(2000);
    EXPECT_EQ(installs(), 2u);
    systemInfo.failNext();
    advance(2000);
    EXPECT_EQ(installs(), 2u);
}

TEST_F(Scheduler, RandomWaitsLieInTheRange) {
    listOf(2);
    setting("TimeRandom", "1");
    setting("TimeFrom", "60000");
    setting("TimeTo", "120000");
    start();
    controller->scheduler().PlaybtnClick();
    // The first wait is the fixed interval; every tick then draws the next wait.
    EXPECT_EQ(timers.interval(TimerId::Change), 300000u);
    random.queued = {0, 59999};
    advance(300000);
    EXPECT_EQ(timers.interval(TimerId::Change), 60000u);
    advance(60000);
    EXPECT_EQ(timers.interval(TimerId::Change), 119999u);
    for (int i = 0; i < 50; ++i) {
        advance(timers.interval(TimerId::Change));
        EXPECT_GE(timers.interval(TimerId::Change), 60000u);
        EXPECT_LT(timers.interval(TimerId::Change), 120000u);
    }
}

TEST_F(Scheduler, ActiveDesktopIsCheckedOnTheTenthTickEvenWhenTheGateHoldsItBack) {
    listOf(2);
    setting("TimeInterval", "1");
    setting("secund", "1");
    setting("playstat", "1");
    start();
    desktop.activeDesktop = true;  // appears after start-up's own check
    systemInfo.setLoad(90);
    advance(10000);  // ten ticks, all held back
    EXPECT_EQ(desktop.shellNotifications, 0);
    systemInfo.setLoad(10);
    advance(1000);  // the eleventh passes: check first, then the change
    EXPECT_EQ(desktop.shellNotifications, 2);  // the check, and the refresh after installing
    EXPECT_TRUE(controller->changer().activeDesktop());
}

class Daily : public Scheduler {
protected:
    // Runs the clock from h:m:00 for the given seconds, moving the fake clock along.
    void runFrom(int h, int m, int seconds) {
        setting("InTimeCh", "1");
        setting("intime1", std::to_string(setHour));
        setting("intime2", std::to_string(setMinute));
        listOf(3);
        base = h * 3600 + m * 60;
        elapsedMs = 0;
        setClock();
        start();
        for (int i = 0; i < seconds; ++i) {
            timers.advance(1000, [this](TimerId id) { setClock(); controller->onTimer(id); });
            elapsedMs += 1000;
        }
    }
    void setClock() {
        int t = (base + static_cast<int>(elapsedMs / 1000)) % 86400;
        clock.time = {t / 3600, (t / 60) % 60, t % 60};
    }
    int setHour = 10, setMinute = 30;
    int base = 0;
    std::uint64_t elapsedMs = 0;
};

TEST_F(Daily, ConfirmedTwentyMinutesBeforeChangesOnceAtTheSetMinute) {
    runFrom(10, 10, 3 * 3600);
    EXPECT_EQ(installs(), 1u);
}

TEST_F(Daily, StartedInTheHourBeforePastTheSetMinuteStillChanges) {
    runFrom(9, 45, 2 * 3600);
    EXPECT_EQ(installs(), 1u);
}

TEST_F(Daily, MidnightIsReachedFromOneMinuteBefore) {
    setHour = 0;
    setMinute = 0;
    runFrom(23, 59, 3600);
    EXPECT_EQ(installs(), 1u);
}

TEST_F(Daily, ChangesOncePerDayOverTwoDays) {
    runFrom(11, 0, 2 * 86400);
    EXPECT_EQ(installs(), 2u);
}

TEST_F(Daily, PlayDoesNothingInDailyMode) {
    runFrom(3, 0, 1);
    controller->scheduler().PlaybtnClick();
    EXPECT_FALSE(view.playPressed);
    EXPECT_FALSE(timers.running(TimerId::Change));
}

TEST_F(Scheduler, StartHotkeyKeepsRunningAndStopHotkeyKeepsStopped) {
    start();
    controller->scheduler().PlaybtnClick();
    controller->onHotkey(FakeHotkeys::kStart);
    EXPECT_TRUE(controller->settings().playing);
    EXPECT_TRUE(timers.running(TimerId::Change));
    controller->onHotkey(FakeHotkeys::kStop);
    EXPECT_FALSE(controller->settings().playing);
    controller->onHotkey(FakeHotkeys::kStop);
    EXPECT_FALSE(controller->settings().playing);
    EXPECT_FALSE(timers.running(TimerId::Change));
}

TEST_F(Scheduler, AQueuedBurstOfNextHotkeysChangesOnce) {
    listOf(30);
    start();
    controller->mutableSettings().currentIndex = 1;
    deliverHotkeys(std::vector<std::uint32_t>(20, FakeHotkeys::kNext));
    EXPECT_EQ(installs(), 1u);
    EXPECT_EQ(current(), 2);
    EXPECT_FALSE(controller->hotkeyBusy());
    // The next burst is handled again, and start/stop inside a burst are never dropped.
    deliverHotkeys({FakeHotkeys::kNext, FakeHotkeys::kNext, FakeHotkeys::kStart, FakeHotkeys::kBack});
    EXPECT_EQ(installs(), 2u);
    EXPECT_EQ(current(), 3);
    EXPECT_TRUE(controller->settings().playing);
    deliverHotkeys({FakeHotkeys::kBack});
    EXPECT_EQ(current(), 2);
}

TEST_F(Scheduler, TrayMenuCaptionsFollowTheState) {
    start();
    EXPECT_EQ(controller->showHideCaption(), "Развернуть/свернуть");
    controller->onTrayMouse(TrayMouse::RightDown);
    EXPECT_EQ(controller->showHideCaption(), "Свернуть");
    controller->onTrayMouse(TrayMouse::LeftDown);
    controller->onTrayMouse(TrayMouse::RightDown);
    EXPECT_EQ(controller->showHideCaption(), "Развернуть");
    EXPECT_EQ(controller->runStopCaption(), "Запустить смену обоев");
}

}  // namespace
}  // namespace ostrel::testing

namespace ostrel::testing {
namespace {

TEST_F(Scheduler, ApplyingOptionsSwitchesModes) {
    start();
    controller->scheduler().PlaybtnClick();
    ScheduleChoice random;
    random.randomInterval = true;
    random.timeFromMinutes = 10;
    random.timeToMinutes = 11;
    random.shuffle = true;
    controller->scheduler().applyScheduleOptions(random);
    EXPECT_EQ(timers.interval(TimerId::Change), 600000u);
    EXPECT_EQ(controller->settings().timeToMs, 660000);
    EXPECT_TRUE(controller->settings().shuffle);
    EXPECT_TRUE(view.shufflePressed);

    ScheduleChoice fixed;
    fixed.intervalValue = 3;
    fixed.intervalUnit = 1;
    controller->scheduler().applyScheduleOptions(fixed);
    EXPECT_EQ(timers.interval(TimerId::Change), 3000u);
    EXPECT_FALSE(controller->settings().shuffle);
    EXPECT_TRUE(controller->settings().playing);

    // Choosing the daily mode stops interval playback, then checks the clock at once.
    clock.time = {10, 10, 0};
    ScheduleChoice daily;
    daily.dailyMode = true;
    daily.dailyHour = 10;
    daily.dailyMinute = 30;
    controller->scheduler().applyScheduleOptions(daily);
    EXPECT_FALSE(controller->settings().playing);
    EXPECT_FALSE(timers.running(TimerId::Change));
    EXPECT_EQ(timers.interval(TimerId::Daily), kDailyMinuteMs);

    controller->scheduler().applyScheduleOptions(fixed);
    EXPECT_FALSE(timers.running(TimerId::Daily));
    EXPECT_FALSE(controller->settings().playing);  // leaving the daily mode does not restart playback
}

}  // namespace
}  // namespace ostrel::testing
