// The full-screen viewer: how a picture is fitted to the screen, and the
// viewer driven by the list's keys and wheel through the main controller.
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

struct SizeCase {
    bool stretch, proportional;
    ImageSize picture, expected;
};

class ViewerPictureSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ViewerPictureSize, OnA1280x1024Screen) {
    const SizeCase& c = GetParam();
    EXPECT_EQ(viewerPictureSize(c.picture, {1280, 1024}, {c.stretch, c.proportional}), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ViewerPictureSize,
    ::testing::Values(
        // Stretch off, proportional on: own size, shrunk to fit only when larger.
        SizeCase{false, true, {800, 600}, {800, 600}}, SizeCase{false, true, {6000, 4000}, {1280, 853}},
        SizeCase{false, true, {1000, 2000}, {512, 1024}}, SizeCase{false, true, {1281, 1024}, {1280, 1023}},
        SizeCase{false, true, {5000, 1}, {1280, 1}},
        // Stretch off, proportional off: always its own size, cut at the edges.
        SizeCase{false, false, {6000, 4000}, {6000, 4000}},
        // Stretch on: fitted up or down keeping proportions, or the whole screen.
        SizeCase{true, true, {800, 600}, {1280, 960}}, SizeCase{true, true, {100, 200}, {512, 1024}},
        SizeCase{true, false, {800, 600}, {1280, 1024}}));

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

class Viewer : public ControllerTest {
protected:
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
    EXPECT_FALSE(viewer().fullScreenShown());
    EXPECT_EQ(viewerView.showings, 0);
    EXPECT_EQ(shown(), 0);
    EXPECT_EQ(controller->settings().kolprokr, 4);
}

TEST_F(Viewer, WheelMovesOneRowWhileOpenAndTheSettingComesBack) {
    setting("kolprokr", "5");
    startWith({good(1), good(2), good(3), good(4), good(5), good(6), good(7), good(8)}, 2);
    controller->onCommand(Command::FullScreen);
    ASSERT_TRUE(viewerView.shown);
    EXPECT_EQ(centre(), colourOf(2));
    EXPECT_EQ(controller->settings().kolprokr, 1);
    EXPECT_EQ(viewer().savedWheelRows(), 5);

    list().plistMouseWheelDown();
    EXPECT_EQ(row(), 3);
    EXPECT_EQ(centre(), colourOf(3));

    controller->onCommand(Command::FullScreen);  // asked again while open: the 5 is not lost
    press(ListKey::Escape);
    EXPECT_FALSE(viewerView.shown);
    EXPECT_FALSE(viewer().fullScreenShown());
    EXPECT_EQ(controller->settings().kolprokr, 5);
    list().plistMouseWheelDown();
    EXPECT_EQ(row(), 8);  // five rows again, clamped at the last

    // Closed already: a later close must not bring back a stale setting.
    controller->mutableSettings().kolprokr = 7;
    viewer().close();
    press(ListKey::Escape);
    EXPECT_EQ(controller->settings().kolprokr, 7);
}

TEST_F(Viewer, AClickClosesItAndExitWhileOpenSavesTheUsersWheelSetting) {
    setting("kolprokr", "3");
    startWith({good(1), good(2)}, 1);
    controller->onCommand(Command::FullScreen);
    viewer().close();  // Image1Click
    EXPECT_FALSE(viewerView.shown);
    EXPECT_EQ(controller->settings().kolprokr, 3);

    controller->onCommand(Command::FullScreen);
    controller->FormDestroy();
    EXPECT_EQ(stored("kolprokr"), "3");
}

TEST_F(Viewer, SkipsUnreadableRunsBothWaysAndKeepsThePictureAtTheEnds) {
    startWith({good(1), junk(2), missing(3), junk(4), good(5), junk(6), missing(7)}, 2);
    controller->onCommand(Command::FullScreen);
    EXPECT_EQ(centre(), colourOf(5));
    EXPECT_EQ(row(), 5);  // the selection ends on the row shown

    press(ListKey::Down);  // 6 and 7 unreadable, and no row after them
    EXPECT_EQ(shown(), 1);
    EXPECT_EQ(row(), 7);

    press(ListKey::Up);
    EXPECT_EQ(centre(), colourOf(5));
    EXPECT_EQ(row(), 5);
    press(ListKey::Left);
    EXPECT_EQ(centre(), colourOf(1));
    EXPECT_EQ(row(), 1);
    EXPECT_EQ(shown(), 3);
}

// Runs f on a thread with a stack of the given size.
void onSmallStack(std::size_t bytes, std::function<void()> f) {
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, bytes), 0);
    pthread_t thread;
    ASSERT_EQ(pthread_create(
                  &thread, &attributes,
                  [](void* job) -> void* {
                      (*static_cast<std::function<void()>*>(job))();
                      return nullptr;
                  },
                  &f),
              0);
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
    EXPECT_EQ(centre(), colourOf(1));
    EXPECT_EQ(row(), 20001);
}

