#include "download/AutoDownload.h"

#include <filesystem>

#include "unit/download/DownloadFixture.h"

namespace ostrel::testing {
namespace {

struct FakePort final : AutoDownloadPort {
    void startFetch(const FetchRequest& request, const std::atomic<bool>&) override { fetches.push_back(request); }
    void showNotice() override { ++notices; }
    void terminate() override { ++terminations; }
    void addToList(const std::string& path) override { listed.push_back(path); }

    std::vector<FetchRequest> fetches;
    int notices = 0, terminations = 0;
    Texts listed;
};

std::string recordLine(const std::string& fullPath) { return fullPath + " prv001/p.jpg 1-01-06\n"; }

std::string pictureName(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "dir001/p%03d.jpg", n);
    return name;
}
// Records 0 to n - 1, fetched from the last back.
std::string indexOf(int n) {
    std::string index;
    for (int i = 0; i < n; ++i) index += recordLine(pictureName(i));
    return index;
}

struct AutoDownloadTest : DownloadFolders {
    FakePort port;
    bool addvlist = true;
    AutoDownload run{
        fs,
        port,
        {[this] { return data; }, [this] { return walls; }, [this] { return addvlist; }, [this] { return base; }}};

    // A fresh start for the next case: no record, no picture.
    void again() {
        port = {};
        std::filesystem::remove(TempDir::local(loadedFile()));
        for (const auto& entry : std::filesystem::directory_iterator(walls)) std::filesystem::remove(entry);
    }
    void startWithIndex(const std::string& index) {
        ASSERT_TRUE(run.tick(false));
        complete(index);
    }
    const FetchRequest& pending() const { return port.fetches.back(); }
    // The fetch in hand ends; only a whole body is in a file.
    void complete(const std::string& body, FetchOutcome outcome = FetchOutcome::Completed) {
        if (outcome == FetchOutcome::Completed) TempDir::put(pending().localPath, body);
        run.onFetched({outcome, body.size() + 1});
    }
    void fail(FetchOutcome outcome) { run.onFetched({outcome, 0}); }
    void completeAll() {
        for (std::size_t done = 0; run.autoDownloading() && done < 200; ++done) complete("jpeg");
    }
    Texts pictureFetches() const {
        Texts urls;
        for (std::size_t i = 1; i < port.fetches.size(); ++i)
            urls.push_back(std::string(catalogueUrlPath(base, port.fetches[i].url)));
        return urls;
    }
};

TEST_F(AutoDownloadTest, FetchesTheIndexThenRecordsFromTheHundredthBack) {
    for (bool list : {true, false}) {
        again();
        addvlist = list;
        startWithIndex(indexOf(102));
        ASSERT_EQ(port.fetches.size(), 2u);
        EXPECT_EQ(port.fetches[0].url, "http://cat.test/rz.txt");
        EXPECT_EQ(port.fetches[0].localPath, catalogue + "rz.txt");
        EXPECT_EQ(port.fetches[0].maxBytes, kIndexLimit);
        EXPECT_TRUE(port.fetches[0].replaceExisting);
        EXPECT_EQ(pending().url, "http://cat.test/dir001/p099.jpg");
        EXPECT_EQ(pending().localPath, walls + "p099.jpg");
        EXPECT_EQ(pending().maxBytes, kPictureLimit);
        EXPECT_FALSE(pending().replaceExisting);
        completeAll();
        Texts expected, files;
        std::string lines;
        for (int n = 99; n >= 0; --n) {
            expected.push_back(pictureName(n));
            files.push_back(walls + pictureName(n).substr(7));
            lines += pictureName(n) + "\r\n";
        }
        EXPECT_EQ(pictureFetches(), expected);
        EXPECT_EQ(loaded(), lines);
        EXPECT_EQ(port.listed, list ? files : Texts{});
        EXPECT_EQ(port.notices, 1);
        EXPECT_FALSE(run.autoDownloading() || run.stopDownload());
        EXPECT_EQ(TempDir::read(walls + "p000.jpg"), "jpeg");
    }
}

TEST_F(AutoDownloadTest, NothingNewStillShowsTheNoticeAndLeavesARecord) {
    const struct {
        std::string index, loadedBefore, loadedAfter;
    } cases[] = {
        {"", "<missing>", ""},
        {recordLine("dir001/a.jpg") + recordLine("dir001/b.jpg"), "dir001/b.jpg\r\ndir001/a.jpg\r\n",
         "dir001/b.jpg\r\ndir001/a.jpg\r\n"},
    };
    for (const auto& c : cases) {
        again();
        if (c.loadedBefore != "<missing>") TempDir::put(loadedFile(), c.loadedBefore);
        startWithIndex(c.index);
        EXPECT_EQ(port.notices, 1);
        EXPECT_EQ(port.fetches.size(), 1u);
        EXPECT_TRUE(port.listed.empty());
        EXPECT_EQ(loaded(), c.loadedAfter);
        EXPECT_FALSE(run.autoDownloading());
    }
}

// The downloaded list is read once, at the start; the second time a record
// comes, its picture's name is taken, so it is not fetched again.
TEST_F(AutoDownloadTest, ARecordTwiceInTheIndexIsFetchedOnce) {
    TempDir::put(loadedFile(), "dir001/old.jpg\r\n");
    startWithIndex(recordLine("dir001/a.jpg") + recordLine("dir001/old.jpg") + recordLine("dir001/b.jpg") +
                   recordLine("dir001/a.jpg"));
    completeAll();
    EXPECT_EQ(pictureFetches(), (Texts{"dir001/a.jpg", "dir001/b.jpg"}));
    EXPECT_EQ(loaded(), "dir001/old.jpg\r\ndir001/a.jpg\r\ndir001/b.jpg\r\n");
}

// A file of that name already in the download folder (the user's own, or
// another record's) is never fetched over: the record waits, unrecorded.
TEST_F(AutoDownloadTest, ANameAlreadyTakenIsPassedOver) {
    TempDir::put(walls + "p001.jpg", "mine");
    // From the last record back: dir002/p003.jpg comes first and takes the name p003.jpg.
    startWithIndex(indexOf(4) + recordLine("dir002/p003.jpg"));
    complete("first");
    // A name taken while the picture came is passed over the same way.
    complete("", FetchOutcome::NameTaken);
    complete("zero");
    EXPECT_EQ(pictureFetches(), (Texts{"dir002/p003.jpg", pictureName(2), pictureName(0)}));
    EXPECT_EQ(TempDir::read(walls + "p001.jpg"), "mine");
    EXPECT_EQ(TempDir::read(walls + "p003.jpg"), "first");
    EXPECT_EQ(loaded(), "dir002/p003.jpg\r\n" + pictureName(0) + "\r\n");
    EXPECT_FALSE(run.autoDownloading());
}

// A stop or an exit while the index or a picture comes ends the run once the
// fetch in hand is over: nothing more is asked for, a picture that came
// anyway is dropped, and an exit ends the program then.
struct Interruption {
    const char* name;
    bool exit, duringIndex;
    FetchOutcome outcome;
    friend void PrintTo(const Interruption& c, std::ostream* out) { *out << c.name; }
};

struct Interrupted : AutoDownloadTest, ::testing::WithParamInterface<Interruption> {};

TEST_P(Interrupted, EndsTheRunAfterTheFetchInHand) {
    const Interruption& c = GetParam();
    if (c.duringIndex) {
        ASSERT_TRUE(run.tick(false));
    } else {
        startWithIndex(indexOf(3));
        complete("whole");  // p002 is kept
    }
    c.exit ? run.requestExit() : run.requestStop();
    EXPECT_EQ(port.terminations, 0);
    complete(c.duringIndex ? indexOf(1) : "part", c.outcome);
    EXPECT_EQ(port.terminations, c.exit ? 1 : 0);
    EXPECT_EQ(port.fetches.size(), c.duringIndex ? 1u : 3u);  // p000 never asked for
    EXPECT_FALSE(fs.fileExists(walls + "p001.jpg"));
    EXPECT_EQ(loaded(), c.duringIndex ? "<missing>" : pictureName(2) + "\r\n");
    EXPECT_EQ(port.listed, c.duringIndex ? Texts{} : Texts{walls + "p002.jpg"});
    EXPECT_FALSE(run.autoDownloading());
    if (c.exit) return;
    EXPECT_EQ(port.notices, 1);
    EXPECT_TRUE(run.stopDownload());  // cleared by the next tick
    EXPECT_TRUE(run.tick(false));
    EXPECT_FALSE(run.stopDownload());
}

INSTANTIATE_TEST_SUITE_P(AutoDownload, Interrupted,
                         ::testing::Values(Interruption{"StopDuringTheIndex", false, true, FetchOutcome::Completed},
                                           Interruption{"ExitDuringTheIndex", true, true, FetchOutcome::Completed},
                                           Interruption{"StopDuringAPicture", false, false, FetchOutcome::Stopped},
                                           Interruption{"StopAfterAPictureCameWhole", false, false,
                                                        FetchOutcome::Completed},
                                           Interruption{"ExitDuringAPicture", true, false, FetchOutcome::Stopped}),
                         [](const auto& info) { return info.param.name; });

TEST_F(AutoDownloadTest, AStoppedBodyWithoutAStopIsDroppedAndTheRunGoesOn) {
    startWithIndex(indexOf(2));
    complete("part", FetchOutcome::Stopped);
    complete("whole");
    EXPECT_EQ(loaded(), pictureName(0) + "\r\n");
    EXPECT_EQ(port.listed, Texts{walls + "p000.jpg"});
    EXPECT_FALSE(run.autoDownloading());
}

TEST_F(AutoDownloadTest, AFailedPictureEndsTheRunAndClearsTheStop) {
    for (FetchOutcome outcome :
         {FetchOutcome::UrlFailed, FetchOutcome::SessionFailed, FetchOutcome::LimitExceeded, FetchOutcome::Incomplete,
          FetchOutcome::ReadFailed, FetchOutcome::TimedOut, FetchOutcome::FileFailed}) {
        again();
        startWithIndex(indexOf(3));
        complete("whole");
        fail(outcome);
        EXPECT_EQ(port.fetches.size(), 3u) << static_cast<int>(outcome);
        EXPECT_EQ(loaded(), pictureName(2) + "\r\n");
        EXPECT_EQ(port.listed.size(), 1u);
        EXPECT_FALSE(run.autoDownloading() || run.stopDownload());
        port = {};
        ASSERT_TRUE(run.tick(false));
        fail(outcome);
        EXPECT_EQ(port.notices, 0);
        EXPECT_EQ(port.fetches.size(), 1u);
        EXPECT_FALSE(run.autoDownloading());
    }
}

TEST_F(AutoDownloadTest, ATickStartsNothingDuringARunOrWhileTheBrowserShows) {
    EXPECT_FALSE(run.tick(true));
    EXPECT_TRUE(port.fetches.empty());
    ASSERT_TRUE(run.tick(false));
    EXPECT_FALSE(run.tick(false));
    complete(indexOf(1));
    EXPECT_FALSE(run.tick(false));
    EXPECT_EQ(port.fetches.size(), 2u);
    run.onFetched({FetchOutcome::Completed, 1});  // also a stray result once idle
    run.onFetched({FetchOutcome::Completed, 1});
    EXPECT_EQ(port.fetches.size(), 2u);
    EXPECT_TRUE(run.tick(false));
}

// Such a record is passed over, unrecorded: the records before it still come.
TEST_F(AutoDownloadTest, AnUnsafeLocalNameOrALineBreakInThePathIsNeverFetched) {
    for (const char* fullPath : {"dir001/..", "dir001/CON", "dir001/a:b.jpg", "dir01/..", "dir001/MY_H~5ID.JPG",
                                 "dir001/a\rb.jpg", "dir\n01/a.jpg", "dir001/Default.tav", "dir001/LOADED.TXT"}) {
        again();
        startWithIndex(indexOf(1) + recordLine(fullPath));
        complete("zero");
        EXPECT_EQ(pictureFetches(), Texts{pictureName(0)}) << fullPath;
        EXPECT_EQ(loaded(), pictureName(0) + "\r\n") << fullPath;
        EXPECT_FALSE(run.autoDownloading() || run.stopDownload());
    }
}

TEST_F(AutoDownloadTest, AnUnreadableRecordFetchesNothing) {
    TempDir::put(loadedFile(), "dir001/p000.jpg\r\n");
    fs.unreadable.insert(loadedFile());
    startWithIndex(indexOf(2));
    EXPECT_EQ(port.fetches.size(), 1u);
    EXPECT_FALSE(run.autoDownloading());
    EXPECT_EQ(loaded(), "dir001/p000.jpg\r\n");
}

}  // namespace
}  // namespace ostrel::testing
