// What keeps the user's data safe and the program responsive when the
// platform fails: an unreadable working list, failed writes, message boxes
// whose loops keep the timers going, and exceptions in the middle of a change.
#include "ControllerFixture.h"

namespace ostrel::testing {
namespace {

struct NoDataLoss : ControllerTest {
    std::string listFile() const { return hostDataFolder() + "/Default.tav"; }
    void unwritable(const std::string& name) { files.unwritable.insert(dataFolder() + "\\" + name); }
};

TEST_F(NoDataLoss, AnUnreadableWorkingListIsNeverOverwrittenUntilTheUserDecides) {
    workingListOf(3);
    setting("selected", "3");
    const std::string before = TempDir::read(listFile());
    files.unreadable.insert(dataFolder() + "\\Default.tav");
    start();
    EXPECT_TRUE(controller->list().empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);  // told once
    advance(1000);                           // the prober finishes on an empty list
    controller->FormDestroy();
    EXPECT_EQ(TempDir::read(listFile()), before);
    EXPECT_EQ(stored("selected"), "3");  // the current entry of the unread list
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // Clearing is the user's own decision: from then on the list is saved again.
    rebuild();
    start();
    controller->onCommand(Command::ClearList);
    controller->FormDestroy();
    EXPECT_EQ(TempDir::read(listFile()), "\r\n\r\n");
}

TEST_F(NoDataLoss, TheSessionEndingDuringStartUpSavesNothingHalfRead) {
    workingListOf(2);
    setting("TimeInterval", "7");
    setting("playstat", "1");
    files.unreadable.insert(dataFolder() + "\\Default.tav");  // a box comes up at start
    dialogs.whileShowing = [&] { controller->onEndSession(true); };
    start();
    EXPECT_TRUE(quitAtOnce);
    EXPECT_TRUE(registry.writes().empty());  // not the defaults, nor an inverted "playstat"
    EXPECT_FALSE(tray.present || hotkeys.registered);
}

TEST_F(NoDataLoss, AListFileThatFailsPartWayLoadsNothingAndSaysSo) {
    startWithListOf(3);
    const std::string other = temp.write("other.tav", std::string(5000, 'x') + "\r\n\r\n\r\n");
    files.readFailsAfter[other] = 4096;
    dialogs.nextFile = other;
    controller->onCommand(Command::LoadList);
    EXPECT_EQ(controller->list().entryCount(), 3);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(NoDataLoss, ALastingWriteFailureShowsOneBoxAtATimeWhileTheScheduleGoesOn) {
    workingListOf(3);
    playEvery(1);
    start();
    unwritable("Ostrel Wallpaper.bmp");
    bool changedInsideTheBox = false, inside = false;
    dialogs.whileShowing = [&] {
        if (inside) return;  // a box on top of a box: already a failure
        inside = true;
        const int before = current();
        advance(5000);  // the change timer fires inside the box's loop
        changedInsideTheBox |= current() != before;
        inside = false;
    };
    advance(3000);
    EXPECT_EQ(dialogs.deepest, 1);
    EXPECT_GE(dialogs.messages.size(), 2u);  // once closed, the next failure is shown again
    EXPECT_TRUE(changedInsideTheBox);
    EXPECT_TRUE(timers.running(TimerId::Change));
}

TEST_F(NoDataLoss, AScheduledChangesErrorWaitsForTheBoxUpButTheUsersOwnShowAtOnce) {
    const std::string bitmapFailed = "Не удалось записать файл обоев.", listFailed = "Не удалось записать файл листа.";
    workingListOf(2);
    playEvery(1);
    start();
    advance(1000);  // the load gate's first sample
    unwritable("Ostrel Wallpaper.bmp");
    files.unwritable.insert(temp.file("list.tav"));
    dialogs.nextFile = temp.file("list.tav");
    dialogs.whileShowing = [&] {
        if (dialogs.messages.size() == 1) advance(1000);  // the schedule's change fails meanwhile
    };
    controller->onCommand(Command::SaveList);
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{listFailed, bitmapFailed}));
    EXPECT_EQ(dialogs.deepest, 1);

