#include "download/Fetch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <numeric>
#include <set>
#include <thread>
#include <vector>

#include "download/FetchThread.h"
#include "fakes/FakeInternet.h"
#include "fakes/Signal.h"
#include "fakes/TempDir.h"
#include "fakes/TestFileSystem.h"

namespace ostrel {
namespace {

using namespace std::chrono_literals;
using testing::FakeInternet;
using testing::Signal;
using testing::TempDir;

std::vector<std::string> fullBlocks(std::size_t count) {
    std::vector<std::string> blocks;
    for (std::size_t i = 0; i < count; ++i) blocks.emplace_back(kFetchBlock, static_cast<char>('a' + i % 26));
    return blocks;
}

struct FetchTest : ::testing::Test {
    TempDir dir;
    testing::TestFileSystem fs;
    FakeInternet net;
    ProxySettings proxy;
    std::atomic<bool> stop{false};
    StopFlag watch{stop};
    std::string target = dir.file("pic.jpg");
    bool replace = true;

    FetchResult fetch(FetchRequest request) { return fetchUrl(net, fs, proxy, request, watch); }
    FetchResult fetch() {
        FetchRequest request{"http://host/dir/pic.jpg", target};
        request.replaceExisting = replace;
        return fetch(request);
    }
    // A body of served bytes, announcing this length.
    void body(std::optional<std::uint64_t> announced, std::size_t sent) {
        const std::string bytes(sent, 'n');
        net.blocks.clear();
        for (std::size_t at = 0; at < sent; at += kFetchBlock) net.blocks.push_back(bytes.substr(at, kFetchBlock));
        net.length = announced;
    }
    // Every byte the server sends, in order.
    std::string served() const { return std::accumulate(net.blocks.begin(), net.blocks.end(), std::string()); }
    // A file of the user's (or an earlier download) at the target.
    void earlierFile() { dir.write("pic.jpg", "earlier"); }
    // No temporary file is left beside it either.
    void expectEarlierFileAlone() {
        EXPECT_EQ(TempDir::read(dir.file("pic.jpg")), "earlier");
        EXPECT_EQ(dir.names(), std::set<std::string>{"pic.jpg"});
    }
};

// The proxy and the receive time-out are chosen at each transfer; the
// time-out's own end is a failed read, proven on the real WinInet.
TEST_F(FetchTest, ProxyAndTimeOutAreChosenAtEachTransfer) {
    proxy.set("192.168.0.2:3128");
    fetch();
    proxy.set(std::nullopt);
    FetchRequest request{"http://host/x", target};
    request.receiveTimeoutMs = 50;
    fetch(request);
    const auto sessions = net.sessions();
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_EQ(sessions[0].accessType, 3u);
    EXPECT_EQ(sessions[0].proxyName, "192.168.0.2:3128");
    EXPECT_EQ(sessions[0].receiveTimeoutMs, 30000u);
    EXPECT_EQ(sessions[1].accessType, 0u);
    EXPECT_EQ(sessions[1].proxyName, "");
    EXPECT_EQ(sessions[1].receiveTimeoutMs, 50u);
    for (const SessionOptions& s : sessions) EXPECT_EQ(s.agent, "DIRODID Download");
}

TEST_F(FetchTest, AWholeBodyReplacesTheTargetAndCountsOneMoreThanItsBytes) {
    earlierFile();
    // Short blocks are written exactly as they come; reads ask for 1024 bytes.
    net.serve({"abc", std::string(1024, 'z'), "d"});
    const FetchResult r = fetch();
    EXPECT_EQ(r.outcome, FetchOutcome::Completed);
    EXPECT_EQ(r.byteCount, 1u + 1028u);
    EXPECT_EQ(TempDir::read(target), "abc" + std::string(1024, 'z') + "d");
    EXPECT_EQ(dir.names(), std::set<std::string>{"pic.jpg"});
    EXPECT_EQ(net.largest, kFetchBlock);
    const auto events = net.log;
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(events.end() - 3, events.end()),
              (std::vector<std::string>{"open http://host/dir/pic.jpg", "request closed", "session closed"}));
}

TEST_F(FetchTest, OnlyAnAnswerOf200IsKept) {
    earlierFile();
    net.serve({"<html>an answer</html>"});
    // Error pages, redirects (never followed), parts and other successes.
    for (unsigned code : {404u, 500u, 301u, 302u, 304u, 204u, 206u, 299u, 199u, 0u}) {
        net.status = code;
        const FetchResult r = fetch();
        EXPECT_EQ(r.outcome, FetchOutcome::UrlFailed) << code;
        EXPECT_EQ(r.byteCount, 0u) << code;
    }
    expectEarlierFileAlone();
}

// How a transfer ends, on a server of twenty full blocks unless said
// otherwise. Only a body exactly as long as announced replaces the file at
// the target; any other end leaves the earlier file as it was. A transfer
// that read counts one more than its bytes.
struct Ending {
    const char* name;
    FetchOutcome outcome;
    std::optional<std::uint64_t> byteCount;
    std::function<void(FetchTest&)> arrange;
    friend void PrintTo(const Ending& ending, std::ostream* out) { *out << ending.name; }
};

struct TransferEnding : FetchTest, ::testing::WithParamInterface<Ending> {};

TEST_P(TransferEnding, KeepsOnlyAWholeBody) {
    earlierFile();
    net.serve(fullBlocks(20));
    GetParam().arrange(*this);
    const FetchResult r = fetch();
    EXPECT_EQ(r.outcome, GetParam().outcome);
    EXPECT_EQ(r.byteCount, GetParam().byteCount.value_or(r.byteCount));
    if (r.outcome != FetchOutcome::Completed) return expectEarlierFileAlone();
    EXPECT_EQ(TempDir::read(target), served());
}

constexpr std::uint64_t kFiveBlocks = 1 + 5 * kFetchBlock;

INSTANTIATE_TEST_SUITE_P(
    Fetch, TransferEnding,
    ::testing::Values(
        Ending{"Whole", FetchOutcome::Completed, 1 + 5000, [](FetchTest& t) { t.body(5000, 5000); }},
        // Cut short (a dropped connection), without a length (chunked), empty, longer.
        Ending{"CutShort", FetchOutcome::Incomplete, {}, [](FetchTest& t) { t.body(100000, 5000); }},
        Ending{"CutInTheLastBlock", FetchOutcome::Incomplete, {}, [](FetchTest& t) { t.body(5000, 4999); }},
        Ending{"NoLength", FetchOutcome::Incomplete, {}, [](FetchTest& t) { t.body(std::nullopt, 5000); }},
        Ending{"Empty", FetchOutcome::Incomplete, {}, [](FetchTest& t) { t.body(0, 0); }},
        Ending{"Longer", FetchOutcome::Incomplete, {}, [](FetchTest& t) { t.body(5000, 5001); }},
        Ending{"AnnouncedOverTheLimit", FetchOutcome::LimitExceeded, std::nullopt,
               [](FetchTest& t) { t.body(kPictureLimit + 1, 10); }},
        Ending{"NoSession", FetchOutcome::SessionFailed, {}, [](FetchTest& t) { t.net.sessionFails = true; }},
        Ending{"NotOpened", FetchOutcome::UrlFailed, {}, [](FetchTest& t) { t.net.urlFails = true; }},
        // A stop or a failure after five blocks.
        Ending{"Stopped", FetchOutcome::Stopped, kFiveBlocks,
               [](FetchTest& t) { t.net.onRead = [&t](std::size_t block) { t.stop = t.stop || block == 5; }; }},
        Ending{"ReadFailed", FetchOutcome::ReadFailed, kFiveBlocks, [](FetchTest& t) { t.net.failAt = 5; }},
        Ending{"DiskFull", FetchOutcome::FileFailed, kFiveBlocks,
               [](FetchTest& t) { t.fs.writeFailsAfter[t.target] = 5 * kFetchBlock + 100; }},
        // A name taken is never written over unless asked, nor one taken meanwhile.
        Ending{"NameTaken", FetchOutcome::NameTaken, {}, [](FetchTest& t) { t.replace = false; }},
        Ending{"NameTakenMeanwhile", FetchOutcome::NameTaken, 1 + 20 * kFetchBlock,
               [](FetchTest& t) {
                   t.replace = false;
                   std::filesystem::remove(t.target);
                   t.net.onRead = [&t](std::size_t block) {
                       if (block == 1) t.earlierFile();
                   };
               }},
        Ending{"UnwritableTarget", FetchOutcome::FileFailed, 0, [](FetchTest& t) { t.fs.unwritable.insert(t.target); }},
        Ending{"NoSuchFolder", FetchOutcome::FileFailed, std::nullopt,
               [](FetchTest& t) { t.target = t.dir.file("missing/pic.jpg"); }}),
    [](const auto& info) { return info.param.name; });

TEST(TransferPaceTest, EndsAtTheDeadlineOrAfterAPeriodBelowTheMinimum) {
    FetchRequest request{"http://host/x", "x"};
    request.deadline = 100s;
    request.ratePeriod = 10s;
    request.minBytesPerPeriod = 1000;
    const auto t0 = TransferPace::Clock::now();
    TransferPace pace(request, t0);
    EXPECT_TRUE(pace.onTime(t0 + 9s, 0));      // the first period is not over
    EXPECT_TRUE(pace.onTime(t0 + 10s, 1000));  // exactly the minimum
    EXPECT_TRUE(pace.onTime(t0 + 15s, 1000));
    EXPECT_FALSE(pace.onTime(t0 + 20s, 1999));  // 999 in the second period
    TransferPace fast(request, t0);
    for (int s = 10; s < 100; s += 10) EXPECT_TRUE(fast.onTime(t0 + std::chrono::seconds(s), s * 1000u)) << s;
    EXPECT_FALSE(fast.onTime(t0 + 100s, 1000000));  // however fast
    EXPECT_EQ(fetchRequest(FetchKind::Picture, "u", "p").deadline, kPictureDeadline);
    EXPECT_EQ(fetchRequest(FetchKind::Preview, "u", "p").deadline, kCatalogueDeadline);
}

// ---------------------------------------------------------------- workers

struct FetchWorkersTest : FetchTest {
    std::mutex mutex;
    std::vector<FetchResult> results;
    std::set<std::thread::id> callbackThreads;
    Signal arrived;

