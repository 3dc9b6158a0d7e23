// How a picture is fitted to the screen, as a wallpaper and in the
// full-screen viewer, and the viewer driven by the list's keys and wheel
// through the main controller.
#include "changer/FitToScreen.h"
#include "changer/FullScreenViewer.h"

#include <pthread.h>

#include <algorithm>
#include <functional>

#include "../app/ControllerFixture.h"
#include "fakes/TestImages.h"
#include "imaging/BmpCodec.h"

namespace ostrel::testing {
namespace {

// ---- fitting a picture to the screen ----

std::string text(ImageSize s) { return std::to_string(s.width) + "x" + std::to_string(s.height); }

TEST(FitToScreen, FillsOneSideKeepingTheAspectRoundedHalfToEven) {
    const struct { ImageSize picture; ScreenSize screen; const char* expected; } cases[] = {
        {{1600, 1200}, {1280, 1024}, "1280x960"},    // wider than the screen: full width
        {{4000, 3000}, {1024, 768}, "1024x768"},     // same aspect: the screen itself
        {{1001, 1600}, {1920, 1080}, "676x1080"},    // taller: full height, 675.68 rounds up
        {{3000, 1000}, {1024, 768}, "1024x341"},     // 341.33 rounds down
        {{512, 337}, {1280, 1024}, "1280x842"},      // exact ties (factor 2.5): to even
        {{512, 335}, {1280, 1024}, "1280x838"},
        // The factor rounded to a double lands just above a tie: 0.675 is
        // 0.67500000000000004..., so 1020 x it is a hair above 688.5.
        {{1020, 1600}, {1920, 1080}, "689x1080"},
        {{2304, 1287}, {1920, 1080}, "1920x1073"},   // 1287 x 0.8333...37 = 1072.50000000000005
        {{65535, 65534}, {65535, 65535}, "65535x65534"},  // products beyond 32 bits
        {{55000, 40000}, {50000, 40000}, "50000x36364"},  // 2.2e9 against 2.0e9
        {{0, 100}, {1024, 768}, "0x100"},            // nothing to fit: the picture unchanged
        {{100, -5}, {1024, 768}, "100x-5"},
        {{100, 50}, {0, 0}, "100x50"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(xyforscreen(c.picture, c.screen)), c.expected)
            << text(c.picture) << " on " << c.screen.width << "x" << c.screen.height;
}

TEST(ViewerPictureSize, OnA1280x1024ScreenByTheDisplayModes) {
    const struct { bool stretch, proportional; ImageSize picture, expected; } cases[] = {
        // Stretch off, proportional on: own size, shrunk to fit only when larger.
        {false, true, {800, 600}, {800, 600}}, {false, true, {6000, 4000}, {1280, 853}},
        {false, true, {1000, 2000}, {512, 1024}}, {false, true, {1281, 1024}, {1280, 1023}},
        {false, true, {5000, 1}, {1280, 1}},
        {false, false, {6000, 4000}, {6000, 4000}},  // stretch and proportional off: own size, cut at the edges
        // Stretch on: fitted up or down keeping proportions, or the whole screen.
        {true, true, {800, 600}, {1280, 960}}, {true, true, {100, 200}, {512, 1024}},
        {true, false, {800, 600}, {1280, 1024}}};
    for (const auto& c : cases)
        EXPECT_EQ(text(viewerPictureSize(c.picture, {1280, 1024}, {c.stretch, c.proportional})), text(c.expected))
            << text(c.picture) << (c.stretch ? " stretched" : "") << (c.proportional ? " proportional" : "");
}

TEST(ViewerScreen, CutsALargerPictureEvenlyAtBothEdges) {
    const Image large = makeImage(12, 8, [](int x, int y) { return Bgr{static_cast<std::uint8_t>(x), 9, static_cast<std::uint8_t>(y)}; });
    const Image cut = viewerScreen(large, {8, 6});
    ASSERT_EQ(cut.size(), (ImageSize{8, 6}));
    EXPECT_EQ(pixelAt(cut, 0, 0), pixelAt(large, 2, 1));
    EXPECT_EQ(pixelAt(cut, 7, 5), pixelAt(large, 9, 6));
}

// ---- the viewer and the list ----

constexpr ScreenSize kScreen{64, 48};

Bgr colourOf(int i) { return {static_cast<std::uint8_t>(20 * i), static_cast<std::uint8_t>(250 - 20 * i), 77}; }

struct Viewer : ControllerTest {
    Viewer() { desktop.screen = kScreen; }

    ListController& list() { return controller->listController(); }
    FullScreenViewer& viewer() { return controller->viewer(); }
    int row() { return list().grid().currentRow; }

    // A 16 × 12 bitmap in the colour of i, so the screen's centre tells which was shown.
    std::string good(int i, int w = 16, int h = 12) {
        MemoryWriteStream out;
        EXPECT_TRUE(writeBmp24(solidImage(w, h, colourOf(i)), out));
        return temp.write("good" + std::to_string(i) + ".bmp", out.bytes);
    }
    std::string junk(int i) { return temp.write("junk" + std::to_string(i) + ".jpg", "\xFF\xD8\xFF broken"); }
    std::string missing(int i) { return temp.file("gone" + std::to_string(i) + ".bmp"); }

    void startWith(const std::vector<std::string>& paths, int selected) {
        workingList(paths);
        setting("selected", std::to_string(selected));
        start();
        list().grid().heightPixels = 300;
    }

    int shown() const { return static_cast<int>(viewerView.pictures.size()); }
    Bgr centre() const { return pixelAt(viewerView.pictures.back(), kScreen.width / 2, kScreen.height / 2); }
    // The selection's row and the row whose picture the screen shows.
    std::string at() { return std::to_string(row()) + " showing " + std::to_string(centre().b / 20); }

    // A key as the grid delivers it: the list's handler first, then the
    // grid's own step when the handler leaves the key to it, then the release.
    void press(ListKey key) {
        if (!list().plistKeyDown(key, false, false)) {
            const int last = list().list().rowCount() - 1;
            if (key == ListKey::Up || key == ListKey::Left) list().moveCurrentRow(std::max(1, row() - 1), false);
            if (key == ListKey::Down || key == ListKey::Right) list().moveCurrentRow(std::min(last, row() + 1), false);
        }
        list().plistKeyUp(key);
    }
};

TEST_F(Viewer, OpeningOnAnEmptyListDoesNothing) {
    setting("kolprokr", "4");
    start();
    controller->onCommand(Command::FullScreen);
    EXPECT_FALSE(viewer().fullScreenShown() || viewerView.shown);
    EXPECT_EQ(shown(), 0);
    EXPECT_EQ(controller->settings().kolprokr, 4);
}

TEST_F(Viewer, WheelMovesOneRowWhileOpenAndTheUsersSettingComesBackAfterItAndAtExit) {
    setting("kolprokr", "5");
    startWith({good(1), good(2), good(3), good(4), good(5), good(6), good(7), good(8)}, 2);
    controller->onCommand(Command::FullScreen);
    ASSERT_TRUE(viewerView.shown);
    EXPECT_EQ(centre(), colourOf(2));
    EXPECT_EQ(controller->settings().kolprokr, 1);
    list().plistMouseWheelDown();
    EXPECT_EQ(at(), "3 showing 3");

    controller->onCommand(Command::FullScreen);  // asked again while open: the 5 is not lost
    press(ListKey::Escape);
    EXPECT_FALSE(viewerView.shown || viewer().fullScreenShown());
    EXPECT_EQ(controller->settings().kolprokr, 5);
    list().plistMouseWheelDown();
    EXPECT_EQ(row(), 8);  // five rows again, clamped at the last

    // Closed already: a later close must not bring back a stale setting.
    controller->mutableSettings().kolprokr = 7;
    viewer().close();
    EXPECT_EQ(controller->settings().kolprokr, 7);
    controller->onCommand(Command::FullScreen);  // open at exit: the user's setting is saved
    controller->FormDestroy();
    EXPECT_EQ(stored("kolprokr"), "7");
}

TEST_F(Viewer, SkipsUnreadableRunsBothWaysAndKeepsThePictureAtTheEnds) {
    startWith({good(1), junk(2), missing(3), junk(4), good(5), junk(6), missing(7)}, 2);
    controller->onCommand(Command::FullScreen);
    EXPECT_EQ(at(), "5 showing 5");  // the selection ends on the row shown

    press(ListKey::Down);  // 6 and 7 unreadable, and no row after them
    EXPECT_EQ(shown(), 1);
    EXPECT_EQ(row(), 7);

    press(ListKey::Up);
    EXPECT_EQ(at(), "5 showing 5");
    press(ListKey::Left);
    EXPECT_EQ(at(), "1 showing 1");
    EXPECT_EQ(shown(), 3);
}

// Runs f on a thread with a stack of the given size.
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
    // Half the Windows main thread's stack: a skip that recursed would overflow it.
    onSmallStack(512 * 1024, [&] { controller->onCommand(Command::FullScreen); });
    ASSERT_EQ(shown(), 1);
    EXPECT_EQ(at(), "20001 showing 1");
}

TEST_F(Viewer, ArrowsRunRoundTheListOnlyWhileOpen) {
    const std::tuple<ListKey, int, int> cases[] = {
        {ListKey::Up, 1, 3}, {ListKey::Left, 1, 3}, {ListKey::Down, 3, 1}, {ListKey::Right, 3, 1}};
    for (const auto& [key, from, to] : cases) {
        rebuild();
        startWith({good(1), good(2), good(3)}, from);
        EXPECT_FALSE(list().plistKeyDown(key, false, false));  // closed: the grid's own step
        EXPECT_EQ(row(), from);
        controller->onCommand(Command::FullScreen);
        EXPECT_TRUE(list().plistKeyDown(key, false, false));
        list().plistKeyUp(key);
        EXPECT_EQ(at(), std::to_string(to) + " showing " + std::to_string(to));
    }
}

TEST_F(Viewer, SpaceMovesDownAndShowsOnlyWhileOpen) {
    startWith({good(1), good(2), good(3)}, 2);
    press(ListKey::Space);
    EXPECT_EQ(row(), 2);

    controller->onCommand(Command::FullScreen);
    press(ListKey::Space);
    EXPECT_EQ(at(), "3 showing 3");
    press(ListKey::Space);  // the last row: it stays and is shown again
    EXPECT_EQ(row(), 3);
    EXPECT_EQ(shown(), 3);
}

TEST_F(Viewer, DeleteShowsTheRowThatBecameCurrent) {
    startWith({good(1), good(2), good(3), good(4)}, 2);
    controller->onCommand(Command::FullScreen);
    ASSERT_EQ(centre(), colourOf(2));
    list().plistKeyDown(ListKey::Delete, false, false);
    EXPECT_EQ(centre(), colourOf(3));
    list().moveCurrentRow(3, false);  // the last row, good(4)
    list().plistKeyDown(ListKey::Delete, false, false);
    EXPECT_EQ(centre(), colourOf(3));

    // Emptied with the viewer open: nothing left to show, the picture stays.
    const int before = shown();
    list().moveCurrentRow(1, false);
    list().moveCurrentRow(2, true);
    list().plistKeyDown(ListKey::Delete, false, false);
    EXPECT_TRUE(list().list().empty());
    EXPECT_EQ(shown(), before);
    press(ListKey::Up);
    press(ListKey::Down);
    EXPECT_EQ(shown(), before);
}

TEST_F(Viewer, WheelShowsTheNewRowInItsDirectionAndHoldsAtTheEnds) {
    startWith({junk(1), good(2), junk(3), good(4), junk(5)}, 2);
    controller->onCommand(Command::FullScreen);
    list().plistMouseWheelDown();  // 3 is unreadable: on to 4
    EXPECT_EQ(at(), "4 showing 4");
    list().plistMouseWheelDown();  // 5 is unreadable and nothing is below it
    EXPECT_EQ(row(), 5);
    EXPECT_EQ(shown(), 2);
    list().plistMouseWheelDown();  // at the last row it is shown backward: back to 4
    EXPECT_EQ(row(), 4);
    EXPECT_EQ(shown(), 3);
    EXPECT_EQ(centre(), colourOf(4));

    list().plistMouseWheelUp();  // 3 is unreadable: back to 2
    EXPECT_EQ(at(), "2 showing 2");
    list().plistMouseWheelUp();  // 1 is unreadable and nothing is above it
    EXPECT_EQ(row(), 1);
    EXPECT_EQ(shown(), 4);
    list().plistMouseWheelUp();  // at the top row 1 is shown forward: on to 2
    EXPECT_EQ(row(), 2);
    EXPECT_EQ(shown(), 5);
    EXPECT_EQ(centre(), colourOf(2));
}

TEST_F(Viewer, WheelJumpBackToTheTopShowsNothing) {
    startWith({good(1), good(2), good(3), good(4), good(5), good(6)}, 2);
    controller->onCommand(Command::FullScreen);
    // Scrolled away from the top with the current row within a step of it (a
    // wheel setting changed while open): both go to row 1, the picture stays.
    controller->mutableSettings().kolprokr = 3;
    list().scrollTo(5);
    list().plistMouseWheelUp();
    EXPECT_EQ(row(), 1);
    EXPECT_EQ(list().grid().firstVisibleRow, 1);
    EXPECT_EQ(shown(), 1);
    EXPECT_EQ(centre(), colourOf(2));
}

}  // namespace
}  // namespace ostrel::testing
