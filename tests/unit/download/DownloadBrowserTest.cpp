#include "download/DownloadBrowser.h"

#include <filesystem>

#include "download/ByteCountText.h"
#include "fakes/FakeDownloads.h"
#include "fakes/FakeServices.h"
#include "unit/download/DownloadFixture.h"

namespace ostrel::testing {
namespace {

// Record n (from 1): full path "full01/pNNN.jpg", preview "prv01/pNNN.jpg",
// a date that changes every three records.
std::string record(int n) {
    char line[96];
    std::snprintf(line, sizeof line, "full01/p%03d.jpg prv01/p%03d.jpg %d-12-26\n", n, n, 1 + (n - 1) / 3);
    return line;
}
std::string indexOf(int records) {
    std::string text;
    for (int n = 1; n <= records; ++n) text += record(n);
    return text;
}

struct DownloadBrowserTest : DownloadFolders {
    FakeFetches fetches;
    FakeTimers timers;
    FakeBrowserView view;
    Texts listed;
    int closings = 0;
    DownloadBrowser browser{
        fs,
        fetches,
        timers,
        view,
        {[this] { return data; }, [this] { return walls; }, [this] { return base; }, [] { return true; },
         [this](const std::string& p) { listed.push_back(p); }, [this] { ++closings; }}};

    DownloadBrowserTest() { view.browser = &browser; }
    std::string url(std::size_t i) const {
        return std::string(catalogueUrlPath(base, fetches.started.at(i).request.url));
    }
    // Finishes every transfer in hand (the index with this text, previews and
    // pictures with a few bytes) until none is left.
    void finishAll(const std::string& index) {
        for (std::size_t i = 0; i < fetches.started.size(); ++i)
            if (!fetches.started[i].finished) fetches.finish(i, url(i) == "rz.txt" ? index : "jpeg");
    }
    // Shows the dialog, lets it load page 1 of this index, then runs steps.
    void openWith(const std::string& index, const std::function<void()>& steps = {}) {
        view.whileShown = [&] {
            finishAll(index);
            if (steps) steps();
        };
        browser.show();
    }
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) browser.statusTick();
    }
};

TEST_F(DownloadBrowserTest, PagesOfFourOverTwentyFivePagesWithTheirDatesAndButtons) {
    openWith(indexOf(100), [&] {
        // The index, then the four previews of page 1 in slot order, named by n = 6.
        EXPECT_EQ((Texts{url(0), url(1), url(2), url(3), url(4)}),
                  (Texts{"rz.txt", "prv01/p001.jpg", "prv01/p002.jpg", "prv01/p003.jpg", "prv01/p004.jpg"}));
        EXPECT_EQ(fetches.started[1].request.localPath, catalogue + "p001.jpg");
        EXPECT_FALSE(fetches.started[1].request.replaceExisting);
        EXPECT_EQ(view.visible, (std::array<bool, 4>{true, true, true, true}));
        EXPECT_EQ(view.pictures[3], catalogue + "p004.jpg");
        EXPECT_EQ(view.date, "1-12 / 2-12");  // slot 1 and slot 4 differ
        EXPECT_EQ(view.pageLabel, "1/25");
        EXPECT_TRUE(!view.previous && view.next && view.note);
        EXPECT_EQ(view.status1, "");

        for (int page = 2; page <= 25; ++page) {
            browser.nextPage();
            finishAll("");
        }
        EXPECT_EQ(browser.page(), 25);
        EXPECT_EQ(browser.slot(1).fullPath, "full01/p097.jpg");
        EXPECT_EQ(browser.slot(4).fullPath, "full01/p100.jpg");
        EXPECT_EQ(view.date, "33-12 / 34-12");
        EXPECT_TRUE(view.previous && !view.next && !view.note);
        browser.nextPage();  // nothing past the last page
        EXPECT_EQ(browser.page(), 25);

        // Going back fetches nothing that is already there.
        const std::size_t before = fetches.started.size();
        browser.previousPage();
        EXPECT_EQ(fetches.started.size(), before);
        EXPECT_EQ(view.pageLabel, "24/25");
        EXPECT_EQ(view.date, "31-12 / 32-12");
        EXPECT_TRUE(view.previous && view.next && !view.note);
    });
    EXPECT_EQ(closings, 1);
    EXPECT_FALSE(timers.running(TimerId::LoadStatus));
}

TEST_F(DownloadBrowserTest, AShortIndexShowsTheRecordsItHasAndHidesUnsafeNames) {
    // Seven records, the fifth with a name that would leave the catalogue
    // folder; the last comes without its date, as a short index's last does.
    std::string index =
        indexOf(4) + "full01/p005.jpg prv01/..\\..\\evil.jpg 2-12-26\n" + indexOf(7).substr(5 * record(1).size());
    openWith(index, [&] {
        EXPECT_EQ(browser.lastPage(), 2);
        EXPECT_TRUE(view.next);
        browser.nextPage();
        finishAll("");
        EXPECT_EQ(view.visible, (std::array<bool, 4>{false, true, true, false}));
        EXPECT_EQ(browser.slot(3).date, "");
        EXPECT_EQ(view.date, "2-12");  // a missing date is left out
        EXPECT_FALSE(view.next);
        browser.downloadpic(1);  // the hidden slot of the unsafe name
        browser.downloadpic(4);  // past the end of the index
        EXPECT_TRUE(browser.pending().empty());
    });
    for (const auto& started : fetches.started) EXPECT_EQ(started.request.url.find(".."), std::string::npos);
}

