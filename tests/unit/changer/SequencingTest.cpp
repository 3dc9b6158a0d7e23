#include <set>

#include "../app/ControllerFixture.h"
#include "platform/TemporaryFiles.h"

namespace ostrel::testing {
namespace {

using Texts = std::vector<std::string>;

struct Sequencing : ControllerTest {
    int installedWidth() {
        auto image = decodeBmp(TempDir::read(hostDataFolder() + "/Ostrel Wallpaper.bmp"));
        return image ? image->width : -1;
    }
};

TEST_F(Sequencing, EmptyListDoesNothingListOrderWrapsAndEachStepIsInstalled) {
    start();
    controller->changer().ChWall();  // an empty list: nothing
    EXPECT_TRUE(desktop.reloads.empty());
    rebuild();
    startWithListOf(3);
    controller->mutableSettings().list.currentIndex = 3;
    registry.clearLog();
    controller->changer().ChWall();
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(installedWidth(), 1);
    EXPECT_EQ(desktop.reloads.size(), 1u);
    EXPECT_EQ(registry.writtenNames(), (std::vector<std::string>{"Wallpaper", "TileWallpaper", "WallpaperStyle"}));
    controller->mutableSettings().list.currentIndex = -1;  // normalised to 1 before advancing
    controller->changer().ChWall();
    EXPECT_EQ(installedWidth(), 2);
}

TEST_F(Sequencing, BackRetracesTheLastFiftyChangesAndTheFallbackStopsAfterOneTurn) {
    startWithListOf(60);
    controller->mutableSettings().list.currentIndex = 1;
    for (int i = 0; i < 51; ++i) controller->changer().ChWall();  // pushes 1..51
    std::vector<int> reached, expected;
    for (int i = 0; i < 50; ++i) {
        controller->changer().golast();
        reached.push_back(current());
        expected.push_back(51 - i);  // row 1, the oldest, is gone
    }
    EXPECT_EQ(reached, expected);
    EXPECT_EQ(installedWidth(), 2);

    // Every slot unusable: one turn of the ring, then the change gives up.
    for (int i = 1; i <= 60; ++i) std::filesystem::remove(temp.file(pictureName(i)));
    const std::size_t installs = desktop.reloads.size();
    const int placeholders = view.placeholders;
    controller->changer().ChWall();
    EXPECT_EQ(desktop.reloads.size(), installs);
    EXPECT_LE(view.placeholders - placeholders, 51);
}

TEST_F(Sequencing, ShuffleNeverDrawsTheCurrentEntryButEveryOtherAndReinstallsALonelyOne) {
    for (int n : {1, 2, 5}) {
        rebuild();
        startWithListOf(n);
        controller->changer().shufleBtnClick();
        controller->mutableSettings().list.currentIndex = 1;
        std::set<int> seen;
        for (int i = 0; i < 200; ++i) {
            const int before = current();
            controller->changer().ChWall();
            EXPECT_TRUE(n == 1 || current() != before);
            seen.insert(current());
        }
        EXPECT_EQ(static_cast<int>(seen.size()), n);
        EXPECT_TRUE(n > 1 || desktop.reloads.size() == 200u);  // a lonely entry is installed again
    }
}

TEST_F(Sequencing, AMissingOrUndecodableFileFallsBackToThePreviousEntryWithoutAMessage) {
    for (bool missing : {true, false}) {
        rebuild();
        startWithListOf(3);
        controller->mutableSettings().list.currentIndex = 1;
        controller->changer().ChWall();  // installs 2
        if (missing)
            std::filesystem::remove(temp.file("p3.bmp"));
        else
            temp.write("p3.bmp", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(100, '\0'));
        const std::string pathBefore = controller->settings().list.currentPath;
        controller->changer().ChWall();  // 3 is unusable: back to 2
        EXPECT_EQ(current(), 2);
        EXPECT_EQ(installedWidth(), 2);
        EXPECT_EQ(controller->settings().list.currentPath, pathBefore);
    }
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_GE(view.placeholders, 1);
}

// A picture fitted to the screen is installed at the fitted size, with the
// style of "where". A fitted JPEG goes into the bitmap's temporary file as it
// is decoded. One that breaks off halfway still falls back without a message,
// also when the bitmap could not have been written, and leaves no temporary
// file behind.
TEST_F(Sequencing, AFittedPictureTakesTheStyleOfWhereAndABrokenOffJpegFallsBackWithoutAMessageOrALeftOverFile) {
    const std::string jpeg = encodeJpeg(gradientImage(640, 480));
    workingList({picture("p1.bmp", 160, 120), temp.write("cut.jpg", jpeg.substr(0, jpeg.size() / 2))});
    setting("prop", "1");
    setting("where", "0");
    desktop.screen = {128, 102};
    start();
    controller->mutableSettings().list.currentIndex = 0;
    controller->changer().ChWall();    // installs 1
    ASSERT_EQ(installedWidth(), 128);  // 160 x 120 fitted to the screen
    EXPECT_EQ(registry.readString(RegistryRoot::CurrentUser, "Control Panel\\desktop", "WallpaperStyle"), "0");
    controller->changer().ChWall();  // 2 breaks off: back to 1
    EXPECT_EQ(current(), 1);
    files.unwritable.insert(dataFolder() + "\\Ostrel Wallpaper.bmp");
    controller->changer().ChWall();
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(dialogs.messages.size(), 1u);  // only 1's own bitmap fails to be written
    EXPECT_EQ(installedWidth(), 128);
    int leftOver = 0;
    files.listFolder(dataFolder(), [&](const FolderEntry& e) { return leftOver += isTemporaryName(e.name), true; });
    EXPECT_EQ(leftOver, 0);
}

// While a fitted JPEG is decoded, its bitmap goes on to the disk in parts; a
// part that cannot be flushed fails the write like any other write error, and
// the bitmap installed before stays.
TEST_F(Sequencing, TheBitmapIsFlushedInPartsAndAFailedPartIsAFailedWrite) {
    workingList({temp.write("tall.jpg", encodeJpeg(gradientImage(600, 800))),
                 temp.write("wide.jpg", encodeJpeg(gradientImage(1600, 1200)))});
    setting("prop", "1");
    desktop.screen = {1024, 768};
    start();
    controller->mutableSettings().list.currentIndex = 1;
    controller->changer().ChWall();  // installs wide.jpg
    ASSERT_EQ(installedWidth(), 1024);
    EXPECT_EQ(files.counts().flushes, 3);  // the last quarter goes with the commit
    files.flushFails.insert(dataFolder() + "\\Ostrel Wallpaper.bmp");
    controller->changer().ChWall();  // tall.jpg would be 576 wide
    EXPECT_EQ(dialogs.messages, (Texts{"Не удалось записать файл обоев."}));
    EXPECT_EQ(installedWidth(), 1024);
    int leftOver = 0;
    files.listFolder(dataFolder(), [&](const FolderEntry& e) { return leftOver += isTemporaryName(e.name), true; });
    EXPECT_EQ(leftOver, 0);
}

TEST_F(Sequencing, InstallSelectedPushesTheUnnormalisedIndex) {
    startWithListOf(3);
    controller->mutableSettings().list.currentIndex = 0;
    controller->listController().moveCurrentRow(3, false);
    controller->onCommand(Command::InstallSelected);
    EXPECT_EQ(current(), 3);
    EXPECT_EQ(installedWidth(), 3);
    // The pushed 0 is an empty slot for Back: nothing happens.
    const std::size_t installs = desktop.reloads.size();
    controller->changer().golast();
    EXPECT_EQ(desktop.reloads.size(), installs);
    EXPECT_EQ(current(), 3);
}

TEST_F(Sequencing, ActiveDesktopGetsOneRefreshPerInstallation) {
    desktop.activeDesktop = true;
    startWithListOf(2);  // start-up finds it
    const int before = desktop.shellNotifications;
    controller->changer().ChWall();
    EXPECT_EQ(desktop.shellNotifications, before + 1);
    desktop.activeDesktop = false;
    controller->changer().ChWall();
    controller->changer().ChWall();
    EXPECT_EQ(desktop.shellNotifications, before + 1);
}

TEST_F(Sequencing, GotoselectedScrollsOnlyWhenTheCurrentRowIsOutOfView) {
    startWithListOf(100);
    controller->listController().selection().setSize(300, 0);  // 20 rows, 17 taken as visible
    for (auto [index, top] : {std::pair{18, 1}, {19, 19}, {95, 101 - 17 - 1}}) {
        controller->mutableSettings().list.currentIndex = index;
        controller->listController().gotoselected();
        EXPECT_EQ(controller->grid().firstVisibleRow, top) << index;
    }
}

}  // namespace
}  // namespace ostrel::testing
