#include "imaging/SecondThread.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace ostrel {
namespace {

using namespace std::chrono_literals;

// Spins until flag is set; false after a few seconds, so that a job that
// waits for something that never comes fails the test instead of hanging it.
bool waitFor(const std::atomic<bool>& flag) {
    for (auto end = std::chrono::steady_clock::now() + 5s; !flag; std::this_thread::yield())
        if (std::chrono::steady_clock::now() > end) return false;
    return true;
}

// Jobs one after another run on one thread kept for them, not the caller's
// (a thread's own counter goes on counting; thread ids can be reused); wait()
// and the end of a SecondThread both return only once the job has.
thread_local int jobsOnThisThread = 0;

TEST(SecondThread, JobsOneAfterAnotherShareTheKeptThreadAndAreWaitedFor) {
    int first = 0, second = 0;
    {
        SecondThread job;
        ASSERT_TRUE(job.start([&] { first = ++jobsOnThisThread; }));
        job.wait();
        EXPECT_GT(first, 0);
    }
    std::atomic<bool> ended{false};
    {
        SecondThread job;
        ASSERT_TRUE(job.start([&] {
            std::this_thread::sleep_for(20ms);
            second = ++jobsOnThisThread;
            ended = true;
        }));
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(jobsOnThisThread, 0);
}

// While the kept thread serves one caller, another's job gets a thread of its
// own at once: here the first job runs until the second has.
TEST(SecondThread, AJobWhileTheKeptThreadIsBusyGetsAThreadOfItsOwn) {
    std::atomic<bool> secondRan{false}, firstSawIt{false};
    std::thread::id firstOn, secondOn;
    SecondThread first, second;
    ASSERT_TRUE(first.start([&] {
        firstOn = std::this_thread::get_id();
        firstSawIt = waitFor(secondRan);
    }));
    ASSERT_TRUE(second.start([&] {
        secondOn = std::this_thread::get_id();
        secondRan = true;
    }));
    first.wait();
    second.wait();
    EXPECT_TRUE(firstSawIt);
    EXPECT_NE(firstOn, secondOn);
}

}  // namespace
}  // namespace ostrel
