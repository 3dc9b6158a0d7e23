#include "imaging/RowsAhead.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace ostrel {
namespace {

constexpr std::size_t kRowBytes = 7;

// Row i holds i in its first four bytes and a marker after.
std::vector<std::uint8_t> numberedRow(int i) {
    std::vector<std::uint8_t> row(kRowBytes, 0xA5);
    std::memcpy(row.data(), &i, sizeof i);
    return row;
}

int numberOf(const std::uint8_t* row) {
    int i;
    std::memcpy(&i, row, sizeof i);
    EXPECT_EQ(row[kRowBytes - 1], 0xA5);
    return i;
}

// Makes `rows` numbered rows, or fails after `failAfter` of them.
struct Maker {
    explicit Maker(int rows, int failAfter = -1, bool throws = false)
        : rows(rows), failAfter(failAfter), throws(throws) {}
    int rows, failAfter;
    bool throws;
    std::atomic<int> made{0};
    std::thread::id on;

    bool operator()(const RowSink& sink) {
        on = std::this_thread::get_id();
        for (int i = 0; i < rows; ++i) {
            if (i == failAfter) {
                if (throws) throw std::runtime_error("broken");
                return false;
            }
            sink(numberedRow(i).data());
            ++made;
        }
        return true;
    }
};

// Every row arrives once, in order, on the calling thread, made on another;
// whole strips, part strips and nothing at all.
class RowsAheadCounts : public ::testing::TestWithParam<int> {};

TEST_P(RowsAheadCounts, EveryRowInOrderMadeOnAnotherThread) {
    Maker make(GetParam());
    std::vector<int> taken;
    std::thread::id takenOn;
    const bool ok = takeRowsMadeAhead(kRowBytes, std::ref(make), [&](const std::uint8_t* row) {
        takenOn = std::this_thread::get_id();
        taken.push_back(numberOf(row));
    });
    EXPECT_TRUE(ok);
    ASSERT_EQ(taken.size(), static_cast<std::size_t>(GetParam()));
    for (int i = 0; i < GetParam(); ++i) EXPECT_EQ(taken[static_cast<std::size_t>(i)], i);
    EXPECT_NE(make.on, std::this_thread::get_id());
    if (GetParam() > 0) {
        EXPECT_EQ(takenOn, std::this_thread::get_id());
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, RowsAheadCounts, ::testing::Values(0, 1, 64, 65, 1000));

// The set-up given runs on the calling thread while the maker already makes
// rows, and before the first row is taken.
TEST(RowsAhead, TheSetUpRunsBesideTheMakingBeforeTheFirstRowIsTaken) {
    Maker make(300);
    std::thread::id setUpOn;
    bool sawRowsMade = false, setUp = false;
    std::optional<bool> setUpBeforeFirstRow;
    const bool ok = takeRowsMadeAhead(
        kRowBytes, std::ref(make),
        [&](const std::uint8_t*) {
            if (!setUpBeforeFirstRow) setUpBeforeFirstRow = setUp;
        },
        [&] {
            setUpOn = std::this_thread::get_id();
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (make.made == 0 && std::chrono::steady_clock::now() < end) std::this_thread::yield();
            sawRowsMade = make.made > 0;
            setUp = true;
        });
    EXPECT_TRUE(ok);
    EXPECT_EQ(setUpOn, std::this_thread::get_id());
    EXPECT_TRUE(sawRowsMade);
    EXPECT_EQ(setUpBeforeFirstRow, true);
}

// A maker that fails or throws is a failure, after the rows it did make.
TEST(RowsAhead, AFailedOrThrowingMakerIsAFailureAfterItsRows) {
    for (bool throws : {false, true}) {
        Maker make(100, 40, throws);
        int taken = 0;
        EXPECT_FALSE(takeRowsMadeAhead(kRowBytes, std::ref(make), [&](const std::uint8_t*) { ++taken; }));
        EXPECT_EQ(taken, 40) << throws;
    }
}

// A slow taker holds the maker back to a few strips: the rows are never all
// kept. A taker or a set-up that throws leaves with its exception once the
// maker has ended.
TEST(RowsAhead, TheMakerStaysAFewStripsAheadAndATakerOrSetUpThatThrowsEndsIt) {
    Maker make(2000);
    int taken = 0, mostAhead = 0;
    takeRowsMadeAhead(kRowBytes, std::ref(make), [&](const std::uint8_t*) {
        std::this_thread::yield();
        mostAhead = std::max(mostAhead, make.made.load() - taken++);
    });
    EXPECT_EQ(taken, 2000);
    EXPECT_LE(mostAhead, 5 * 64);  // four strips handed over and one being made

    Maker endless(1'000'000);
    EXPECT_THROW(takeRowsMadeAhead(kRowBytes, std::ref(endless),
                                   [&](const std::uint8_t* row) {
                                       if (numberOf(row) == 5) throw std::runtime_error("full disk");
                                   }),
                 std::runtime_error);
    EXPECT_EQ(endless.made.load(), 1'000'000);  // made to its end, kept nowhere

    Maker endlessToo(1'000'000);
    EXPECT_THROW(takeRowsMadeAhead(
                     kRowBytes, std::ref(endlessToo), [](const std::uint8_t*) {}, [] { throw std::bad_alloc(); }),
                 std::bad_alloc);
    EXPECT_EQ(endlessToo.made.load(), 1'000'000);
}

// A caller that finds the second thread taken by another makes its rows on
// its own thread, after its set-up, and gets every one in order.
TEST(RowsAhead, ACallerThatFindsTheSecondThreadBusyMakesItsRowsItself) {
    std::atomic<bool> holding{false}, release{false};
    std::thread other([&] {
        takeRowsMadeAhead(
            kRowBytes,
            [&](const RowSink&) {
                holding = true;
                for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
                     !release && std::chrono::steady_clock::now() < end;)
                    std::this_thread::yield();
                return true;
            },
            [](const std::uint8_t*) {});
    });
    while (!holding) std::this_thread::yield();

    Maker make(200);
    bool setUp = false;
    std::vector<int> taken;
    const bool ok = takeRowsMadeAhead(
        kRowBytes, std::ref(make),
        [&](const std::uint8_t* row) {
            EXPECT_TRUE(setUp);
            taken.push_back(numberOf(row));
        },
        [&] { setUp = true; });
    release = true;
    other.join();
    EXPECT_TRUE(ok);
    EXPECT_EQ(make.on, std::this_thread::get_id());
    ASSERT_EQ(taken.size(), 200u);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(taken[static_cast<std::size_t>(i)], i);
}

}  // namespace
}  // namespace ostrel
