#include "changer/Scheduling.h"
#include "app/Rounding.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

struct CountdownCase {
    std::uint32_t intervalMs;
    std::int32_t elapsed;
    const char* text;
};

class CountdownText : public ::testing::TestWithParam<CountdownCase> {};

TEST_P(CountdownText, MatchesTrayTipForm) {
    EXPECT_EQ(timetoch(GetParam().intervalMs, GetParam().elapsed), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Forms, CountdownText,
                         ::testing::Values(CountdownCase{46000, 1, "45 сек."},
                                           CountdownCase{300000, 1, "4 мин. 59 сек"},
                                           CountdownCase{3662000, 1, "1 час. 1 мин. 1 сек"},
                                           CountdownCase{86400000, 1, "23 час. 59 мин. 59 сек"},
                                           CountdownCase{60000, 0, "1 мин. 0 сек"},
                                           CountdownCase{60000, 1, "59 сек."},
                                           CountdownCase{3600000, 0, "1 час. 0 мин. 0 сек"},
                                           // interval not a whole number of seconds: truncated first
                                           CountdownCase{2999, 0, "2 сек."}));

TEST(FixedInterval, UnitsAndOutOfRangeValues) {
    EXPECT_EQ(fixedIntervalMs(5, 2), 300000u);
    EXPECT_EQ(fixedIntervalMs(2, 1), 2000u);
    EXPECT_EQ(fixedIntervalMs(24, 3), 86400000u);
    EXPECT_EQ(fixedIntervalMs(5, 0), std::nullopt);
    EXPECT_EQ(fixedIntervalMs(5, 4), std::nullopt);
    // Hand-edited values must not overflow into a short or negative interval.
    EXPECT_EQ(fixedIntervalMs(100000, 3), 0x7FFFFFFFu);
    EXPECT_EQ(fixedIntervalMs(-3, 1), 0u);
}

TEST(LoadGate, FirstSampleGivesNoFigureThenAverageLoad) {
    LoadGate gate;
    // Two processors, 10 s of wall time between samples.
    LoadSample a{2, 1000000000, 500000000};
    EXPECT_EQ(gate.Proc(a), std::nullopt);
    LoadSample b{2, a.systemTime + 100000000, a.idleTime + 100000000};  // half idle
    EXPECT_EQ(gate.Proc(b), 50);
    LoadSample c{2, b.systemTime + 100000000, b.idleTime + 98000000};   // 51 % busy
    EXPECT_EQ(gate.Proc(c), 51);
    // A failed query gives no figure and keeps the sample it had.
    EXPECT_EQ(gate.Proc(std::nullopt), std::nullopt);
    LoadSample d{2, c.systemTime + 100000000, c.idleTime + 200000000};  // fully idle
    EXPECT_EQ(gate.Proc(d), 0);
}

TEST(LoadGate, HalfPercentRoundsUpAndZeroTimeGivesNoFigure) {
    LoadGate gate;
    LoadSample a{1, 1000, 1000};
    gate.Proc(a);
    LoadSample b{1, a.systemTime + 1000, a.idleTime + 495};  // 50.5 % busy
    EXPECT_EQ(gate.Proc(b), 51);
    EXPECT_EQ(gate.Proc(b), std::nullopt);  // no time passed
}

struct DailyCase {
    int hour, minute, setHour, setMinute;
    std::uint32_t delay;
};

class DailyDelay : public ::testing::TestWithParam<DailyCase> {};

TEST_P(DailyDelay, StepsTowardTheSetMinute) {
    const auto& c = GetParam();
    EXPECT_EQ(dailyCheckDelayMs(c.hour, c.minute, c.setHour, c.setMinute), c.delay);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DailyDelay,
    ::testing::Values(DailyCase{10, 10, 10, 30, kDailyMinuteMs}, DailyCase{10, 29, 10, 30, kDailySecondsMs},
                      DailyCase{9, 45, 10, 30, kDailyMinuteMs},
                      // The hour before the set hour, past the set minute: a minute, not an hour.
                      DailyCase{9, 50, 10, 30, kDailyMinuteMs}, DailyCase{23, 59, 0, 0, kDailySecondsMs},
                      DailyCase{3, 0, 10, 30, kDailyHourMs}, DailyCase{10, 31, 10, 30, kDailyHourMs},
                      DailyCase{9, 28, 10, 30, kDailyHourMs}, DailyCase{9, 29, 10, 30, kDailyMinuteMs}));

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(5, 2), 2);
    EXPECT_EQ(roundHalfEven(7, 2), 4);
    EXPECT_EQ(roundHalfEven(-5, 2), -2);
    EXPECT_EQ(roundHalfEven(-7, 2), -4);
    EXPECT_EQ(roundHalfEven(10, 4), 2);
    EXPECT_EQ(roundHalfEven(11, 4), 3);
    EXPECT_EQ(roundHalfEven(-1, 3), 0);
}

}  // namespace
}  // namespace ostrel