    // The schedule's error is up when the user saves and confirms a wrong range.
    dialogs.messages.clear();
    dialogs.whileShowing = [&] {
        if (dialogs.messages.size() != 1) return;
        controller->onCommand(Command::SaveList);
        openOptions(Command::ScheduleOptions);
        chooseMode(&OptionsForm::randomMode);
        options().form().timeFrom = options().form().timeTo = "10";
        EXPECT_FALSE(options().confirm());
    };
    advance(1000);
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{bitmapFailed, listFailed, "Неправильный интервал"}));
    EXPECT_EQ(dialogs.deepest, 2);
}

TEST_F(NoDataLoss, NothingIsAddedOrSavedAfterTheSessionEndedInADialogOrABox) {
    workingListOf(2);
    chooser.answer = FolderChoice{temp.path() + "\\", false};  // p1.bmp and p2.bmp once more
    std::string savedAtEnd;
    std::size_t settingsAtEnd = 0;
    const std::function<void()> endSession = [&] {
        controller->onEndSession(true);
        savedAtEnd = TempDir::read(listFile());
        settingsAtEnd = registry.writes().size();
    };
    enum Where { InTheChooser, InItsPendingMessages, InTheDeleteQuestion };
    for (Where where : {InTheChooser, InItsPendingMessages, InTheDeleteQuestion}) {
        rebuild();
        start();
        chooser.whileOpen = where == InTheChooser ? endSession : nullptr;
        view.whilePumping = where == InItsPendingMessages ? endSession : nullptr;
        dialogs.whileAsking = where == InTheDeleteQuestion ? endSession : nullptr;
        if (where == InTheDeleteQuestion) {
            controller->listController().moveCurrentRow(1, false);
            controller->listController().plistKeyDown(ListKey::Delete, true, false);  // answered "Да"
        } else {
            controller->onCommand(Command::AddFolder);
            EXPECT_EQ(controller->list().entryCount(), 2) << where;
        }
        ASSERT_NE(settingsAtEnd, 0u);
        EXPECT_EQ(TempDir::read(listFile()), savedAtEnd) << where;
        EXPECT_EQ(registry.writes().size(), settingsAtEnd) << where;
    }
}

TEST_F(NoDataLoss, AnOptionsApplyHeldUpByABoxUntilTheSessionEndedWritesNoSettingsAfter) {
    startWithListOf(2);
    unwritable("Ostrel Wallpaper.bmp");  // the daily change at "ОК" fails: a box
    clock.time = {10, 30, 0};
    std::size_t settingsAtEnd = 0;
    dialogs.whileShowing = [&] {
        controller->onEndSession(true);
        settingsAtEnd = registry.writes().size();
    };
    openOptions(Command::ScheduleOptions);
    chooseDailyAtHalfPastTen();
    EXPECT_TRUE(options().confirm());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ASSERT_NE(settingsAtEnd, 0u);
    EXPECT_EQ(registry.writes().size(), settingsAtEnd);
}

TEST_F(NoDataLoss, NoTimerRunsWhileTheShutdownShowsItsBoxesOrAfterTheLastSave) {
    workingListOf(3);
    playEvery(1);
    start();
    advance(3000);
    const std::size_t installs = desktop.reloads.size();
    unwritable("Default.tav");
    dialogs.whileShowing = [&] { advance(10000); };
    controller->onEndSession(true);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    advance(10000);
    for (TimerId id : {TimerId::Change, TimerId::Countdown, TimerId::Browsing})
        EXPECT_FALSE(timers.running(id)) << static_cast<int>(id);
    EXPECT_FALSE(controller->listController().model().probing());
    controller->onTimer(TimerId::Change);  // a tick already queued changes nothing either
    EXPECT_EQ(desktop.reloads.size(), installs);
}

TEST_F(NoDataLoss, HotkeysSurviveAnErrorInTheMiddleOfAChange) {
    startWithListOf(3);
    desktop.failReload = true;
    EXPECT_THROW(controller->onHotkey(FakeHotkeys::kNext), std::runtime_error);
    desktop.failReload = false;
    const std::size_t installs = desktop.reloads.size();
    deliverHotkeys({FakeHotkeys::kNext});
    EXPECT_EQ(desktop.reloads.size(), installs + 1);
}

TEST_F(NoDataLoss, StaleTemporaryFilesGoAtStart) {
    files.createDirectory(hostDataFolder());
    const std::string stale = temp.write("Ostrel Wallpapers/~ostrel0000abcd.tmp", "half a list");
    start();
    EXPECT_FALSE(std::filesystem::exists(stale));
}

}  // namespace
}  // namespace ostrel::testing
