// The changer's rules of time: the countdown, the intervals, the load gate,
// the daily change, and the random source of the random waits and the shuffle.
#include "changer/Scheduling.h"
#include "app/SeededRandom.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace ostrel {
namespace {

TEST(Countdown, MatchesTheTrayTipForm) {
    const struct {
        std::uint32_t intervalMs;
        std::int32_t elapsed;
        const char* text;
    } cases[] = {{46000, 1, "45 сек."},
                 {300000, 1, "4 мин. 59 сек"},
                 {3662000, 1, "1 час. 1 мин. 1 сек"},
                 {86400000, 1, "23 час. 59 мин. 59 сек"},
                 {60000, 0, "1 мин. 0 сек"},
                 {60000, 1, "59 сек."},
                 {3600000, 0, "1 час. 0 мин. 0 сек"},
                 {2999, 0, "2 сек."},     // an interval not a whole number of seconds: truncated first
                 {61500, 62, "0 сек."}};  // counted past the interval before the change tick: never below zero
    for (const auto& c : cases) EXPECT_EQ(timetoch(c.intervalMs, c.elapsed), c.text) << c.intervalMs;
}

TEST(FixedInterval, UnitsAndOutOfRangeValues) {
    // Hand-edited values must not overflow into a short or negative interval,
    // nor stop the timer: below 1 counts as 1.
    const struct {
        std::int32_t value, unit;
        std::optional<std::uint32_t> ms;
    } cases[] = {{5, 2, 300000},          {24, 3, 86400000}, {5, 0, {}},     {5, 4, {}},
                 {100000, 3, 0x7FFFFFFF}, {-3, 1, 1000},     {0, 3, 3600000}};
    for (const auto& c : cases) EXPECT_EQ(fixedIntervalMs(c.value, c.unit), c.ms) << c.value << " in " << c.unit;
}

TEST(LoadGate, FirstSampleGivesNoFigureThenAverageLoadRoundedHalfUp) {
    LoadGate gate;
    // Two processors, 10 s of wall time between samples.
    LoadSample a{2, 1000000000, 500000000};
    EXPECT_EQ(gate.Proc(a), std::nullopt);
    LoadSample b{2, a.systemTime + 100000000, a.idleTime + 100000000};  // half idle
    EXPECT_EQ(gate.Proc(b), 50);
    LoadSample c{2, b.systemTime + 100000000, b.idleTime + 98000000};  // 51 % busy
    EXPECT_EQ(gate.Proc(c), 51);
    // A failed query gives no figure and keeps the sample it had.
    EXPECT_EQ(gate.Proc(std::nullopt), std::nullopt);
    LoadSample d{2, c.systemTime + 100000000, c.idleTime + 200000000};  // fully idle
    EXPECT_EQ(gate.Proc(d), 0);
    LoadSample e{2, d.systemTime + 1000, d.idleTime + 990};  // 50.5 % busy rounds up
    EXPECT_EQ(gate.Proc(e), 51);
    EXPECT_EQ(gate.Proc(e), std::nullopt);  // no time passed
}

TEST(DailyDelay, StepsTowardTheSetMinute) {
    const struct {
        int hour, minute, setHour, setMinute;
        std::uint32_t delay;
    } cases[] = {
        {10, 10, 10, 30, kDailyMinuteMs}, {10, 29, 10, 30, kDailySecondsMs}, {9, 45, 10, 30, kDailyMinuteMs},
        {9, 50, 10, 30, kDailyMinuteMs},  // the hour before the set hour, past the set minute: a minute, not an hour
        {23, 59, 0, 0, kDailySecondsMs},  {3, 0, 10, 30, kDailyHourMs},      {10, 31, 10, 30, kDailyHourMs},
        {9, 28, 10, 30, kDailyHourMs},    {9, 29, 10, 30, kDailyMinuteMs}};
    for (const auto& c : cases)
        EXPECT_EQ(dailyCheckDelayMs(c.hour, c.minute, c.setHour, c.setMinute), c.delay) << c.hour << ":" << c.minute;
}

std::vector<std::int32_t> draws(std::uint64_t seed, std::int32_t n, int count) {
    SeededRandom random(seed);
    std::vector<std::int32_t> out(count);
    for (auto& v : out) v = random.below(n);
    return out;
}

TEST(SeededRandomTest, DrawsCoverTheWholeRangeAndNothingElse) {
    for (std::int32_t n : {INT32_MIN, -1, 0, 1, 2, 7}) {
        std::set<std::int32_t> seen, every{0};  // an empty or negative range answers 0
        for (std::int32_t v : draws(99, n, 2000)) seen.insert(v);
        for (std::int32_t v = 1; v < n; ++v) every.insert(v);
        EXPECT_EQ(seen, every) << "n = " << n;
    }
}

// Start-up counters may differ only above 32 bits.
TEST(SeededRandomTest, TheHighHalfOfTheSeedChangesTheSequence) {
    EXPECT_NE(draws(0x1234, 1000000, 20), draws(0x1234 + (std::uint64_t{1} << 32), 1000000, 20));
}

}  // namespace
}  // namespace ostrel
