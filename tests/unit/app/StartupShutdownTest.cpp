#include "ControllerFixture.h"

namespace ostrel::testing {
namespace {

using Startup = ControllerTest;

TEST_F(Startup, FirstStartAndExitPutUpAndTakeDownWindowTrayAndHotkeysWithoutComplaint) {
    start();
    EXPECT_TRUE(view.visible && tray.present && hotkeys.registered);
    controller->exitCommand();
    EXPECT_EQ(view.quits, 1);
    controller->FormDestroy();
    EXPECT_FALSE(tray.present || hotkeys.registered);
    EXPECT_TRUE(dialogs.messages.empty());  // a missing working list is no reason to complain
}

TEST_F(Startup, TheWindowIsCentredWithTiesToEvenAndACurrentIndexPastTheListBecomesZero) {
    setting("wid", "801");
    setting("hei", "500");
    workingList({picture("a.bmp", 4, 4)});
    setting("selected", "5");
    desktop.screen = {1280, 1024};
    start();
    // (1280 - 801) / 2 = 239.5 -> 240; (1024 - 500) / 2 = 262
    EXPECT_EQ(view.left, 240);
    EXPECT_EQ(view.top, 262);
    EXPECT_EQ(current(), 0);
}

TEST_F(Startup, StoredPlayAndShuffleStateIsRestoredAndATaskbarRestartReaddsTheIcon) {
    setting("playstat", "1");
    setting("shufle", "1");
    start();
    EXPECT_TRUE(controller->settings().schedule.playing && controller->settings().changer.shuffle &&
                view.shufflePressed);
    EXPECT_TRUE(timers.running(TimerId::Change));
    EXPECT_EQ(controller->runStopCaption(), "Остановить смену обоев");
    tray.icon = TrayIcon::Stopped;
    controller->onTaskbarCreated();
    EXPECT_EQ(tray.adds, 2);
    EXPECT_EQ(tray.icon, TrayIcon::Playing);
}

TEST_F(Startup, HiddenStartShowsNoWindowButTheTrayIconWhoseMenuFollowsTheWindow) {
    start(parseCommandLine("C:\\Ostrel\\OstrelWallpapers.exe -"));
    EXPECT_FALSE(view.visible || controller->windowShown() || quitAtOnce);
    EXPECT_TRUE(tray.present);
    EXPECT_EQ(controller->showHideCaption(), "Развернуть/свернуть");  // until the first right click
    controller->onTrayMouse(TrayMouse::RightDown);
    EXPECT_EQ(controller->showHideCaption(), "Развернуть");
    controller->onTrayMouse(TrayMouse::LeftDown);
    controller->onTrayMouse(TrayMouse::RightDown);
    EXPECT_EQ(controller->showHideCaption(), "Свернуть");
}

TEST_F(Startup, CommandLineModesReadFromTheEnd) {
    const struct {
        const char* line;
        bool hidden, changeAndExit;
    } cases[] = {{"x.exe -", true, false},
                 {"\"C:\\a b\\x.exe\" -a-", true, true},
                 {"\"C:\\x-y\\x.exe\"", false, false},
                 {"-", true, false}};
    for (const auto& c : cases) {
        const StartMode mode = parseCommandLine(c.line);
        EXPECT_EQ(std::pair(mode.hiddenStart, mode.changeAndExit), std::pair(c.hidden, c.changeAndExit)) << c.line;
    }
}

TEST_F(Startup, ChangeAndExitInstallsTheNextEntryAndSavesOnce) {
    workingListOf(2);
    setting("selected", "1");
    start(parseCommandLine("x.exe -a-"));
    EXPECT_TRUE(quitAtOnce && !view.visible);
    EXPECT_EQ(stored("PathToSelected"), temp.file("p2.bmp"));
    const std::size_t writes = registry.writes().size();
    controller->FormDestroy();  // the window's destruction afterwards saves nothing more
    EXPECT_EQ(registry.writes().size(), writes);
    EXPECT_EQ(tray.adds, 0);  // no icon flashes in the tray, and none is taken away at the end
    EXPECT_FALSE(controller->listController().model().probing());
}

TEST_F(Startup, SaveAndLoadListUseTheRememberedFolderAndACancelChangesNothing) {
    startWithListOf(1);
    dialogs.nextFile = temp.file("saved.tav");
    controller->onCommand(Command::SaveList);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].initialPath, dataFolder());
    EXPECT_EQ(controller->settings().list.lastsave, temp.file("saved.tav"));

    controller->onCommand(Command::ClearList);
    controller->onCommand(Command::LoadList);
    EXPECT_EQ(dialogs.requests[1].initialPath, temp.file("saved.tav"));
    ASSERT_EQ(controller->list().entryCount(), 1);
    EXPECT_EQ(controller->list().path(1), temp.file("p1.bmp"));

    dialogs.nextFile.reset();  // cancelled: nothing changes
    controller->onCommand(Command::ClearList);
    controller->onCommand(Command::LoadList);
    EXPECT_TRUE(controller->list().empty());
}

}  // namespace
}  // namespace ostrel::testing
