// The downloads as the main window wires them: TimerDownload, the stop and
// exit commands during a run, the toolbar button, and what reaches the list.
#include <filesystem>

#include "ControllerFixture.h"
#include "download/CatalogueUrls.h"

namespace ostrel::testing {
namespace {

struct DownloadWiring : ControllerTest {
    DownloadWiring() { setting("loadnew", "1"); }
    std::string catalogue() const { return hostDataFolder() + "/download/"; }
    std::string path(std::size_t i) const {
        return std::string(catalogueUrlPath(catalogueBaseUrl(), fetches.started.at(i).request.url));
    }
    std::string index(int records) const {
        std::string text;
        for (int n = 1; n <= records; ++n)
            text += "images/p" + std::to_string(n) + ".bmp small/p" + std::to_string(n) + ".bmp 1-12-26\n";
        return text;
    }
};

TEST_F(DownloadWiring, TheFirstRunComesFiveMinutesAfterStartTheNextOnesAfterEachRun) {
    start();
    advance(299999);
    EXPECT_TRUE(fetches.started.empty());
    advance(1);
    ASSERT_EQ(fetches.started.size(), 1u);
    EXPECT_EQ(path(0), "rz.txt");
    EXPECT_TRUE(controller->autoDownloading());
    EXPECT_EQ(timers.interval(TimerId::Download), 300000u);  // still: the run is not over

    fetches.finish(0, index(2));
    EXPECT_EQ(notice.shown, 1);
    EXPECT_EQ(path(1), "images/p2.bmp");  // from the last record back
    fetches.finish(1, "BM");
    fetches.finish(2, "BM");
    EXPECT_FALSE(controller->autoDownloading());
    EXPECT_EQ(timers.interval(TimerId::Download), kAutoDownloadIntervalMs);
    // Both pictures joined the list, the prober restarted at row 1.
    ASSERT_EQ(controller->list().rowCount(), 3);
    EXPECT_EQ(controller->list().path(1), dataFolder() + "\\walls\\p2.bmp");
    EXPECT_EQ(controller->list().fixedRows(), 1);
    EXPECT_TRUE(controller->listController().model().probing());
}

TEST_F(DownloadWiring, ConfirmingTheOptionsLeavesTheWaitForTheNextRunRunning) {
    start();
    controller->onTimer(TimerId::Download);
    fetches.finish(0, index(1));
    fetches.finish(1, "BM");
    advance(10 * 3600000);
    controller->onCommand(Command::Options);
    ASSERT_TRUE(controller->options().confirm());  // downloading by itself stays on
    advance(kAutoDownloadIntervalMs - 10 * 3600000);
    ASSERT_EQ(fetches.started.size(), 3u);  // 16 h 40 min after the last run, not after the "ОК"
    EXPECT_EQ(path(2), "rz.txt");
}

TEST_F(DownloadWiring, StopAndExitDuringARunReachTheFetchInHand) {
    start();
    controller->onTimer(TimerId::Download);
    fetches.finish(0, index(3));
    ASSERT_EQ(fetches.started.size(), 2u);
    // The toolbar's button waits for the run; the menu's item does not.
    controller->onCommand(Command::DownloadButton);
    EXPECT_FALSE(browserView.clockStarts);
    int opened = 0;
    browserView.whileShown = [&] {
        ++opened;
        controller->onTimer(TimerId::Download);  // no second run while the browser shows
    };
    controller->onCommand(Command::OpenDownloads);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(fetches.started.size(), 3u);  // the run's picture and the browser's index

    controller->onCommand(Command::StopDownload);  // the tray's item
    EXPECT_TRUE(fetches.started[1].stop->load());
    EXPECT_EQ(timers.interval(TimerId::Download), kAutoDownloadIntervalMs);
    fetches.finish(1, "", FetchOutcome::Stopped);
    EXPECT_FALSE(controller->autoDownloading());

    // An exit during the next run's picture: it stops after its block and the program ends.
    controller->onTimer(TimerId::Download);
    fetches.finish(fetches.last(), index(3));
    const std::size_t picture = fetches.last();
    controller->onCommand(Command::Exit);
    EXPECT_TRUE(fetches.started[picture].stop->load());
    EXPECT_GE(view.quits, 1);
}

TEST_F(DownloadWiring, ABrowserDownloadIsANewRowProbedAtOnceAndTheListIsSavedOnClosing) {
    start();
    const std::string walls = hostDataFolder() + "/walls/";
    browserView.whileShown = [&] {
        fetches.finish(0, index(4));
        for (std::size_t i = 1; i <= 4; ++i) fetches.finish(i, "preview");
        controller->downloadBrowser().downloadpic(3);
        // A real picture, so that its resolution can be probed.
        const std::string made = picture("made.bmp", 7, 5);
        std::filesystem::copy_file(made, walls + "p3.bmp");
        std::filesystem::remove(made);
        fetches.started[5].finished = true;
        fetches.started[5].done({FetchOutcome::Completed, std::filesystem::file_size(walls + "p3.bmp") + 1});
        ASSERT_EQ(controller->list().rowCount(), 2);
        EXPECT_EQ(controller->list().path(1), dataFolder() + "\\walls\\p3.bmp");
        headers.deliverAll();
        EXPECT_EQ(controller->list().resolution(1), "       7x5");  // right-aligned as the prober writes it
    };
    controller->onCommand(Command::OpenDownloads);
    EXPECT_NE(TempDir::read(hostDataFolder() + "/Default.tav").find("p3.bmp"), std::string::npos);
    EXPECT_EQ(TempDir::read(catalogue() + "loaded.txt"), "images/p3.bmp\r\n");
}

}  // namespace
}  // namespace ostrel::testing