TEST_F(DownloadBrowserTest, NoConnectionIsToldOnceThenTheDismissalStartsOverQuietly) {
    view.onMessage = [&] { browser.FormActivate(); };  // the box closes over the dialog
    view.whileShown = [&] {
        fetches.finish(0, "", FetchOutcome::UrlFailed);
        // The start-over fetched the index again; its failure is in the status bar only.
        ASSERT_EQ(fetches.started.size(), 2u);
        fetches.finish(1, "", FetchOutcome::UrlFailed);
        EXPECT_EQ(view.status1, "Интернет не подключен");
        // A later activation tells it again (a reply that fails part-way is
        // no connection either), and its dismissal is quiet again.
        browser.FormActivate();
        fetches.finish(2, "", FetchOutcome::ReadFailed);
        ASSERT_EQ(fetches.started.size(), 4u);
        fetches.finish(3, "", FetchOutcome::UrlFailed);
    };
    browser.show();
    EXPECT_EQ(view.messages, (Texts{"Интернет не подключен", "Интернет не подключен"}));
    EXPECT_EQ(view.visible, (std::array<bool, 4>{}));
    EXPECT_TRUE(!view.previous && !view.next);

    // The next showing tells it again; a preview failing ends the page there.
    view.whileShown = [&] {
        fetches.finish(4, indexOf(100));
        fetches.finish(5, "jpeg");
        fetches.finish(6, "", FetchOutcome::UrlFailed);
        EXPECT_EQ(view.status1, "");
    };
    view.onMessage = {};
    browser.show();
    EXPECT_EQ(view.messages.size(), 3u);
    EXPECT_TRUE(fs.fileExists(catalogue + "p001.jpg"));
    EXPECT_FALSE(fs.fileExists(catalogue + "p002.jpg"));
}

TEST_F(DownloadBrowserTest, AnActivationDuringAFetchStartsOverOnlyOnceItHasEnded) {
    view.whileShown = [&] {
        browser.FormActivate();  // one fetch at a time: nothing new yet
        EXPECT_EQ(fetches.started.size(), 1u);
        fetches.finish(0, indexOf(100));
        ASSERT_EQ(fetches.started.size(), 2u);
        EXPECT_EQ(url(1), "rz.txt");  // started over instead of going on with the previews
        finishAll(indexOf(100));
        EXPECT_EQ(view.pageLabel, "1/25");
    };
    browser.show();
}

TEST_F(DownloadBrowserTest, AClickFetchesThePictureOnceWhileItsLabelBlinks) {
    openWith(indexOf(100), [&] {
        browser.downloadpic(2);
        browser.downloadpic(2);  // a second click while it is fetched is ignored
        ASSERT_EQ(fetches.unfinished(), 1u);
        const auto& request = fetches.started.back().request;
        EXPECT_EQ(request.url, base + "full01/p002.jpg");
        EXPECT_EQ(request.localPath, walls + "p002.jpg");
        EXPECT_EQ(request.maxBytes, kPictureLimit);
        EXPECT_TRUE(request.replaceExisting);  // the click may replace a file of its name

        tick();
        EXPECT_EQ(view.labels[1], "С");
        tick(12);
        EXPECT_EQ(view.labels[1], "Скачивание...");
        tick();
        EXPECT_EQ(view.labels[1], "С");
    });
}

// Picture 2 fetched, 3 failed over an older copy, 4 cut short.
struct FetchedPictures : DownloadBrowserTest {
    void fetchThree() {
        TempDir::put(walls + "p003.jpg", "old");
        for (int n : {2, 3, 4}) browser.downloadpic(n);
        fetches.finish(fetches.last() - 2, "0123456789");
        fetches.finish(fetches.last() - 1, "", FetchOutcome::UrlFailed);
        fetches.finish(fetches.last(), "", FetchOutcome::Incomplete);
        tick();
    }
    // The slots' marks, on this showing and the next one.
    void expectMarks(const std::array<std::string, 4>& marks) {
        EXPECT_EQ(view.labels, marks);
        openWith(indexOf(100), [&] {
            tick();
            EXPECT_EQ(view.labels, marks);
        });
    }
};

TEST_F(FetchedPictures, OnlyTheFetchedOneIsRecordedListedAndMarkedSoAndAFailureKeepsNoFile) {
    openWith(indexOf(100), [&] { fetchThree(); });
    EXPECT_EQ(loaded(), "full01/p002.jpg\r\n");
    EXPECT_EQ(listed, Texts{walls + "p002.jpg"});
    EXPECT_EQ(TempDir::read(walls + "p003.jpg"), "old");
    expectMarks({"", "    Скачано", "    Ошибка", "    Ошибка"});
}

