#include "download/AutoDownload.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "download/CatalogueUrls.h"
#include "fakes/TempDir.h"
#include "fakes/TestFileSystem.h"

namespace ostrel {
namespace {

using Texts = std::vector<std::string>;
using testing::TempDir;

struct FakePort final : AutoDownloadPort {
    void startFetch(const FetchRequest& request, const std::atomic<bool>&) override { fetches.push_back(request); }
    void showNotice() override { ++notices; }
    void terminate() override { ++terminations; }
    void addToList(const std::string& path) override { listed.push_back(path); }

    std::vector<FetchRequest> fetches;
    int notices = 0, terminations = 0;
    Texts listed;
};

std::string native(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string recordLine(const std::string& fullPath) { return fullPath + " prv001/p.jpg 1-01-06\n"; }

std::string pictureName(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "dir001/p%03d.jpg", n);
    return name;
}

struct AutoDownloadTest : ::testing::Test {
    TempDir dir;
    testing::TestFileSystem fs;
    FakePort port;
    bool addvlist = true;
    std::string data = dir.path() + "/d", walls = dir.path() + "/w/", base = "http://cat.test/";
    std::string catalogue = catalogueFolder(data), record = catalogue + "loaded.txt";
    AutoDownload run{fs, port,
                     {[this] { return data; }, [this] { return walls; }, [this] { return addvlist; },
                      [this] { return base; }}};

    AutoDownloadTest() {
        std::filesystem::create_directory(walls);
        std::filesystem::create_directories(native(catalogue));
    }

