#include "app/Autorun.h"

#include <functional>

#include "unit/app/ControllerFixture.h"

namespace ostrel::testing {
namespace {

constexpr const char* kProgram = "C:\\Program Files\\Ostrel Wallpapers\\OstrelWallpapers.exe";

struct Options : ControllerTest {
    Options() { registry.createKey(RegistryRoot::LocalMachine, kRunKey); }
    void open(Command command = Command::Options) { openOptions(command); }
    void startAndOpen() { start(), open(); }
    OptionsForm& form() { return options().form(); }
    std::optional<std::string> autorun(RegistryRoot root) const {
        return registry.readString(root, kRunKey, kAutorunValue);
    }
    void randomRange(const char* from, const char* to) {
        chooseMode(&OptionsForm::randomMode);
        form().timeFrom = from, form().timeTo = to;
    }
};

TEST_F(Options, OpensOnItsPageFilledFromTheSettings) {
    setting("TimeRandom", "1");
    setting("InTimeCh", "1");  // the random mode wins when both are set
    setting("TimeFrom", "90000");
    setting("TimeTo", "150000");
    setting("intime1", "30");  // no such hour in the list
    setting("intime2", "25");
    setting("prop", "1");
    setting("secund", "3");
    setting("onwinload", "1");
    setting("loadnew", "1");
    setting("addvlist", "0");
    start();
    open(Command::ScheduleOptions);
    const OptionsForm& shown = optionsView.form;
    EXPECT_TRUE(shown.randomMode);
    EXPECT_FALSE(shown.dailyMode || shown.fixedMode);
    EXPECT_TRUE(shown.rangeFieldsEnabled);
    EXPECT_FALSE(shown.intervalFieldsEnabled || shown.dailyFieldsEnabled);
    EXPECT_EQ(shown.timeFrom, "2");  // 1.5 and 2.5 minutes, halves to even
    EXPECT_EQ(shown.timeTo, "2");
    EXPECT_EQ(shown.dailyHourItem, -1);
    EXPECT_EQ(shown.dailyMinuteItem, 2);
    EXPECT_EQ(shown.placementItem, 2);
    EXPECT_EQ(shown.intervalUnitItem, 2);
    EXPECT_TRUE(shown.autorun && shown.autorunChangeAndExitEnabled);
    EXPECT_FALSE(shown.addToList);
    EXPECT_TRUE(shown.autoDownload);
}

TEST_F(Options, ARandomRangeIsStoredInMilliseconds) {
    startAndOpen();
    randomRange("10", "11");
    form().interval = "9";  // not read in the random mode
    EXPECT_TRUE(options().confirm());
    EXPECT_FALSE(optionsView.shown);
    EXPECT_EQ(stored("TimeRandom"), "1");
    EXPECT_EQ(stored("TimeFrom"), "600000");
    EXPECT_EQ(stored("TimeTo"), "660000");
    EXPECT_EQ(stored("TimeInterval"), "5");
    EXPECT_EQ(controller->scheduler().changeTimer().interval(), 600000u);
}

TEST_F(Options, AZeroIntervalTurnsToOneAndTheSecondOkAppliesIt) {
    startAndOpen();
    form().interval = "00";
    form().intervalUnitItem = 0;
    form().scrollRows = "0";  // turns to "1" without stopping the confirmation
    EXPECT_FALSE(options().confirm());
    EXPECT_EQ(optionsView.form.interval, "1");
    EXPECT_TRUE(optionsView.shown);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(options().confirm());
    EXPECT_EQ(stored("TimeInterval"), "1");
    EXPECT_EQ(stored("secund"), "1");
    EXPECT_EQ(stored("kolprokr"), "1");
    EXPECT_EQ(controller->scheduler().changeTimer().interval(), 1000u);
}

TEST_F(Options, PlacementWheelRowsDownloadFolderAndViewerModeAreApplied) {
    setting("downfoad", "D:\\Pictures\\New\\");
    startAndOpen();
    form().placementItem = 2;
    form().scrollRows = "300";  // more than a byte holds
    form().downloadFolder = "";
    form().viewKeepSize = false;
    form().viewProportional = true;
    form().addToList = false;
    EXPECT_TRUE(options().confirm());
    EXPECT_EQ(stored("where"), "0");
    EXPECT_EQ(stored("prop"), "1");
    EXPECT_EQ(stored("kolprokr"), "255");
    EXPECT_EQ(stored("downfoad"), "D:\\Pictures\\New\\");  // an emptied field keeps the folder
    EXPECT_EQ(stored("addvlist"), "0");
    EXPECT_TRUE(controller->viewer().display().stretch);
    EXPECT_TRUE(controller->viewer().display().proportional);

    open();
    EXPECT_EQ(optionsView.form.placementItem, 2);
    form().downloadFolder = "E:\\Walls";
    form().placementItem = 1;
    EXPECT_TRUE(options().confirm());
    EXPECT_EQ(stored("downfoad"), "E:\\Walls\\");
    EXPECT_EQ(stored("where"), "2");
    EXPECT_EQ(stored("prop"), "0");

    // 100 characters and the final "\" are kept (one more is refused, below).
    open();
    form().downloadFolder = "E:\\" + std::string(97, 'x');
    EXPECT_TRUE(options().confirm());
    EXPECT_EQ(stored("downfoad"), "E:\\" + std::string(97, 'x') + "\\");
}

TEST_F(Options, ALongDerivedDownloadFolderIsKeptWhole) {
    // The default folder of a long Documents path may pass the limit; it is
    // the program's own, so "ОК" keeps it as it is.
    const std::string deep = temp.path() + "/" + std::string(90, 'd');
    registry.setShellFolder("Personal", deep);
    startAndOpen();
    EXPECT_TRUE(options().confirm());
    EXPECT_EQ(stored("downfoad"), deep + "\\Ostrel Wallpapers\\walls\\");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Options, AutorunIsWrittenWhereItCanBeAndDeletedFromBoth) {
    registry.set(RegistryRoot::CurrentUser, kRunKey, kAutorunValue, "old");  // one entry is enough
    startAndOpen();
    form().autorun = form().autorunChangeAndExit = true;
    EXPECT_TRUE(options().confirm());
    EXPECT_EQ(autorun(RegistryRoot::LocalMachine), std::string(kProgram) + " -a-");
    EXPECT_EQ(autorun(RegistryRoot::CurrentUser), std::nullopt);

    // The machine's key is read-only for a standard user: the user's key takes it.
    registry.deleteKey(RegistryRoot::LocalMachine, kRunKey);
    registry.createKey(RegistryRoot::LocalMachine, kRunKey);
    registry.readOnlyKeys.insert(FakeRegistry::keyId(RegistryRoot::LocalMachine, kRunKey));
    open();
    form().autorunChangeAndExit = false;
    EXPECT_TRUE(options().confirm());
    EXPECT_EQ(autorun(RegistryRoot::CurrentUser), std::string(kProgram) + " -");
    EXPECT_TRUE(dialogs.messages.empty());

    registry.readOnlyKeys.clear();
    registry.set(RegistryRoot::LocalMachine, kRunKey, kAutorunValue, "old");
    open();
    form().autorun = false;
    EXPECT_TRUE(options().confirm());
    EXPECT_EQ(autorun(RegistryRoot::LocalMachine), std::nullopt);
    EXPECT_EQ(autorun(RegistryRoot::CurrentUser), std::nullopt);
}

TEST_F(Options, AFailedAutorunWriteStopsTheApplyUnsaved) {
    start();
    registry.readOnlyKeys = {FakeRegistry::keyId(RegistryRoot::LocalMachine, kRunKey),
                             FakeRegistry::keyId(RegistryRoot::CurrentUser, kRunKey)};
    open();
    form().autorun = true;
    form().autoDownload = true;  // before the autorun step: applied
    form().scrollRows = "7";     // after it: not
    EXPECT_TRUE(options().confirm());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("«Ostrel Wallpapers»"), std::string::npos);
    EXPECT_FALSE(controller->settings().schedule.autorunEnabled);
    EXPECT_TRUE(controller->settings().download.loadnew);
    EXPECT_TRUE(timers.running(TimerId::Download));
    EXPECT_EQ(controller->settings().list.kolprokr, 1);
    EXPECT_EQ(stored("loadnew"), "<absent>");
}

TEST_F(Options, AProgramPathTheRunValueCannotHoldIsReportedAndNothingWritten) {
    programPath.reset();  // outside the ANSI code page, with no short form
    rebuild();
    startAndOpen();
    form().autorun = true;
    EXPECT_TRUE(options().confirm());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("автозапуск не записан"), std::string::npos);
    EXPECT_EQ(autorun(RegistryRoot::LocalMachine), std::nullopt);
    EXPECT_EQ(autorun(RegistryRoot::CurrentUser), std::nullopt);
    EXPECT_FALSE(controller->settings().schedule.autorunEnabled);
    EXPECT_EQ(stored("onwinload"), "<absent>");
}

