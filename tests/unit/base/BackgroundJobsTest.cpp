#include "base/BackgroundJobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "fakes/Signal.h"

namespace ostrel {
namespace {

using namespace std::chrono_literals;
using testing::Gate;
using testing::Signal;

// A job stuck in a file's opening (a share that is off) does not hold up the
// next request, which gets a worker of its own; the stuck job's result, when
// it comes, is not wanted any more.
TEST(BackgroundJobs, ANewerRequestIsNotStuckBehindABlockedJob) {
    Signal ready;
    Gate stuck;
    BackgroundJobs<int> jobs([&] { ready.raise(); }, 2);
    jobs.request(0, [&] { return stuck.pass(), 1; });
    ASSERT_TRUE(stuck.entered.waitFor(1));
    jobs.request(0, [] { return 2; });
    ASSERT_TRUE(ready.waitFor(1));
    stuck.opened.raise();
    auto results = jobs.take();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].value, 2);
}

// A job can tell it is no longer wanted (its place asked for something newer,
// or the jobs are stopping) and give up; another place's request leaves it be.
TEST(BackgroundJobs, AJobLearnsWhenItIsNoLongerWanted) {
    for (const bool askAgain : {true, false}) {
        Signal ready, started;
        std::atomic<bool> gaveUp{false};
        BackgroundJobs<int> jobs([&] { ready.raise(); }, 2);
        jobs.request(0, [&](const BackgroundJobs<int>::StillWanted& stillWanted) {
            started.raise();
            const auto until = std::chrono::steady_clock::now() + 5s;
            while (stillWanted() && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
            gaveUp = !stillWanted();
            return 1;
        });
        ASSERT_TRUE(started.waitFor(1));
        jobs.request(1, [] { return 5; });
        ASSERT_TRUE(ready.waitFor(1));
        EXPECT_FALSE(gaveUp);
        if (askAgain) {
            // Told by the newer request itself, before anything stops.
            jobs.request(0, [] { return 2; });
            ASSERT_TRUE(ready.waitFor(2));
            const auto until = std::chrono::steady_clock::now() + 5s;
            while (!gaveUp && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
            EXPECT_TRUE(gaveUp);
        }
        const auto stopping = std::chrono::steady_clock::now();
        jobs.stop();
        EXPECT_LT(std::chrono::steady_clock::now() - stopping, 2s);
        EXPECT_TRUE(gaveUp) << askAgain;
    }
}

// Wanted work keeps to the workers allowed: another place waits its turn.
TEST(BackgroundJobs, WantedWorkWaitsForAFreeWorker) {
    Signal ready;
    Gate busy;
    BackgroundJobs<int> jobs([&] { ready.raise(); }, 1);
    jobs.request(1, [&] { return busy.pass(), 3; });
    ASSERT_TRUE(busy.entered.waitFor(1));
    jobs.request(2, [] { return 4; });
    EXPECT_FALSE(ready.waitFor(1, 100ms));
    busy.opened.raise();
    ASSERT_TRUE(ready.waitFor(2));
    jobs.stop();
    EXPECT_EQ(jobs.take().size(), 2u);
}

// A picture on a share that is off, selected again and again: each read of it
// blocks for good, and still the next selection is decoded.
TEST(BackgroundJobs, StuckJobsThatWereAskedForAgainDoNotTakeTheWorkersAway) {
    Signal ready;
    Gate stuck;
    BackgroundJobs<int> jobs([&] { ready.raise(); }, 1);
    for (int i = 1; i <= 3; ++i) {
        jobs.request(0, [&] { return stuck.pass(), 1; });
        ASSERT_TRUE(stuck.entered.waitFor(i));
    }
    jobs.request(0, [] { return 2; });
    ASSERT_TRUE(ready.waitFor(1));
    auto results = jobs.take();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].value, 2);
    stuck.opened.raise();
}

// The end does not wait for ever on a blocked job: stopWithin says so, and
// nothing is reported after it.
TEST(BackgroundJobs, StopWithinGivesUpOnABlockedJob) {
    Signal ready;
    Gate stuck;
    BackgroundJobs<int> jobs([&] { ready.raise(); });
    jobs.request(0, [&] { return stuck.pass(), 1; });
    ASSERT_TRUE(stuck.entered.waitFor(1));
    EXPECT_FALSE(jobs.stopWithin(50ms));
    stuck.opened.raise();
    EXPECT_TRUE(jobs.stopWithin(5s));
    EXPECT_EQ(ready.count(), 0);
    EXPECT_TRUE(jobs.take().empty());
}

}  // namespace
}  // namespace ostrel