TEST_F(FetchedPictures, EachTransferCountsOneMoreThanItsBytesOverTheShowings) {
    openWith(indexOf(100), [&] { fetchThree(); });
    // The index, four previews, the picture; the failed ones 0.
    const std::uint64_t first = browser.byteTotal();
    EXPECT_EQ(first, (indexOf(100).size() + 1) + 4 * 5 + 11);
    EXPECT_EQ(view.status2, "Скачано " + tostr(first, ','));
    openWith(indexOf(100));
    EXPECT_GT(browser.byteTotal(), first);
}

TEST_F(DownloadBrowserTest, ClosingStopsAFetchAndOnlyAWholeBodyIsRecorded) {
    std::size_t stopped = 0, whole = 0;
    openWith(indexOf(100), [&] {
        browser.downloadpic(1);
        stopped = fetches.last();
        browser.downloadpic(2);
        whole = fetches.last();
        EXPECT_FALSE(fetches.started[stopped].stop->load());
    });
    EXPECT_TRUE(fetches.started[stopped].stop->load());
    EXPECT_TRUE(browser.pending().empty());
    fetches.finish(stopped, "", FetchOutcome::Stopped);
    EXPECT_EQ(loaded(), "<missing>");
    // Whole before the closing was seen: it was kept, so it is recorded too.
    fetches.finish(whole, "jpeg");
    EXPECT_EQ(loaded(), "full01/p002.jpg\r\n");
    EXPECT_EQ(listed, Texts{walls + "p002.jpg"});
}

// Names a preview must not have, fields with a line break and an empty full
// path: the record gets no slot, and nothing of it is fetched.
TEST_F(DownloadBrowserTest, ACatalogueFileNameOrAControlCharacterHidesTheRecord) {
    TempDir::put(loadedFile(), "full01/p001.jpg\r\n");
    const std::string index =
        "full01/a.jpg prv01/loaded.txt 1-12-26\n"
        "full01/b.jpg prv01/RZ.TXT 1-12-26\n"
        "full01/c\rd.jpg prv01/c.jpg 1-12-26\n"
        "full01/e.jpg prv01/Loaded.Txt 1-12-26\n"
        "full01/f.jpg prv01/f.jpg 1-12-2\x01\n"
        "full01/g.jpg prv01/g\x7f.jpg 1-12-26\n"
        " prv01/h.jpg 1-12-26\n";
    openWith(index, [&] {
        EXPECT_EQ(view.visible, (std::array<bool, 4>{}));
        browser.nextPage();
        finishAll("");
        EXPECT_EQ(view.visible, (std::array<bool, 4>{}));
    });
    ASSERT_EQ(fetches.started.size(), 1u);  // the index alone
    EXPECT_EQ(loaded(), "full01/p001.jpg\r\n");
}

TEST_F(DownloadBrowserTest, OpeningClearsPreviewsTheLastIndexNoLongerNames) {
    TempDir::put(catalogue + "rz.txt", indexOf(100));
    for (const char* name : {"p001.jpg", "stale.jpg", "loaded.txt"}) TempDir::put(catalogue + name, "x");
    view.whileShown = [&] {
        EXPECT_TRUE(fs.fileExists(catalogue + "p001.jpg"));
        EXPECT_FALSE(fs.fileExists(catalogue + "stale.jpg"));
        EXPECT_TRUE(fs.fileExists(catalogue + "loaded.txt"));
        EXPECT_EQ(view.status1, "Идет загрузка " + base + "rz.txt");
        EXPECT_EQ(fetches.started.at(0).request.maxBytes, kIndexLimit);
        EXPECT_TRUE(fetches.started.at(0).request.replaceExisting);
    };
    browser.show();
}

// A preview is scaled like the page around it, and one larger than its place
// (138 x 121 at 96 DPI) is brought down into it, keeping its proportions.
TEST(PreviewShownSize, ScaledWithThePageAndKeptInsideItsPlace) {
    const struct {
        int dpi;
        ImageSize picture;
        std::optional<ImageSize> shown;
    } cases[] = {
        {96, {138, 121}, std::nullopt},                                                  // as it comes: nothing to do
        {96, {100, 80}, std::nullopt},          {96, {276, 121}, ImageSize{138, 60}},    // too wide: halved, 60.5 cut
        {144, {100, 80}, ImageSize{150, 120}},  {144, {138, 121}, ImageSize{207, 182}},  // fills its scaled place
        {144, {276, 242}, ImageSize{207, 181}},                                          // the width decides
        {192, {69, 121}, ImageSize{138, 242}},  {144, {0, 121}, std::nullopt},           // no picture to size
    };
    for (const auto& c : cases)
        EXPECT_EQ(previewShownSize(c.picture, DpiScale(c.dpi)), c.shown)
            << c.dpi << " DPI, " << c.picture.width << " x " << c.picture.height;
}

}  // namespace
}  // namespace ostrel::testing