struct WrapCase {
    ListKey key;
    int from, to;
};

class ViewerWrap : public Viewer, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(ViewerWrap, ArrowsRunRoundTheListOnlyWhileOpen) {
    const WrapCase& c = GetParam();
    startWith({good(1), good(2), good(3)}, c.from);
    EXPECT_FALSE(list().plistKeyDown(c.key, false, false));  // closed: the grid's own step
    EXPECT_EQ(row(), c.from);

    controller->onCommand(Command::FullScreen);
    EXPECT_TRUE(list().plistKeyDown(c.key, false, false));
    EXPECT_EQ(row(), c.to);
    list().plistKeyUp(c.key);
    EXPECT_EQ(centre(), colourOf(c.to));
}

INSTANTIATE_TEST_SUITE_P(Keys, ViewerWrap,
                         ::testing::Values(WrapCase{ListKey::Up, 1, 3}, WrapCase{ListKey::Left, 1, 3},
                                           WrapCase{ListKey::Down, 3, 1}, WrapCase{ListKey::Right, 3, 1}));

TEST_F(Viewer, SpaceMovesDownAndShowsOnlyWhileOpen) {
    startWith({good(1), good(2), good(3)}, 2);
    press(ListKey::Space);
    EXPECT_EQ(row(), 2);

    controller->onCommand(Command::FullScreen);
    press(ListKey::Space);
    EXPECT_EQ(row(), 3);
    EXPECT_EQ(centre(), colourOf(3));
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
    EXPECT_EQ(row(), 4);
    EXPECT_EQ(centre(), colourOf(4));
    list().plistMouseWheelDown();  // 5 is unreadable and nothing is below it
    EXPECT_EQ(row(), 5);
    EXPECT_EQ(shown(), 2);
    list().plistMouseWheelDown();  // at the last row it is shown backward: back to 4
    EXPECT_EQ(row(), 4);
    EXPECT_EQ(shown(), 3);
    EXPECT_EQ(centre(), colourOf(4));

    list().plistMouseWheelUp();  // 3 is unreadable: back to 2
    EXPECT_EQ(row(), 2);
    EXPECT_EQ(centre(), colourOf(2));
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

struct ModeCase {
    ViewerDisplay display;
    ImageSize picture;
    // Where the picture reaches on the 64 × 48 screen.
    int left, top, right, bottom;
};

class ViewerModes : public Viewer, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ViewerModes, TheDisplaySetForTheNextPicture) {
    const ModeCase& c = GetParam();
    startWith({good(1, c.picture.width, c.picture.height)}, 1);
    viewer().setDisplay(c.display);
    controller->onCommand(Command::FullScreen);
    ASSERT_EQ(shown(), 1);
    const Image& screen = viewerView.pictures.back();
    ASSERT_EQ(screen.size(), (ImageSize{kScreen.width, kScreen.height}));
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x) {
            const bool inside = c.left <= x && x < c.right && c.top <= y && y < c.bottom;
            ASSERT_EQ(pixelAt(screen, x, y), inside ? colourOf(1) : Bgr{}) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Displays, ViewerModes,
    ::testing::Values(ModeCase{{false, true}, {16, 12}, 24, 18, 40, 30},     // own size, centred
                      ModeCase{{false, true}, {256, 96}, 0, 12, 64, 36},     // shrunk to fit
                      ModeCase{{false, false}, {100, 30}, 0, 9, 64, 39},     // cut at the edges
                      ModeCase{{true, true}, {16, 16}, 8, 0, 56, 48},        // fitted up
                      ModeCase{{true, false}, {16, 16}, 0, 0, 64, 48}));     // the whole screen

}  // namespace
}  // namespace ostrel::testing
