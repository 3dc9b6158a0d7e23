#include <set>

#include "../app/ControllerFixture.h"

namespace ostrel::testing {
namespace {

class Sequencing : public ControllerTest {
protected:
    void listOf(int n) {
        workingListOf(n);
        start();
    }
    int installedWidth() {
        auto bytes = TempDir::read(hostDataFolder() + "/Ostrel Wallpaper.bmp");
        auto image = decodeBmp(bytes);
        return image ? image->width : -1;
    }
};

TEST_F(Sequencing, ListOrderWrapsAndInstallsEachStep) {
    listOf(3);
    controller->mutableSettings().currentIndex = 3;
    controller->changer().ChWall();
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(installedWidth(), 1);
    controller->changer().ChWall();
    EXPECT_EQ(installedWidth(), 2);
    EXPECT_EQ(registry.readString(RegistryRoot::CurrentUser, "Control Panel\\desktop", "Wallpaper"),
              dataFolder() + "\\Ostrel Wallpaper.bmp");
    EXPECT_EQ(registry.readString(RegistryRoot::CurrentUser, "Control Panel\\desktop", "TileWallpaper"), "0");
    EXPECT_EQ(registry.readString(RegistryRoot::CurrentUser, "Control Panel\\desktop", "WallpaperStyle"), "2");
}

TEST_F(Sequencing, DesktopValuesAreWrittenInOrderBeforeTheSystemCall) {
    listOf(2);
    registry.clearLog();
    controller->changer().ChWall();
    std::vector<std::string> names;
    for (const auto& w : registry.writes()) names.push_back(w.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Wallpaper", "TileWallpaper", "WallpaperStyle"}));
    EXPECT_EQ(desktop.reloads.size(), 1u);
}

TEST_F(Sequencing, MinusOneIsNormalisedBeforeAdvancing) {
    listOf(3);
    controller->mutableSettings().currentIndex = -1;
    controller->changer().ChWall();
    EXPECT_EQ(current(), 2);
}

TEST_F(Sequencing, EmptyListDoesNothing) {
    start();
    controller->changer().ChWall();
    EXPECT_EQ(current(), 0);
    EXPECT_TRUE(desktop.reloads.empty());
}

TEST_F(Sequencing, ThreeNextsThenThreeBacksAndAFourthBackDoesNothing) {
    listOf(4);
    controller->mutableSettings().currentIndex = 1;
    for (int i = 0; i < 3; ++i) controller->changer().ChWall();
    EXPECT_EQ(current(), 4);
    controller->changer().golast();
    EXPECT_EQ(installedWidth(), 3);
    controller->changer().golast();
    EXPECT_EQ(installedWidth(), 2);
    controller->changer().golast();
    EXPECT_EQ(installedWidth(), 1);
    std::size_t installs = desktop.reloads.size();
    controller->changer().golast();
    EXPECT_EQ(desktop.reloads.size(), installs);
    EXPECT_EQ(current(), 1);
}

TEST_F(Sequencing, FiftyFirstPushOverwritesTheOldestSlot) {
    listOf(60);
    controller->mutableSettings().currentIndex = 1;
    for (int i = 0; i < 51; ++i) controller->changer().ChWall();  // pushes 1..51
    EXPECT_EQ(controller->changer().history().slot(1), 51);
    std::set<int> reached;
    for (int i = 0; i < 50; ++i) {
        controller->changer().golast();
        reached.insert(current());
    }
    std::set<int> expected;
    for (int v = 2; v <= 51; ++v) expected.insert(v);
    EXPECT_EQ(reached, expected);  // row 1, the oldest, is gone
}

TEST_F(Sequencing, ShuffleWithOneEntryReinstallsIt) {
    listOf(1);
    controller->changer().shufleBtnClick();
    controller->changer().ChWall();
    controller->changer().ChWall();
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(desktop.reloads.size(), 2u);
}

TEST_F(Sequencing, ShuffleWithTwoEntriesAlternates) {
    listOf(2);
    controller->changer().shufleBtnClick();
    controller->mutableSettings().currentIndex = 1;
    for (int expected : {2, 1, 2, 1}) {
        controller->changer().ChWall();
        EXPECT_EQ(current(), expected);
    }
}

TEST_F(Sequencing, ShuffleDrawsEveryEntryButNeverTheCurrentOne) {
    listOf(5);
    controller->changer().shufleBtnClick();
    controller->mutableSettings().currentIndex = 1;
    std::set<int> seen;
    for (int i = 0; i < 200; ++i) {
        int before = current();
        controller->changer().ChWall();
        EXPECT_NE(current(), before);
        seen.insert(current());
    }
    EXPECT_EQ(seen, (std::set<int>{1, 2, 3, 4, 5}));
}

TEST_F(Sequencing, DeletedFileFallsBackToThePreviousEntryWithoutAMessage) {
    listOf(3);
    controller->mutableSettings().currentIndex = 1;
    controller->changer().ChWall();  // installs 2
    std::filesystem::remove(temp.file("p3.bmp"));
    std::string pathBefore = controller->settings().currentPath;
    controller->changer().ChWall();  // 3 is gone: back to 2
    EXPECT_EQ(current(), 2);
    EXPECT_EQ(installedWidth(), 2);
    EXPECT_EQ(controller->settings().currentPath, pathBefore);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_GE(view.placeholders, 1);
}

TEST_F(Sequencing, UndecodableFileFallsBackToo) {
    listOf(2);
    temp.write("p2.bmp", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(100, '\0'));
    controller->mutableSettings().currentIndex = 1;
    controller->changer().ChWall();
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(installedWidth(), 1);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Sequencing, FallbackStopsAfterOneTurnWhenEverySlotIsUnusable) {
    listOf(2);
    controller->mutableSettings().currentIndex = 1;
    for (int i = 0; i < 50; ++i) controller->changer().ChWall();
    std::filesystem::remove(temp.file("p1.bmp"));
    std::filesystem::remove(temp.file("p2.bmp"));
    std::size_t installs = desktop.reloads.size();
    controller->changer().ChWall();  // must return
    EXPECT_EQ(desktop.reloads.size(), installs);
    EXPECT_LE(view.placeholders, 52);
}

TEST_F(Sequencing, InstallSelectedPushesTheUnnormalisedIndex) {
    listOf(3);
    controller->mutableSettings().currentIndex = 0;
    controller->grid().selectionTop = 3;
    controller->onCommand(Command::InstallSelected);
    EXPECT_EQ(current(), 3);
    EXPECT_EQ(installedWidth(), 3);
    // The pushed 0 is an empty slot for Back.
    std::size_t installs = desktop.reloads.size();
    controller->changer().golast();
    EXPECT_EQ(desktop.reloads.size(), installs);
}

TEST_F(Sequencing, FitToScreenWritesTheFittedSizeAndStretchKeepsTheOwnSize) {
    std::string big = picture("big.bmp", 160, 120);
    workingList({big, big});
    setting("prop", "1");
    setting("where", "0");
    desktop.screen = {128, 102};
    start();
    controller->changer().ChWall();
    auto image = decodeBmp(TempDir::read(hostDataFolder() + "/Ostrel Wallpaper.bmp"));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (ImageSize{128, 96}));
    EXPECT_EQ(registry.readString(RegistryRoot::CurrentUser, "Control Panel\\desktop", "WallpaperStyle"), "0");

    controller->mutableSettings().fitToScreen = false;
    controller->changer().ChWall();
    image = decodeBmp(TempDir::read(hostDataFolder() + "/Ostrel Wallpaper.bmp"));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (ImageSize{160, 120}));
}

TEST_F(Sequencing, ActiveDesktopGetsOneRefreshPerInstallation) {
    desktop.activeDesktop = true;
    listOf(2);  // start-up finds it
    int before = desktop.shellNotifications;
    controller->changer().ChWall();
    EXPECT_EQ(desktop.shellNotifications, before + 1);
    desktop.activeDesktop = false;
    controller->changer().ChWall();
    controller->changer().ChWall();
    EXPECT_EQ(desktop.shellNotifications, before + 1);
}

TEST_F(Sequencing, GotoselectedScrollsOnlyWhenTheCurrentRowIsOutOfView) {
    listOf(100);
    controller->grid().heightPixels = 300;  // 20 rows, 17 taken as visible
    controller->grid().firstVisibleRow = 1;
    controller->mutableSettings().currentIndex = 18;
    controller->listController().gotoselected();
    EXPECT_EQ(controller->grid().firstVisibleRow, 1);
    controller->mutableSettings().currentIndex = 19;
    controller->listController().gotoselected();
    EXPECT_EQ(controller->grid().firstVisibleRow, 19);
    controller->mutableSettings().currentIndex = 95;
    controller->listController().gotoselected();
    EXPECT_EQ(controller->grid().firstVisibleRow, 101 - 17 - 1);
}

}  // namespace
}  // namespace ostrel::testing
