#include "changer/FitToScreen.h"
#include "changer/FullScreenViewer.h"

#include <pthread.h>

#include <algorithm>
#include <functional>

#include "../app/ControllerFixture.h"
#include "fakes/TestImages.h"

namespace ostrel::testing {
namespace {

std::string text(ImageSize s) { return std::to_string(s.width) + "x" + std::to_string(s.height); }

TEST(FitToScreen, FillsOneSideKeepingTheAspectRoundedHalfToEven) {
    const struct {
        ImageSize picture;
        ScreenSize screen;
        const char* expected;
    } cases[] = {
        {{1600, 1200}, {1280, 1024}, "1280x960"},
        {{4000, 3000}, {1024, 768}, "1024x768"},
        {{1001, 1600}, {1920, 1080}, "676x1080"},  // 675.68 rounds up
        {{3000, 1000}, {1024, 768}, "1024x341"},   // 341.33 rounds down
        {{512, 337}, {1280, 1024}, "1280x842"},
        {{512, 335}, {1280, 1024}, "1280x838"},  // exact ties: to even
        // Factors a hair above a tie as doubles (0.675 is 0.67500000000000004...) must not round as ties.
        {{1020, 1600}, {1920, 1080}, "689x1080"},
        {{2304, 1287}, {1920, 1080}, "1920x1073"},
        {{65535, 65534}, {65535, 65535}, "65535x65534"},
        {{55000, 40000}, {50000, 40000}, "50000x36364"},  // > 32 bits
        {{0, 100}, {1024, 768}, "0x100"},
        {{100, -5}, {1024, 768}, "100x-5"},
        {{100, 50}, {0, 0}, "100x50"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(xyforscreen(c.picture, c.screen)), c.expected)
            << text(c.picture) << " on " << c.screen.width << "x" << c.screen.height;
}

TEST(ViewerPictureSize, OnA1280x1024ScreenByTheDisplayModes) {
    const struct {
        bool stretch, proportional;
        ImageSize picture, expected;
    } cases[] = {// Stretch off, proportional on: own size, shrunk to fit only when larger.
                 {false, true, {800, 600}, {800, 600}},
                 {false, true, {6000, 4000}, {1280, 853}},
                 {false, true, {1000, 2000}, {512, 1024}},
                 {false, true, {1281, 1024}, {1280, 1023}},
                 {false, true, {5000, 1}, {1280, 1}},
                 {false, false, {6000, 4000}, {6000, 4000}},  // own size, cut at the edges
                 {true, true, {800, 600}, {1280, 960}},
                 {true, true, {100, 200}, {512, 1024}},
                 {true, false, {800, 600}, {1280, 1024}}};
    for (const auto& c : cases)
        EXPECT_EQ(text(viewerPictureSize(c.picture, {1280, 1024}, {c.stretch, c.proportional})), text(c.expected))
            << text(c.picture) << (c.stretch ? " stretched" : "") << (c.proportional ? " proportional" : "");
}

TEST(ViewerScreen, CutsALargerPictureEvenlyAtBothEdges) {
    const Image large = makeImage(12, 8, [](int x, int y) {
        return Bgr{static_cast<std::uint8_t>(x), 9, static_cast<std::uint8_t>(y)};
    });
    const Image cut = viewerScreen(large, {8, 6});
    ASSERT_EQ(cut.size(), (ImageSize{8, 6}));
    EXPECT_EQ(pixelAt(cut, 0, 0), pixelAt(large, 2, 1));
    EXPECT_EQ(pixelAt(cut, 7, 5), pixelAt(large, 9, 6));
}

constexpr ScreenSize kScreen{64, 48};

Bgr colourOf(int i) { return {static_cast<std::uint8_t>(20 * i), static_cast<std::uint8_t>(250 - 20 * i), 77}; }

struct Viewer : ControllerTest {
    Viewer() { desktop.screen = kScreen; }

    ListController& list() { return controller->listController(); }
    FullScreenViewer& viewer() { return controller->viewer(); }
    int row() { return list().grid().currentRow; }

    // The screen's centre tells which was shown.
    std::string good(int i) {
        return temp.write("good" + std::to_string(i) + ".bmp", bmpBytes(solidImage(16, 12, colourOf(i))));
    }
    std::string junk(int i) { return temp.write("junk" + std::to_string(i) + ".jpg", "\xFF\xD8\xFF broken"); }
    std::string missing(int i) { return temp.file("gone" + std::to_string(i) + ".bmp"); }

    void startWith(const std::vector<std::string>& paths, int selected) {
        workingList(paths);
        setting("selected", std::to_string(selected));
        start();
        list().selection().setSize(300, 0);
    }
    void open() { controller->onCommand(Command::FullScreen); }

    int shown() const { return static_cast<int>(viewerView.pictures.size()); }
    Bgr centre() const { return pixelAt(viewerView.pictures.back(), kScreen.width / 2, kScreen.height / 2); }
    std::string at() {
        return std::to_string(row()) + " showing " + (shown() ? std::to_string(centre().b / 20) : "nothing") + " of " +
               std::to_string(shown());
    }

    // The list's handler first, then the grid's own step if left to it, then the release.
    void press(ListKey key) {
        if (!list().plistKeyDown(key, false, false)) {
            const int last = list().list().rowCount() - 1;
            if (key == ListKey::Up || key == ListKey::Left) list().moveCurrentRow(std::max(1, row() - 1), false);
            if (key == ListKey::Down || key == ListKey::Right) list().moveCurrentRow(std::min(last, row() + 1), false);
        }
        list().plistKeyUp(key);
    }
};

TEST_F(Viewer, WheelMovesOneRowWhileOpenAndTheUsersSettingComesBackAfterItAndAtExit) {
    setting("kolprokr", "5");
    startWith({good(1), good(2), good(3), good(4), good(5), good(6)}, 2);
    open();
    ASSERT_TRUE(viewerView.shown);
    list().plistMouseWheelDown();
    list().plistMouseWheelDown();
    EXPECT_EQ(list().grid().currentRow, 4);
    list().plistMouseWheelUp();
    EXPECT_EQ(list().grid().currentRow, 3);

    open();  // asked again while open
    press(ListKey::Escape);
    EXPECT_FALSE(viewerView.shown || viewer().fullScreenShown());
    list().selection().scrollTo(1);
    list().plistSelectCell(0, 1);
    list().plistMouseWheelDown();
    EXPECT_EQ(list().grid().currentRow, 6);

    open();  // open at exit: the user's setting is saved
    controller->FormDestroy();
    EXPECT_EQ(stored("kolprokr"), "5");
}

// The viewer stays above every other window: one that a command opens would
// open unseen behind it, so it closes first. Other commands leave it open.
TEST_F(Viewer, CommandsThatOpenAWindowCloseItFirst) {
    setting("kolprokr", "4");
    startWith({good(1), good(2)}, 1);
    for (Command command :
         {Command::SaveList, Command::LoadList, Command::AddFolder, Command::AddFile, Command::OpenDownloads,
          Command::DownloadButton, Command::ScheduleOptions, Command::Options, Command::Help, Command::About}) {
        open();
        controller->onCommand(command);
        EXPECT_FALSE(viewerView.shown || viewer().fullScreenShown()) << static_cast<int>(command);
        EXPECT_EQ(controller->settings().list.kolprokr, 4);
        optionsView.shown = false;
    }
    open();
    controller->onCommand(Command::Next);
    controller->onCommand(Command::ShuffleToggle);
    EXPECT_TRUE(viewerView.shown);
    // Hiding the window to the tray, from the tray menu or by a click on the icon.
    controller->onCommand(Command::ShowHide);
    EXPECT_FALSE(viewerView.shown);
    controller->onCommand(Command::ShowHide);
    open();
    controller->onTrayMouse(TrayMouse::LeftDown);
    EXPECT_FALSE(viewerView.shown);
}

// The Escape or Space that answered the delete question is let go over the
// list, which never saw it pressed.
TEST_F(Viewer, AKeyReleasedWithoutItsPressDoesNothing) {
    startWith({good(1), good(2), good(3)}, 1);
    open();
    list().plistKeyUp(ListKey::Space);
    list().plistKeyUp(ListKey::Escape);
    EXPECT_TRUE(viewerView.shown);
    EXPECT_EQ(at(), "1 showing 1 of 1");
    press(ListKey::Space);
    EXPECT_EQ(at(), "2 showing 2 of 2");
}

TEST_F(Viewer, KeysSkipUnreadableRowsBothWaysAndRunRoundTheListOnlyWhileOpen) {
    startWith({good(1), junk(2), missing(3), good(4), junk(5), good(6)}, 1);
    EXPECT_FALSE(list().plistKeyDown(ListKey::Up, false, false) || list().plistKeyDown(ListKey::Left, false, false));
    EXPECT_EQ(at(), "1 showing nothing of 0");
    list().moveCurrentRow(6, false);
    EXPECT_FALSE(list().plistKeyDown(ListKey::Down, false, false) || list().plistKeyDown(ListKey::Right, false, false));
    press(ListKey::Space);
    EXPECT_EQ(at(), "6 showing nothing of 0");

    list().moveCurrentRow(3, false);
    open();
    EXPECT_EQ(at(), "4 showing 4 of 1");  // the selection ends on the row shown
    const std::pair<ListKey, const char*> steps[] = {
        {ListKey::Up, "1 showing 1 of 2"},  // 3 and 2 unreadable
        {ListKey::Up, "6 showing 6 of 3"},  // round to the other end
        {ListKey::Down, "1 showing 1 of 4"},
        {ListKey::Left, "6 showing 6 of 5"},
        {ListKey::Right, "1 showing 1 of 6"},
        {ListKey::Right, "4 showing 4 of 7"},  // 2 and 3 unreadable
        {ListKey::Down, "6 showing 6 of 8"},
        {ListKey::Space, "6 showing 6 of 9"},  // the last row: it stays and is shown again
        {ListKey::Left, "4 showing 4 of 10"},
        {ListKey::Space, "6 showing 6 of 11"}};
    for (const auto& [key, expected] : steps) {
        press(key);
        EXPECT_EQ(at(), expected) << static_cast<int>(key);
    }
}

void onSmallStack(std::size_t bytes, std::function<void()> f) {
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes) + pthread_attr_setstacksize(&attributes, bytes), 0);
    auto run = [](void* job) -> void* { return (*static_cast<std::function<void()>*>(job))(), nullptr; };
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, run, &f), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

TEST_F(Viewer, ALongRunOfUnreadableFilesIsSkipped) {
    std::vector<std::string> paths(20000, missing(0));
    paths.push_back(good(1));
    startWith(paths, 1);
    // Half the Windows main thread's stack.
    onSmallStack(512 * 1024, [&] { open(); });
    EXPECT_EQ(at(), "20001 showing 1 of 1");
}

TEST_F(Viewer, DeleteShowsTheRowThatBecameCurrentAndAnEmptyListNothing) {
    setting("kolprokr", "4");
    startWith({good(1), good(2), good(3), good(4)}, 2);
    open();
    list().plistKeyDown(ListKey::Delete, false, false);
    EXPECT_EQ(at(), "2 showing 3 of 2");
    list().moveCurrentRow(3, false);  // the last row, good(4)
    list().plistKeyDown(ListKey::Delete, false, false);
    EXPECT_EQ(at(), "2 showing 3 of 3");

    const int before = shown();
    list().moveCurrentRow(1, false);
    list().moveCurrentRow(2, true);
    list().plistKeyDown(ListKey::Delete, false, false);
    ASSERT_TRUE(list().list().empty());
    press(ListKey::Up);
    press(ListKey::Down);
    EXPECT_EQ(shown(), before);
    press(ListKey::Escape);
    open();
    EXPECT_FALSE(viewer().fullScreenShown() || viewerView.shown);
    EXPECT_EQ(controller->settings().list.kolprokr, 4);
}

TEST_F(Viewer, WheelShowsTheNewRowInItsDirectionAndHoldsAtTheEnds) {
    startWith({junk(1), good(2), junk(3), good(4), junk(5)}, 2);
    open();
    const std::pair<bool, const char*> steps[] = {
        {true, "4 showing 4 of 2"},    // 3 is unreadable: on to 4
        {true, "5 showing 4 of 2"},    // 5 is unreadable and nothing is below it
        {true, "4 showing 4 of 3"},    // at the last row it is shown backward: back to 4
        {false, "2 showing 2 of 4"},   // 3 is unreadable: back to 2
        {false, "1 showing 2 of 4"},   // 1 is unreadable and nothing is above it
        {false, "2 showing 2 of 5"}};  // at the top row 1 is shown forward: on to 2
    for (const auto& [down, expected] : steps) {
        down ? list().plistMouseWheelDown() : list().plistMouseWheelUp();
        EXPECT_EQ(at(), expected) << (down ? "down" : "up");
    }
}

}  // namespace
}  // namespace ostrel::testing
