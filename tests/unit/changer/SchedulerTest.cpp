#include "../app/ControllerFixture.h"

namespace ostrel::testing {
namespace {

struct Scheduler : ControllerTest {
    std::size_t installs() const { return desktop.reloads.size(); }
};

TEST_F(Scheduler, PlayCountsDownFromFiveMinutesByDefaultAndStopPutsThePlainTipBack) {
    start();
    EXPECT_FALSE(controller->settings().schedule.playing);
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
    EXPECT_FALSE(timers.running(TimerId::Change) || timers.running(TimerId::Countdown));
    EXPECT_EQ(controller->runStopCaption(), "Запустить смену обоев");
}

TEST_F(Scheduler, TheStartAndStopHotkeysDoNotToggle) {
    start();
    for (auto [hotkey, playing] : {std::pair{FakeHotkeys::kStop, false},
                                   {FakeHotkeys::kStart, true},
                                   {FakeHotkeys::kStart, true},
                                   {FakeHotkeys::kStop, false}}) {
        controller->onHotkey(hotkey);
        EXPECT_EQ(controller->settings().schedule.playing, playing);
        EXPECT_EQ(timers.running(TimerId::Change), playing);
    }
}

// Confirming the options unchanged and the start hotkey while changing restart
// neither the change timer nor the countdown in the tip.
TEST_F(Scheduler, ConfirmingTheOptionsOrStartingAgainLeavesTheCountdownRunning) {
    workingListOf(3);
    playEvery(10);
    start();
    advance(26000);  // changed at 20 s (the tick at 10 s only sampled the load)
    ASSERT_EQ(installs(), 1u);
    ASSERT_EQ(tray.tip, "Ostrel Wallpapers - 3 сек.");
    controller->onCommand(Command::ScheduleOptions);
    ASSERT_TRUE(controller->options().confirm());
    controller->onHotkey(FakeHotkeys::kStart);
    advance(1000);
    EXPECT_EQ(tray.tip, "Ostrel Wallpapers - 2 сек.");
    advance(3000);
    EXPECT_EQ(installs(), 2u);  // 10 s after the last change
}

// However the interval came to be, the changing goes on and the tip counts
// down from a real wait.
struct HeldInterval {
    const char *interval, *unit;  // as stored
    void (*typed)(OptionsForm&);  // then typed into the options and confirmed, or nullptr
    std::uint32_t waitMs;
};

class Intervals : public Scheduler, public ::testing::WithParamInterface<HeldInterval> {};

TEST_P(Intervals, KeepTheChangeTimerRunningForAtLeastASecond) {
    const HeldInterval& c = GetParam();
    setting("TimeInterval", c.interval);
    setting("secund", c.unit);
    setting("playstat", "1");
    startWithListOf(2);
    if (c.typed) {
        controller->onCommand(Command::ScheduleOptions);
        c.typed(controller->options().form());
        // A second "ОК" as the user gives it after a field was set right.
        EXPECT_TRUE(controller->options().confirm() || controller->options().confirm());
    }
    EXPECT_TRUE(timers.running(TimerId::Change));
    EXPECT_EQ(timers.interval(TimerId::Change), c.waitMs);
    advance(310000);
    EXPECT_GE(installs(), 1u);
    EXPECT_EQ(tray.tip.find("- -"), std::string::npos) << tray.tip;
}

INSTANTIATE_TEST_SUITE_P(HandEditedOrTyped, Intervals,
                         ::testing::Values(HeldInterval{"0", "1", nullptr, 1000},
                                           HeldInterval{"-5", "2", nullptr, 60000},
                                           // Pasted past the key filter: turns into "1", as "0" does.
                                           HeldInterval{"5", "1", [](OptionsForm& f) { f.interval = "-5"; }, 1000},
                                           HeldInterval{"5", "2",
                                                        [](OptionsForm& f) {
                                                            f.fixedMode = false, f.randomMode = true, f.timeFrom = "0",
                                                            f.timeTo = "5";
                                                        },
                                                        1000}));

TEST_F(Scheduler, FirstTickOnlySamplesThenChangesAtModerateLoad) {
    workingListOf(3);
    playEvery(2);
    start();
    const std::pair<int, std::size_t> ticks[] = {{10, 0}, {10, 1}, {51, 1}, {50, 2}, {-1, 2}};  // -1: the query fails
    for (const auto& [load, expected] : ticks) {
        if (load < 0)
            systemInfo.failNext();
        else
            systemInfo.setLoad(load);
        advance(2000);
        EXPECT_EQ(installs(), expected) << "at " << load << " %";
    }
}

TEST_F(Scheduler, RandomWaitsLieInTheRange) {
    workingListOf(2);
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
}

TEST_F(Scheduler, ActiveDesktopIsCheckedOnTheTenthTickEvenWhenTheGateHoldsItBack) {
    workingListOf(2);
    playEvery(1);
    start();
    desktop.activeDesktop = true;  // appears after start-up's own check
    systemInfo.setLoad(90);
    advance(10000);  // ten ticks, all held back
    EXPECT_EQ(desktop.shellNotifications, 0);
    systemInfo.setLoad(10);
    advance(1000);                             // the eleventh passes: check first, then the change
    EXPECT_EQ(desktop.shellNotifications, 2);  // the check, and the refresh after installing
    EXPECT_TRUE(controller->changer().activeDesktop());
}

struct DailyCase {
    int hour, minute, setHour, setMinute, seconds;
    std::size_t installs;
};

class Daily : public Scheduler, public ::testing::WithParamInterface<DailyCase> {};

// Runs the clock from h:m:00 of the 1st for the given seconds, moving the fake clock along.
TEST_P(Daily, ChangesOnceADayAtTheSetMinuteAndPlayDoesNothing) {
    const DailyCase& c = GetParam();
    setting("InTimeCh", "1");
    setting("intime1", std::to_string(c.setHour));
    setting("intime2", std::to_string(c.setMinute));
    workingListOf(3);
    auto setClock = [&](int elapsed) {
        const int t = c.hour * 3600 + c.minute * 60 + elapsed;
        clock.time = {t / 3600 % 24, (t / 60) % 60, t % 60, 2026, 1, 1 + t / 86400};
    };
    setClock(0);
    start();
    for (int i = 0; i < c.seconds; ++i)
        timers.advance(1000, [&](TimerId id) {
            setClock(i);
            controller->onTimer(id);
        });
    EXPECT_EQ(installs(), c.installs);
    controller->scheduler().PlaybtnClick();
    EXPECT_FALSE(view.playPressed);
    EXPECT_FALSE(timers.running(TimerId::Change));
}

INSTANTIATE_TEST_SUITE_P(Clocks, Daily,
                         ::testing::Values(DailyCase{10, 10, 10, 30, 3 * 3600, 1},  // confirmed 20 minutes before
                                           DailyCase{9, 45, 10, 30, 2 * 3600, 1},   // the hour before, past the minute
                                           DailyCase{23, 59, 0, 0, 3600, 1},        // midnight from a minute before
                                           DailyCase{11, 0, 10, 30, 2 * 86400, 2},  // once a day
                                           DailyCase{10, 30, 10, 30, 60, 1}));      // started in the set minute

TEST_F(Scheduler, ConfirmingTheDailyTimeInItsMinuteAfterTheChangeChangesNoMore) {
    setting("InTimeCh", "1");
    setting("intime1", "10");
    setting("intime2", "30");
    workingListOf(3);
    clock.time = {10, 30, 5};
    start();
    EXPECT_EQ(installs(), 1u);
    clock.time = {10, 30, 40};
    controller->onCommand(Command::ScheduleOptions);
    EXPECT_TRUE(controller->options().confirm());
    EXPECT_EQ(installs(), 1u);
}

TEST_F(Scheduler, AQueuedBurstOfNextHotkeysChangesOnce) {
    startWithListOf(30);
    controller->mutableSettings().list.currentIndex = 1;
    deliverHotkeys(std::vector<std::uint32_t>(20, FakeHotkeys::kNext));
    EXPECT_EQ(installs(), 1u);
    EXPECT_EQ(current(), 2);
    EXPECT_FALSE(controller->hotkeyBusy());
    // The next burst is handled again, and start/stop inside a burst are never dropped.
    deliverHotkeys({FakeHotkeys::kNext, FakeHotkeys::kNext, FakeHotkeys::kStart, FakeHotkeys::kBack});
    EXPECT_EQ(installs(), 2u);
    EXPECT_EQ(current(), 3);
    EXPECT_TRUE(controller->settings().schedule.playing);
    deliverHotkeys({FakeHotkeys::kBack});
    EXPECT_EQ(current(), 2);
}

}  // namespace
}  // namespace ostrel::testing