    // A fresh start for the next case: no record, no picture.
    void again() {
        port = {};
        std::filesystem::remove(native(record));
        for (const auto& entry : std::filesystem::directory_iterator(walls)) std::filesystem::remove(entry);
    }
    void startWithIndex(const std::string& index) {
        ASSERT_TRUE(run.tick(false));
        complete(index);
    }
    const FetchRequest& pending() const { return port.fetches.back(); }
    // The fetch in hand ends; only a whole body is in a file.
    void complete(const std::string& body, FetchOutcome outcome = FetchOutcome::Completed) {
        if (outcome == FetchOutcome::Completed) std::ofstream(native(pending().localPath), std::ios::binary) << body;
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
    std::string loaded() const { return fs.fileExists(record) ? TempDir::read(native(record)) : "<missing>"; }
};

TEST_F(AutoDownloadTest, FetchesTheIndexThenRecordsFromTheHundredthBack) {
    for (bool list : {true, false}) {
        again();
        addvlist = list;
        std::string index;
        for (int n = 0; n < 102; ++n) index += recordLine(pictureName(n));
        startWithIndex(index);
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
        if (c.loadedBefore != "<missing>") std::ofstream(native(record), std::ios::binary) << c.loadedBefore;
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
    std::ofstream(native(record), std::ios::binary) << "dir001/old.jpg\r\n";
    startWithIndex(recordLine("dir001/a.jpg") + recordLine("dir001/old.jpg") + recordLine("dir001/b.jpg") +
                   recordLine("dir001/a.jpg"));
    completeAll();
    EXPECT_EQ(pictureFetches(), (Texts{"dir001/a.jpg", "dir001/b.jpg"}));
    EXPECT_EQ(loaded(), "dir001/old.jpg\r\ndir001/a.jpg\r\ndir001/b.jpg\r\n");
}

// A file of that name already in the download folder (the user's own, or
// another record's) is never fetched over: the record waits, unrecorded.
TEST_F(AutoDownloadTest, ANameAlreadyTakenIsPassedOver) {
    std::ofstream(walls + "p001.jpg") << "mine";
    // From the last record back: dir002/p003.jpg comes first and takes the name p003.jpg.
    startWithIndex(recordLine(pictureName(0)) + recordLine(pictureName(1)) + recordLine(pictureName(2)) +
                   recordLine(pictureName(3)) + recordLine("dir002/p003.jpg"));
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

TEST_F(AutoDownloadTest, AStopDuringAPictureDeletesItAndEndsAtTheNextRecord) {
    for (FetchOutcome outcome : {FetchOutcome::Stopped, FetchOutcome::Completed}) {
        again();
        startWithIndex(recordLine(pictureName(0)) + recordLine(pictureName(1)) + recordLine(pictureName(2)));
        complete("whole");  // p002 is kept
        run.requestStop();
        complete("part", outcome);
        EXPECT_FALSE(fs.fileExists(walls + "p001.jpg"));
        EXPECT_TRUE(fs.fileExists(walls + "p002.jpg"));
        EXPECT_EQ(loaded(), pictureName(2) + "\r\n");
        EXPECT_EQ(port.listed, Texts{walls + "p002.jpg"});
        EXPECT_EQ(port.fetches.size(), 3u);  // p000 never asked for
        EXPECT_FALSE(run.autoDownloading());
        EXPECT_TRUE(run.stopDownload());  // cleared by the next tick
        EXPECT_TRUE(run.tick(false));
        EXPECT_FALSE(run.stopDownload());
        fail(FetchOutcome::UrlFailed);
    }
}

TEST_F(AutoDownloadTest, AStoppedBodyWithoutAStopIsDroppedAndTheRunGoesOn) {
    startWithIndex(recordLine(pictureName(0)) + recordLine(pictureName(1)));
    complete("part", FetchOutcome::Stopped);
    EXPECT_FALSE(fs.fileExists(walls + "p001.jpg"));
    complete("whole");
    EXPECT_EQ(loaded(), pictureName(0) + "\r\n");
    EXPECT_EQ(port.listed, Texts{walls + "p000.jpg"});
    EXPECT_FALSE(run.autoDownloading());
}

TEST_F(AutoDownloadTest, AStopOrExitDuringTheIndexEndsAfterIt) {
    for (bool exit : {false, true}) {
        port = {};
        ASSERT_TRUE(run.tick(false));
        exit ? run.requestExit() : run.requestStop();
        EXPECT_EQ(port.terminations, 0);
        complete(recordLine(pictureName(0)));
        EXPECT_EQ(port.terminations, exit ? 1 : 0);
        EXPECT_EQ(port.fetches.size(), 1u);
        EXPECT_EQ(loaded(), "<missing>");
        EXPECT_FALSE(run.autoDownloading());
        if (!exit) {
            EXPECT_EQ(port.notices, 1);
            EXPECT_TRUE(run.stopDownload());
            EXPECT_TRUE(run.tick(false));
            fail(FetchOutcome::UrlFailed);
        }
    }
}

TEST_F(AutoDownloadTest, AFailedPictureEndsTheRunAndClearsTheStop) {
    for (FetchOutcome outcome : {FetchOutcome::UrlFailed, FetchOutcome::SessionFailed, FetchOutcome::LimitExceeded,
                                 FetchOutcome::Incomplete, FetchOutcome::ReadFailed, FetchOutcome::TimedOut,
                                 FetchOutcome::FileFailed}) {
        again();
        startWithIndex(recordLine(pictureName(0)) + recordLine(pictureName(1)) + recordLine(pictureName(2)));
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

TEST_F(AutoDownloadTest, AnExitDuringAPictureTerminatesAndDropsItsFile) {
    startWithIndex(recordLine(pictureName(0)) + recordLine(pictureName(1)));
    run.requestExit();
    EXPECT_EQ(port.terminations, 0);
    complete("part", FetchOutcome::Stopped);
    EXPECT_EQ(port.terminations, 1);
    EXPECT_FALSE(fs.fileExists(walls + "p001.jpg"));
    EXPECT_EQ(port.fetches.size(), 2u);
    EXPECT_EQ(loaded(), "");
    EXPECT_TRUE(port.listed.empty());
    EXPECT_FALSE(run.autoDownloading());
}

TEST_F(AutoDownloadTest, ATickStartsNothingDuringARunOrWhileTheBrowserShows) {
    EXPECT_FALSE(run.tick(true));
    EXPECT_TRUE(port.fetches.empty());
    ASSERT_TRUE(run.tick(false));
    EXPECT_FALSE(run.tick(false));
    complete(recordLine(pictureName(0)));
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
        startWithIndex(recordLine(pictureName(0)) + recordLine(fullPath));
        complete("zero");
        EXPECT_EQ(pictureFetches(), Texts{pictureName(0)}) << fullPath;
        EXPECT_EQ(loaded(), pictureName(0) + "\r\n") << fullPath;
        EXPECT_FALSE(run.autoDownloading() || run.stopDownload());
    }
}

TEST_F(AutoDownloadTest, AnUnreadableRecordFetchesNothing) {
    std::ofstream(native(record), std::ios::binary) << "dir001/p000.jpg\r\n";
    fs.unreadable.insert(record);
    startWithIndex(recordLine(pictureName(0)) + recordLine(pictureName(1)));
    EXPECT_EQ(port.fetches.size(), 1u);
    EXPECT_FALSE(run.autoDownloading());
    fs.unreadable.clear();
    EXPECT_EQ(loaded(), "dir001/p000.jpg\r\n");
}

}  // namespace
}  // namespace ostrel