    FetchWorkers::Done record() {
        return [this](const FetchResult& r) {
            {
                std::lock_guard lock(mutex);
                results.push_back(r);
                callbackThreads.insert(std::this_thread::get_id());
            }
            arrived.raise();
        };
    }
};

TEST_F(FetchWorkersTest, ResultsArriveOnTheWorkersAndFinishedThreadsAreReaped) {
    net.serve(fullBlocks(30));
    {
        FetchWorkers workers(net, fs, proxy);
        for (int i = 0; i < 4; ++i)
            workers.start({"http://host/" + std::to_string(i), dir.file(std::to_string(i))}, stop, record());
        ASSERT_TRUE(arrived.waitFor(4));
        for (int i = 0; i < 500 && workers.running() > 0; ++i) std::this_thread::sleep_for(10ms);
        EXPECT_EQ(workers.running(), 0u);
    }
    for (const FetchResult& r : results) EXPECT_EQ(r.outcome, FetchOutcome::Completed);
    EXPECT_EQ(callbackThreads.count(std::this_thread::get_id()), 0u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(TempDir::read(dir.file(std::to_string(i))), served());
}

// A transfer blocked in a read or in its headers is let go at once when its
// stop comes, or when its deadline or the minimum rate is missed; when its
// call returns, it keeps nothing and reports nothing more.
TEST_F(FetchWorkersTest, ABlockedTransferIsLetGoAtOnce) {
    const struct {
        const char* what;
        bool inHeaders;
        std::chrono::milliseconds deadline;
        FetchOutcome outcome;
    } cases[] = {
        {"stopped in a read", false, 1h, FetchOutcome::Stopped},
        {"stopped in the headers", true, 1h, FetchOutcome::Stopped},
        {"past its deadline in the headers", true, 100ms, FetchOutcome::TimedOut},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        results.clear();
        const int before = arrived.count();
        stop = false;
        earlierFile();
        net.serve(fullBlocks(4));
        testing::Gate gate;
        net.onOpen = c.inHeaders ? std::function<void()>([&] { gate.pass(); }) : nullptr;
        net.onRead = [&](std::size_t block) {
            if (!c.inHeaders && block == 2) gate.pass();
        };
        FetchWorkers workers(net, fs, proxy);
        FetchRequest request{"http://host/x", target};
        request.replaceExisting = true;
        request.deadline = c.deadline;
        workers.start(request, stop, record());
        gate.entered.waitFor(1);
        if (c.outcome == FetchOutcome::Stopped) stop = true;
        const bool atOnce = arrived.waitFor(before + 1, 2s);
        gate.opened.raise();
        workers.stopAndJoin();
        EXPECT_TRUE(atOnce);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results[0].outcome, c.outcome);
        expectEarlierFileAlone();
    }
}

TEST_F(FetchWorkersTest, DestroyingStopsEveryTransferAndNothingStartsAfterIt) {
    net.serve(fullBlocks(3));
    net.endless = true;
    net.length = kPictureLimit;
    std::atomic<std::size_t> reads{0};
    net.onRead = [&](std::size_t) {
        ++reads;
        std::this_thread::sleep_for(1ms);
    };
    {
        FetchWorkers workers(net, fs, proxy);
        for (int i = 0; i < 3; ++i)
            workers.start({"http://host/" + std::to_string(i), dir.file(std::to_string(i))}, stop, record());
        while (reads < 30) std::this_thread::sleep_for(1ms);
        EXPECT_EQ(workers.running(), 3u);
        workers.stopAndJoin();
        workers.start({"http://host/late", target}, stop, record());
    }
    ASSERT_EQ(results.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(results[i].outcome, FetchOutcome::Stopped);
    EXPECT_EQ(results[3].outcome, FetchOutcome::SessionFailed);
    EXPECT_EQ(net.sessions().size(), 3u);
    EXPECT_TRUE(dir.names().empty());
}

TEST_F(FetchWorkersTest, ABoundedJoinNamesTheTemporaryFilesOfTransfersStillWriting) {
    net.serve(fullBlocks(3));
    testing::Gate gate;
    net.onRead = [&](std::size_t block) {
        if (block == 1) gate.pass();
    };
    FetchWorkers workers(net, fs, proxy);
    workers.start({"http://host/x", target}, stop, record());
    gate.entered.waitFor(1);
    std::vector<std::string> temporary;
    EXPECT_FALSE(workers.stopAndJoinFor(0ms, temporary));
    ASSERT_EQ(temporary.size(), 1u);
    EXPECT_EQ(dir.names(), std::set<std::string>{std::filesystem::path(temporary[0]).filename()});
    gate.opened.raise();
    temporary.clear();
    EXPECT_TRUE(workers.stopAndJoinFor(5s, temporary));
    EXPECT_TRUE(temporary.empty());
    EXPECT_TRUE(dir.names().empty());
    EXPECT_EQ(arrived.count(), 1);
}

}  // namespace
}  // namespace ostrel
