// Transfers through the real WinInet against the test's own catalogue server
// on 127.0.0.1 (tests/wine/catalogue_server.py, started by the test script).
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>

#include "download/Fetch.h"
#include "download/FetchThread.h"
#include "platform/win32/WinInetInternet.h"
#include "platform/win32/Win32FileSystem.h"
#include "fakes/TempDir.h"

namespace ostrel {
namespace {

using namespace std::chrono_literals;
using testing::TempDir;

struct WinInetFetch : ::testing::Test {
    void SetUp() override {
        const char* base = std::getenv("OSTREL_TEST_SERVER");
        const char* served = std::getenv("OSTREL_TEST_SERVER_FOLDER");
        if (!base || !served) GTEST_SKIP() << "no catalogue server (OSTREL_TEST_SERVER)";
        server = base;
        servedFolder = served;
    }
    FetchResult fetch(const std::string& path, std::uint64_t limit = kPictureLimit, std::uint32_t timeoutMs = 30000) {
        FetchRequest request{server + path, target, limit, true};
        request.receiveTimeoutMs = timeoutMs;
        return fetchUrl(internet, files, proxy, request, watch);
    }

    std::string server, servedFolder;
    TempDir folder;
    win32::WinInetInternet internet;
    win32::Win32FileSystem files;
    ProxySettings proxy;
    std::atomic<bool> stop{false};
    StopFlag watch{stop};
    std::string target = folder.file("got.bin");
};

TEST_F(WinInetFetch, FileArrivesWholeAndByteExact) {
    // Every byte value, in an odd length that ends in a short block.
    std::string bytes(300 * 1024 + 17, '\0');
    std::mt19937 random(7);
    for (char& c : bytes) c = static_cast<char>(random());
    {
        std::ofstream served(servedFolder + "\\pic.bin", std::ios::binary);
        ASSERT_TRUE(served.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush());
    }
    const FetchResult r = fetch("pic.bin");
    EXPECT_EQ(r.outcome, FetchOutcome::Completed);
    EXPECT_EQ(r.byteCount, 1u + bytes.size());
    EXPECT_TRUE(TempDir::read(target) == bytes) << "the fetched file differs";
}

// Answers of another status, redirects and bodies that cannot be told whole
// (WinInet reports their end like a whole one's) are the hostile server's
// Wine test, on the real program.

TEST_F(WinInetFetch, AnAnnouncedLengthOverTheLimitIsNotFetched) {
    const FetchResult r = fetch("big", kIndexLimit);
    EXPECT_EQ(r.outcome, FetchOutcome::LimitExceeded);
    EXPECT_EQ(r.byteCount, 0u);
    EXPECT_TRUE(folder.names().empty());
}

TEST_F(WinInetFetch, StalledServerTimesOutAndLeavesNoFile) {
    const auto started = std::chrono::steady_clock::now();
    const FetchResult r = fetch("stall", kPictureLimit, 2000);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(r.outcome, FetchOutcome::ReadFailed);
    EXPECT_EQ(r.byteCount, 101u);         // the 100 bytes before the stall come at once
    EXPECT_TRUE(folder.names().empty());  // no target and no temporary file
    EXPECT_GE(took, 1500ms);
    EXPECT_LT(took, 15s);
}

// Closing a handle does not cut short a call blocked in it under Wine, so a
// stopped transfer is let go: its result comes at once, and its worker keeps
// nothing when its call returns.
TEST_F(WinInetFetch, AStopEndsATrickleAtOnce) {
    for (const char* path : {"tricklehead", "trickle"}) {
        SCOPED_TRACE(path);
        stop = false;
        std::atomic<bool> reported{false};
        std::chrono::steady_clock::duration took{};
        {
            FetchWorkers workers(internet, files, proxy);
            std::chrono::steady_clock::time_point stopped;
            workers.start({server + path, target}, stop, [&](const FetchResult& r) {
                took = std::chrono::steady_clock::now() - stopped;
                EXPECT_EQ(r.outcome, FetchOutcome::Stopped);
                reported = true;
            });
            Sleep(1500);  // well into the trickle
            stopped = std::chrono::steady_clock::now();
            stop = true;
            for (int i = 0; i < 300 && !reported; ++i) Sleep(10);
            EXPECT_TRUE(reported);
            EXPECT_LT(took, 1s);
            workers.stopAndJoin();  // within the trickle's next byte
        }
        EXPECT_TRUE(folder.names().empty());
    }
}

TEST_F(WinInetFetch, ASlowServerEndsAtTheMinimumRate) {
    std::atomic<bool> reported{false};
    FetchWorkers workers(internet, files, proxy);
    FetchRequest request{server + "trickle", target};
    request.ratePeriod = 1500ms;
    request.minBytesPerPeriod = 10;  // the trickle brings 3 in that time
    const auto started = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration took{};
    workers.start(request, stop, [&](const FetchResult& r) {
        took = std::chrono::steady_clock::now() - started;
        EXPECT_EQ(r.outcome, FetchOutcome::TimedOut);
        reported = true;
    });
    for (int i = 0; i < 500 && !reported; ++i) Sleep(10);
    EXPECT_TRUE(reported);
    EXPECT_LT(took, 3s);
    workers.stopAndJoin();
    EXPECT_TRUE(folder.names().empty());
}

}  // namespace
}  // namespace ostrel
