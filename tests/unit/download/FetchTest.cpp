#include "download/Fetch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <set>
#include <thread>
#include <vector>

#include "download/FetchThread.h"
#include "fakes/TempDir.h"
#include "fakes/TestFileSystem.h"

namespace ostrel {
namespace {

using namespace std::chrono_literals;

struct FakeInternet final : Internet {
    bool sessionFails = false, urlFails = false, endless = false, stall = false;
    std::optional<unsigned> status = 200;
    std::vector<std::string> blocks;
    std::optional<std::size_t> failAt;
    std::function<void(std::size_t)> onRead;
    std::mutex mutex;
    std::vector<SessionOptions> opened;
    std::vector<std::string> log;
    std::atomic<std::size_t> largest{0};

    std::vector<SessionOptions> sessions() {
        std::lock_guard lock(mutex);
        return opened;
    }
    void note(std::string event) {
        std::lock_guard lock(mutex);
        log.push_back(std::move(event));
    }
    struct Request final : InternetRequest {
        FakeInternet& net;
        std::uint32_t timeoutMs;
        std::size_t next = 0;
        Request(FakeInternet& net, std::uint32_t timeoutMs) : net(net), timeoutMs(timeoutMs) {}
        ~Request() override { net.note("request closed"); }
        std::optional<unsigned> httpStatus() const override { return net.status; }
        std::optional<std::size_t> read(void* buffer, std::size_t n) override {
            net.largest = std::max(net.largest.load(), n);
            if (net.onRead) net.onRead(next);
            if (net.stall) std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
            if (net.stall || net.failAt == next) return std::nullopt;
            if (net.blocks.empty() || (!net.endless && next >= net.blocks.size())) return 0;
            const std::string& block = net.blocks[next++ % net.blocks.size()];
            return std::copy_n(block.data(), std::min(n, block.size()), static_cast<char*>(buffer)) -
                   static_cast<char*>(buffer);
        }
    };
    struct Session final : InternetSession {
        FakeInternet& net;
        std::uint32_t timeoutMs;
        Session(FakeInternet& net, std::uint32_t timeoutMs) : net(net), timeoutMs(timeoutMs) {}
        ~Session() override { net.note("session closed"); }
        std::unique_ptr<InternetRequest> openUrl(const std::string& url) override {
            net.note("open " + url);
            return net.urlFails ? nullptr : std::make_unique<Request>(net, timeoutMs);
        }
    };
    std::unique_ptr<InternetSession> openSession(const SessionOptions& options) override {
        std::lock_guard lock(mutex);
        opened.push_back(options);
        return sessionFails ? nullptr : std::make_unique<Session>(*this, options.receiveTimeoutMs);
    }
};

std::vector<std::string> fullBlocks(std::size_t count) {
    std::vector<std::string> blocks;
    for (std::size_t i = 0; i < count; ++i) blocks.emplace_back(kFetchBlock, static_cast<char>('a' + i % 26));
    return blocks;
}
std::string joined(const std::vector<std::string>& blocks, std::size_t count) {
    std::string all;
    for (std::size_t i = 0; i < count; ++i) all += blocks[i];
    return all;
}

struct FetchTest : ::testing::Test {
    testing::TempDir dir;
    testing::TestFileSystem fs;
    FakeInternet net;
    ProxySettings proxy;
    std::atomic<bool> stop{false};
    std::string target = dir.file("pic.jpg");