// A form "ОК" cannot take: the user is told, the dialog stays up, and
// nothing is applied or saved.
struct Refusal {
    const char* name;
    std::function<void(Options&)> edit;
    const char* told;  // the message, or a part of it
    friend void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }
};

struct RefusedForm : Options, ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedForm, IsToldAndNothingIsApplied) {
    startAndOpen();
    GetParam().edit(*this);
    EXPECT_FALSE(options().confirm());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find(GetParam().told), std::string::npos) << dialogs.messages[0];
    EXPECT_TRUE(optionsView.shown);
    EXPECT_EQ(stored("TimeInterval"), "<absent>");
    EXPECT_EQ(stored("TimeRandom"), "<absent>");
    EXPECT_EQ(stored("downfoad"), "<absent>");
}

INSTANTIATE_TEST_SUITE_P(
    Options, RefusedForm,
    ::testing::Values(
        Refusal{"ARangeThatDoesNotGrow", [](Options& o) { o.randomRange("10", "10"); }, "Неправильный интервал"},
        // A field that is no number stops at the field that reads it; the daily
        // hour is read even in another mode.
        Refusal{"NoNumberAtTheRangesStart", [](Options& o) { o.randomRange("", "10"); }, "«от»"},
        Refusal{"NoDailyHourInTheFixedMode", [](Options& o) { o.form().dailyHourItem = -1; }, "«час»"},
        Refusal{"NoDailyMinute", [](Options& o) { o.chooseDailyAtHalfPastTen(), o.form().dailyMinuteItem = -1; },
                "Неправильный задано время"},
        // Refused rather than cut into another folder.
        Refusal{"ADownloadFolderPastTheLimit",
                [](Options& o) { o.form().downloadFolder = "E:\\" + std::string(98, 'x'); }, "длиннее"}),
    [](const auto& info) { return info.param.name; });

