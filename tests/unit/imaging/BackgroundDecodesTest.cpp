#include "imaging/BackgroundDecodes.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "fakes/Signal.h"
#include "fakes/TestImages.h"

namespace ostrel {
namespace {

using namespace std::chrono_literals;
using testing::Signal;

std::optional<Image> pictureOfWidth(int width) { return testing::solidImage(width, 1, {1, 2, 3}); }

// The caller goes on while the picture is made elsewhere, and hears when it is there.
TEST(BackgroundDecodes, DecodeOffTheCallingThreadAndSayWhenReady) {
    Signal ready, release;
    std::thread::id decodedOn;
    BackgroundDecodes decodes([&] { ready.raise(); });
    decodes.request(1, [&] {
        decodedOn = std::this_thread::get_id();
        release.waitFor(1);
        return pictureOfWidth(2);
    });
    EXPECT_TRUE(decodes.take().empty());
    release.raise();
    ASSERT_TRUE(ready.waitFor(1));
    auto results = decodes.take();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].place, 1);
    ASSERT_TRUE(results[0].value);
    EXPECT_EQ(results[0].value->width, 2);
    EXPECT_NE(decodedOn, std::this_thread::get_id());
}

// A page turned while its previews are decoded: the older pictures never
// reach their places, and one dropped before it starts is not even made.
TEST(BackgroundDecodes, OnlyTheNewestRequestOfAPlaceIsHandedOut) {
    Signal ready, started, release;
    std::atomic<bool> droppedRan{false};
    BackgroundDecodes decodes([&] { ready.raise(); });
    decodes.request(1, [&] {
        started.raise();
        release.waitFor(1);
        return pictureOfWidth(2);
    });
    ASSERT_TRUE(started.waitFor(1));
    decodes.request(1, [] { return pictureOfWidth(3); });
    decodes.request(2, [&] { return droppedRan = true, pictureOfWidth(4); });
    decodes.drop(2);
    release.raise();
    ASSERT_TRUE(ready.waitFor(1));
    decodes.stop();  // whatever was still to come has come
    auto results = decodes.take();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].place, 1);
    EXPECT_EQ(results[0].value->width, 3);
    EXPECT_FALSE(droppedRan);
    EXPECT_EQ(ready.count(), 1);
}

// Stopping waits for the decode in hand, so the worker never outlives its
// owner, and nothing is reported after it.
TEST(BackgroundDecodes, StopWaitsForTheDecodeInHandAndReportsNothing) {
    Signal ready, started;
    std::atomic<bool> finished{false};
    BackgroundDecodes decodes([&] { ready.raise(); });
    decodes.request(1, [&] {
        started.raise();
        std::this_thread::sleep_for(50ms);
        finished = true;
        return pictureOfWidth(2);
    });
    ASSERT_TRUE(started.waitFor(1));
    decodes.stop();
    EXPECT_TRUE(finished);
    decodes.request(2, [] { return pictureOfWidth(3); });
    EXPECT_EQ(ready.count(), 0);
    EXPECT_TRUE(decodes.take().empty());
}

}  // namespace
}  // namespace ostrel