    FetchResult fetch(std::uint64_t limit = kPictureLimit) {
        return fetchUrl(net, fs, proxy, {"http://host/dir/pic.jpg", target, limit}, stop);
    }
};

TEST_F(FetchTest, ProxyIsChosenAtEachTransfer) {
    proxy.set("192.168.0.2:3128");
    fetch();
    proxy.set(std::nullopt);
    fetch();
    const auto sessions = net.sessions();
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_EQ(sessions[0].accessType, 3u);
    EXPECT_EQ(sessions[0].proxyName, "192.168.0.2:3128");
    EXPECT_EQ(sessions[1].accessType, 0u);
    EXPECT_EQ(sessions[1].proxyName, "");
    for (const SessionOptions& s : sessions) {
        EXPECT_EQ(s.agent, "DIRODID Download");
        EXPECT_EQ(s.receiveTimeoutMs, 30000u);
    }
}

TEST_F(FetchTest, ByteCountIsOneMoreThanTheBytesWritten) {
    dir.write("pic.jpg", std::string(5000, 'x'));  // overwritten, not appended to
    FetchResult r = fetch();
    EXPECT_EQ(r.outcome, FetchOutcome::Completed);
    EXPECT_EQ(r.byteCount, 1u);
    EXPECT_FALSE(r.partialFileLeft || r.networkError());
    EXPECT_TRUE(fs.fileExists(target));
    EXPECT_EQ(testing::TempDir::read(target), "");

    // Short blocks are written exactly as they come; reads ask for 1024 bytes.
    net.blocks = {"abc", std::string(1024, 'z'), "d"};
    r = fetch();
    EXPECT_EQ(r.outcome, FetchOutcome::Completed);
    EXPECT_EQ(r.byteCount, 1u + 1028u);
    EXPECT_EQ(testing::TempDir::read(target), "abc" + std::string(1024, 'z') + "d");
    EXPECT_EQ(net.largest, kFetchBlock);
    const auto events = net.log;
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(events.end() - 3, events.end()),
              (std::vector<std::string>{"open http://host/dir/pic.jpg", "request closed", "session closed"}));
}

TEST_F(FetchTest, NoFileWhenTheSessionOrTheUrlFails) {
    const std::string other = dir.write("other.jpg", "kept");
    const auto noFile = [&](FetchOutcome outcome, bool networkError) {
        const FetchResult r = fetchUrl(net, fs, proxy, {"http://host/x", target}, stop);
        EXPECT_EQ(r.outcome, outcome);
        EXPECT_EQ(r.byteCount, 0u);
        EXPECT_EQ(r.networkError(), networkError);
        EXPECT_FALSE(r.partialFileLeft);
        EXPECT_FALSE(fs.fileExists(target));
    };
    net.sessionFails = true;
    noFile(FetchOutcome::SessionFailed, false);
    net.sessionFails = false;
    net.urlFails = true;
    noFile(FetchOutcome::UrlFailed, true);
    net.urlFails = false;
    // An answer other than 2xx is an error page, never saved as a picture.
    net.blocks = {"<html>Not Found</html>"};
    for (unsigned code : {404u, 500u, 301u, 304u, 199u, 300u, 0u}) {
        net.status = code;
        SCOPED_TRACE(code);
        noFile(FetchOutcome::UrlFailed, true);
    }
    for (std::optional<unsigned> code : {std::optional<unsigned>(200), std::optional<unsigned>(204),
                                         std::optional<unsigned>(299), std::optional<unsigned>()}) {
        net.status = code;
        EXPECT_EQ(fetch().outcome, FetchOutcome::Completed) << code.value_or(9999);
    }
    // A failed URL leaves an earlier file of that name alone.
    net.status = 404;
    EXPECT_EQ(fetchUrl(net, fs, proxy, {"http://host/x", other}, stop).outcome, FetchOutcome::UrlFailed);
    EXPECT_EQ(testing::TempDir::read(other), "kept");
}

TEST_F(FetchTest, StopLeavesExactlyTheBlocksReadUpToTheOneDuringWhichItWasSeen) {
    net.blocks = fullBlocks(200);
    std::atomic<bool> owner{false};
    for (auto [flag, at] : {std::pair{&stop, 3u}, std::pair{&owner, 7u}}) {
        stop = false;
        net.onRead = [&, flag = flag, at = at](std::size_t block) {
            if (block == at) *flag = true;
        };
        const FetchResult r = fetchUrl(net, fs, proxy, {"http://host/x", target}, stop, &owner);
        EXPECT_EQ(r.outcome, FetchOutcome::Stopped);
        EXPECT_TRUE(r.partialFileLeft);
        EXPECT_EQ(r.byteCount, 1u + (at + 1) * kFetchBlock);
        EXPECT_EQ(testing::TempDir::read(target), joined(net.blocks, at + 1));
    }
    // The windows that throw a stopped body away have it deleted at once.
    FetchRequest request{"http://host/x", target};
    request.deleteIfStopped = true;
    stop = true;
    const FetchResult r = fetchUrl(net, fs, proxy, request, stop);
    EXPECT_EQ(r.outcome, FetchOutcome::Stopped);
    EXPECT_FALSE(r.partialFileLeft || fs.fileExists(target));
}

TEST_F(FetchTest, LimitAllowsExactlyItsSizeAndDeletesALargerFile) {
    net.blocks = fullBlocks(4);
    FetchResult r = fetch(4 * kFetchBlock);
    EXPECT_EQ(r.outcome, FetchOutcome::Completed);
    EXPECT_EQ(testing::TempDir::read(target).size(), 4 * kFetchBlock);

    r = fetch(4 * kFetchBlock - 1);
    EXPECT_EQ(r.outcome, FetchOutcome::LimitExceeded);
    EXPECT_EQ(r.byteCount, 1u + 3 * kFetchBlock);
    EXPECT_FALSE(r.partialFileLeft || r.networkError());
    EXPECT_FALSE(fs.fileExists(target));

    net.endless = true;  // a server that never ends its body
    EXPECT_EQ(fetch(kIndexLimit).outcome, FetchOutcome::LimitExceeded);
    EXPECT_FALSE(fs.fileExists(target));
}

TEST_F(FetchTest, ReadFailureOrTimeoutDeletesThePartialFile) {
    net.blocks = fullBlocks(10);
    for (std::size_t at : {0u, 5u}) {
        net.failAt = at;
        const FetchResult r = fetch();
        EXPECT_EQ(r.outcome, FetchOutcome::ReadFailed) << at;
        EXPECT_EQ(r.byteCount, 1u + at * kFetchBlock) << at;
        EXPECT_FALSE(r.partialFileLeft);
        EXPECT_FALSE(fs.fileExists(target)) << at;
    }
    net.failAt.reset();
    net.stall = true;
    const auto started = std::chrono::steady_clock::now();
    const FetchResult r = fetchUrl(net, fs, proxy, {"http://host/x", target, kPictureLimit, 50}, stop);
    EXPECT_EQ(r.outcome, FetchOutcome::ReadFailed);
    EXPECT_EQ(net.sessions().back().receiveTimeoutMs, 50u);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_FALSE(fs.fileExists(target));
}

TEST_F(FetchTest, LocalFileFailuresEndTheTransfer) {
    net.blocks = fullBlocks(3);
    fs.unwritable.insert(target);
    FetchResult r = fetch();
    EXPECT_EQ(r.outcome, FetchOutcome::FileFailed);
    EXPECT_EQ(r.byteCount, 0u);
    EXPECT_FALSE(fs.fileExists(target));
    r = fetchUrl(net, fs, proxy, {"http://host/x", dir.file("missing/pic.jpg")}, stop);
    EXPECT_EQ(r.outcome, FetchOutcome::FileFailed);

    fs.unwritable.clear();
    fs.writeFailsAfter[target] = kFetchBlock + 100;
    r = fetch();
    EXPECT_EQ(r.outcome, FetchOutcome::FileFailed);
    EXPECT_EQ(r.byteCount, 1u + kFetchBlock);
    EXPECT_FALSE(r.partialFileLeft || r.networkError());
    EXPECT_FALSE(fs.fileExists(target));
}

struct FetchWorkersTest : FetchTest {
    std::mutex mutex;
    std::vector<FetchResult> results;
    std::set<std::thread::id> callbackThreads;