struct DailyOptions : Options {
    // Changing every 5 s, then the daily mode at 10:30 confirmed at 10:29.
    void chooseDailyWhileChanging() {
        workingListOf(3);
        playEvery(5);
        start();
        ASSERT_TRUE(timers.running(TimerId::Change));
        open();
        chooseDailyAtHalfPastTen();
        clock.time = {10, 29, 0};
        ASSERT_TRUE(options().confirm());
    }
};

TEST_F(DailyOptions, StopIntervalChangingAndCheckTheClockAtOnce) {
    chooseDailyWhileChanging();
    EXPECT_TRUE(optionsView.form.dailyFieldsEnabled);
    EXPECT_FALSE(optionsView.form.intervalFieldsEnabled || optionsView.form.rangeFieldsEnabled);
    EXPECT_EQ(timers.interval(TimerId::Daily), 3000u);  // the clock was checked at once: the minute is next
    EXPECT_FALSE(timers.running(TimerId::Change));
    EXPECT_FALSE(view.playPressed);
    EXPECT_EQ(stored("InTimeCh"), "1");
    EXPECT_EQ(stored("intime1"), "10");
    EXPECT_EQ(stored("intime2"), "30");
}

TEST_F(DailyOptions, KeepChangingStoppedFromRunToRunAndPlayStartsItAfterThem) {
    chooseDailyWhileChanging();
    const std::string saved = stored("playstat");
    for (int run = 0; run < 2; ++run) {
        controller->FormDestroy();
        rebuild();
        start();
        EXPECT_EQ(stored("playstat"), saved);
    }
    open();
    chooseMode(&OptionsForm::fixedMode);
    EXPECT_TRUE(options().confirm());
    EXPECT_FALSE(timers.running(TimerId::Daily));
    EXPECT_FALSE(controller->settings().schedule.playing);
    controller->onCommand(Command::PlayToggle);  // play starts from stopped
    EXPECT_TRUE(controller->settings().schedule.playing);
    EXPECT_TRUE(timers.running(TimerId::Change));
}

TEST_F(Options, ShuffleViewModeAndProxyFollowTheControls) {
    startAndOpen();
    EXPECT_FALSE(optionsView.form.viewFitChoiceEnabled);
    form().viewKeepSize = false;
    options().onViewModeClicked();
    EXPECT_TRUE(optionsView.form.viewFitChoiceEnabled);

    form().useProxy = true;
    form().proxyHost = "10.0.0.1";
    options().onProxyChanged();
    EXPECT_TRUE(optionsView.form.proxyFieldsEnabled);
    EXPECT_EQ(controller->proxy().get(), "10.0.0.1:3128");
    form().useProxy = false;
    options().onProxyChanged();
    EXPECT_EQ(controller->proxy().get(), std::nullopt);

    form().shuffle = true;
    EXPECT_TRUE(options().confirm());
    EXPECT_TRUE(controller->settings().changer.shuffle);
    EXPECT_TRUE(view.shufflePressed);
    EXPECT_EQ(stored("shufle"), "1");
}

TEST_F(Options, ARefusedRemovalDeletesNothingAndTheProgramGoesOn) {
    workingListOf(2);
    playEvery(5);
    start();
    open(Command::Options);
    options().removeProgramFiles();  // the data folder here is no drive's: refused
    EXPECT_TRUE(registry.keyExists(RegistryRoot::CurrentUser, "RZ"));
    EXPECT_EQ(view.quits, 0);
    EXPECT_FALSE(fetches.stoppedAll);  // downloads go on too
    advance(12000);
    EXPECT_FALSE(desktop.reloads.empty());
}

}  // namespace
}  // namespace ostrel::testing
