#include "ControllerFixture.h"

namespace ostrel::testing {
namespace {

using Startup = ControllerTest;

TEST_F(Startup, FirstStartAndExitWritesEveryDefaultAndCreatesTheFolders) {
    start();
    EXPECT_TRUE(view.visible);
    EXPECT_TRUE(tray.present);
    EXPECT_TRUE(hotkeys.registered);
    controller->exitCommand();
    EXPECT_EQ(view.quits, 1);
    controller->FormDestroy();

    EXPECT_FALSE(tray.present);
    EXPECT_FALSE(hotkeys.registered);
    std::vector<std::string> order{"shufle",   "addvlist",   "playstat",  "prop",     "TimeInterval",
                                   "secund",   "selected",   "kolprokr",  "intime1",  "intime2",
                                   "wid",      "hei",        "left",      "TimeFrom", "TimeTo",
                                   "TimeRandom", "loadnew",  "onload",    "onwinload", "InTimeCh",
                                   "downfoad", "where",      "lastopen",  "PathToSelected", "lastsave"};
    EXPECT_EQ(registry.writtenNames(), order);
    EXPECT_EQ(stored("shufle"), "0");
    EXPECT_EQ(stored("playstat"), "0");
    EXPECT_EQ(stored("addvlist"), "1");
    EXPECT_EQ(stored("TimeInterval"), "5");
    EXPECT_EQ(stored("secund"), "2");
    EXPECT_EQ(stored("selected"), "0");
    EXPECT_EQ(stored("downfoad"), dataFolder() + "\\walls\\");
    EXPECT_EQ(stored("lastsave"), dataFolder());
    EXPECT_EQ(stored("where"), "2");
    for (const char* sub : {"", "/download", "/walls"})
        EXPECT_TRUE(std::filesystem::is_directory(hostDataFolder() + sub)) << sub;
    EXPECT_EQ(TempDir::read(hostDataFolder() + "/Default.tav"), "\r\n\r\n");
}

TEST_F(Startup, WindowSizeFromSettingsIsCentredWithTiesToEven) {
    setting("wid", "801");
    setting("hei", "500");
    desktop.screen = {1280, 1024};
    start();
    // (1280 - 801) / 2 = 239.5 -> 240; (1024 - 500) / 2 = 262
    EXPECT_EQ(view.left, 240);
    EXPECT_EQ(view.top, 262);
}

TEST_F(Startup, StoredPlayAndShuffleStateIsRestored) {
    setting("playstat", "1");
    setting("shufle", "1");
    start();
    EXPECT_TRUE(controller->settings().playing);
    EXPECT_TRUE(controller->settings().shuffle);
    EXPECT_TRUE(view.shufflePressed);
    EXPECT_TRUE(timers.running(TimerId::Change));
    EXPECT_EQ(tray.icon, TrayIcon::Playing);
    EXPECT_EQ(controller->runStopCaption(), "Остановить смену обоев");
}

TEST_F(Startup, HiddenStartShowsNoWindowButTheTrayIcon) {
    start(parseCommandLine("C:\\Ostrel\\OstrelWallpapers.exe -"));
    EXPECT_FALSE(view.visible);
    EXPECT_FALSE(controller->windowShown());
    EXPECT_TRUE(tray.present);
    EXPECT_FALSE(quitAtOnce);
    controller->onTrayMouse(TrayMouse::RightDown);
    EXPECT_EQ(controller->showHideCaption(), "Развернуть");
}

TEST_F(Startup, CommandLineModesReadFromTheEnd) {
    EXPECT_TRUE(parseCommandLine("x.exe -").hiddenStart);
    EXPECT_FALSE(parseCommandLine("x.exe -").changeAndExit);
    StartMode both = parseCommandLine("\"C:\\a b\\x.exe\" -a-");
    EXPECT_TRUE(both.hiddenStart);
    EXPECT_TRUE(both.changeAndExit);
    EXPECT_FALSE(parseCommandLine("\"C:\\x-y\\x.exe\"").hiddenStart);
    EXPECT_FALSE(parseCommandLine("-").changeAndExit);
    EXPECT_TRUE(parseCommandLine("-").hiddenStart);
}

TEST_F(Startup, ChangeAndExitInstallsTheNextEntryAndSavesOnce) {
    std::string a = picture("a.bmp", 40, 30), b = picture("b.bmp", 20, 10);
    workingList({a, b});
    setting("selected", "1");
    start(parseCommandLine("x.exe -a-"));
    EXPECT_TRUE(quitAtOnce);
    EXPECT_FALSE(view.visible);
    EXPECT_EQ(current(), 2);
    EXPECT_EQ(stored("selected"), "2");
    EXPECT_EQ(stored("PathToSelected"), b);
    EXPECT_EQ(desktop.reloads.size(), 1u);
    std::size_t writes = registry.writes().size();
    controller->FormDestroy();  // the window's destruction afterwards saves nothing more
    EXPECT_EQ(registry.writes().size(), writes);
    EXPECT_FALSE(tray.present);
}

TEST_F(Startup, CurrentIndexPastTheLoadedListBecomesZero) {
    workingList({picture("a.bmp", 4, 4)});
    setting("selected", "5");
    start();
    EXPECT_EQ(current(), 0);
}

TEST_F(Startup, CloseAndMinimiseHideWithoutEnding) {
    start();
    controller->FormClose();
    EXPECT_FALSE(view.visible);
    EXPECT_EQ(view.quits, 0);
    controller->onTrayMouse(TrayMouse::LeftDown);
    EXPECT_TRUE(view.visible);
    controller->onMinimize();
    EXPECT_FALSE(view.visible);
    EXPECT_EQ(view.quits, 0);
}

TEST_F(Startup, EndOfSessionSavesBeforeAnswering) {
    std::string a = picture("a.bmp", 4, 4);
    workingList({a});
    start();
    controller->onEndSession(true);
    EXPECT_EQ(view.quits, 1);
    EXPECT_EQ(stored("wid"), "800");
    EXPECT_NE(TempDir::read(hostDataFolder() + "/Default.tav").find(a), std::string::npos);
}

TEST_F(Startup, TaskbarRestartReaddsTheIconWithThePlayState) {
    setting("playstat", "1");
    start();
    tray.calls.clear();
    controller->onTaskbarCreated();
    ASSERT_EQ(tray.calls.size(), 1u);
    EXPECT_EQ(tray.calls[0].what, "add");
    EXPECT_EQ(tray.calls[0].icon, TrayIcon::Playing);
    EXPECT_EQ(tray.calls[0].tip, "Ostrel Wallpapers");
}

TEST_F(Startup, ProberFillsResolutionsThenSavesTheWorkingList) {
    std::string a = picture("a.bmp", 37, 21);
    workingList({a, temp.file("missing.jpg")});
    start();
    advance(11 * 10);
    EXPECT_FALSE(timers.running(TimerId::Prober));
    EXPECT_EQ(TempDir::read(hostDataFolder() + "/Default.tav"),
              a + "\r\n      37x21\r\n" + temp.file("missing.jpg") + "\r\n       0x0\r\n\r\n\r\n");
}

TEST_F(Startup, ListCommandsUseTheRememberedFolderAndSaveExactBytes) {
    std::string a = picture("a.bmp", 4, 4);
    workingList({a});
    start();
    dialogs.nextFile = temp.file("saved.tav");
    controller->onCommand(Command::SaveList);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].initialPath, dataFolder());
    EXPECT_EQ(controller->settings().lastsave, temp.file("saved.tav"));

    controller->onCommand(Command::ClearList);
    EXPECT_TRUE(controller->list().empty());
    controller->onCommand(Command::LoadList);
    EXPECT_EQ(dialogs.requests[1].initialPath, temp.file("saved.tav"));
    ASSERT_EQ(controller->list().entryCount(), 1);
    EXPECT_EQ(controller->list().path(1), a);

    dialogs.nextFile.reset();  // cancelled: nothing changes
    controller->onCommand(Command::ClearList);
    controller->onCommand(Command::LoadList);
    EXPECT_TRUE(controller->list().empty());
}

}  // namespace
}  // namespace ostrel::testing