    FetchWorkers::Done record() {
        return [this](const FetchResult& r) {
            std::lock_guard lock(mutex);
            results.push_back(r);
            callbackThreads.insert(std::this_thread::get_id());
        };
    }
    std::size_t reported() {
        std::lock_guard lock(mutex);
        return results.size();
    }
};

TEST_F(FetchWorkersTest, ResultsArriveOnTheWorkersAndFinishedThreadsAreReaped) {
    net.blocks = fullBlocks(30);
    {
        FetchWorkers workers(net, fs, proxy);
        for (int i = 0; i < 4; ++i)
            workers.start({"http://host/" + std::to_string(i), dir.file(std::to_string(i))}, stop, record());
        for (int i = 0; i < 500 && reported() < 4; ++i) std::this_thread::sleep_for(10ms);
        ASSERT_EQ(reported(), 4u);
        for (int i = 0; i < 500 && workers.running() > 0; ++i) std::this_thread::sleep_for(10ms);
        EXPECT_EQ(workers.running(), 0u);
    }
    for (const FetchResult& r : results) EXPECT_EQ(r.outcome, FetchOutcome::Completed);
    EXPECT_EQ(callbackThreads.count(std::this_thread::get_id()), 0u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(testing::TempDir::read(dir.file(std::to_string(i))), joined(net.blocks, 30));
}

TEST_F(FetchWorkersTest, DestroyingStopsAndJoinsTransfersInFlight) {
    net.blocks = fullBlocks(3);
    net.endless = true;
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
    }
    ASSERT_EQ(results.size(), 3u);
    for (const FetchResult& r : results) {
        EXPECT_EQ(r.outcome, FetchOutcome::Stopped);
        EXPECT_TRUE(r.partialFileLeft);
    }
}

TEST_F(FetchWorkersTest, StalledReadBoundsTheJoinAndNothingStartsAfterIt) {
    net.stall = true;
    FetchWorkers workers(net, fs, proxy);
    workers.start({"http://host/stall", target, kPictureLimit, 300}, stop, record());
    while (net.sessions().empty()) std::this_thread::sleep_for(1ms);
    const auto started = std::chrono::steady_clock::now();
    workers.stopAndJoin();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    ASSERT_EQ(reported(), 1u);
    EXPECT_EQ(results[0].outcome, FetchOutcome::ReadFailed);

    workers.start({"http://host/late", target}, stop, record());
    ASSERT_EQ(reported(), 2u);
    EXPECT_EQ(results[1].outcome, FetchOutcome::SessionFailed);
    EXPECT_EQ(net.sessions().size(), 1u);
    EXPECT_EQ(callbackThreads.count(std::this_thread::get_id()), 1u);
}

TEST_F(FetchWorkersTest, ABoundedJoinNamesOnlyTheFilesOfTransfersStillWriting) {
    net.stall = true;
    std::atomic<bool> reading{false};  // the file is open and so marked before the first read
    net.onRead = [&](std::size_t) { reading = true; };
    FetchWorkers workers(net, fs, proxy);
    workers.start({"http://host/stall", target, kPictureLimit, 1000}, stop, record());
    while (!reading) std::this_thread::sleep_for(1ms);
    std::vector<std::string> opened;
    EXPECT_FALSE(workers.stopAndJoinFor(0ms, opened));
    EXPECT_EQ(opened, std::vector<std::string>{target});
    workers.stopAndJoin();  // the read times out
    opened.clear();
    EXPECT_TRUE(workers.stopAndJoinFor(0ms, opened));
    EXPECT_TRUE(opened.empty());
}

}  // namespace
}  // namespace ostrel
