#include "imaging/KeptThreadJob.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace ostrel {
namespace {

using namespace std::chrono_literals;

// Jobs one after another run on one thread kept for them, not the caller's
// (a thread's own counter goes on counting; thread ids can be reused); wait()
// and the end of a KeptThreadJob both return only once the job has.
thread_local int jobsOnThisThread = 0;

TEST(KeptThreadJob, JobsOneAfterAnotherShareTheKeptThreadAndAreWaitedFor) {
    int first = 0, second = 0;
    {
        KeptThreadJob job;
        ASSERT_TRUE(job.start([&] { first = ++jobsOnThisThread; }));
        job.wait();
        EXPECT_GT(first, 0);
    }
    std::atomic<bool> ended{false};
    {
        KeptThreadJob job;
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

// While the kept thread serves one caller, another's job is refused at once
// and never runs; the thread takes jobs again once the first is over.
TEST(KeptThreadJob, AJobWhileTheKeptThreadIsBusyIsRefused) {
    std::atomic<bool> release{false}, refusedRan{false};
    KeptThreadJob first;
    ASSERT_TRUE(first.start([&] {
        for (auto end = std::chrono::steady_clock::now() + 5s; !release && std::chrono::steady_clock::now() < end;)
            std::this_thread::yield();
    }));
    KeptThreadJob refused;
    EXPECT_FALSE(refused.start([&] { refusedRan = true; }));
    release = true;
    first.wait();
    refused.wait();
    EXPECT_FALSE(refusedRan);

    KeptThreadJob later;
    EXPECT_TRUE(later.start([] {}));
}

}  // namespace
}  // namespace ostrel
