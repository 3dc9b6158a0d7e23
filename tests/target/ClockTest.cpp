// The local clock as the daily change reads it: the calendar day comes with
// the time, or the change would be made once per run instead of once a day.
#include <gtest/gtest.h>

#include <ctime>
#include <tuple>

#include "platform/win32/Win32Timers.h"

namespace ostrel {
namespace {

auto dayAndHour(const std::tm& t) { return std::tuple(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour); }

TEST(Win32Clock, GivesTheCalendarDayWithTheHour) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::time_t before = std::time(nullptr);
        const LocalTime now = win32::Win32Clock().now();
        const std::time_t after = std::time(nullptr);
        const std::tm expected = *std::localtime(&before);
        if (dayAndHour(*std::localtime(&after)) != dayAndHour(expected)) continue;  // the hour turned meanwhile
        EXPECT_EQ(std::tuple(now.year, now.month, now.day, now.hour), dayAndHour(expected));
        return;
    }
    FAIL() << "the hour kept turning";
}

}  // namespace
}  // namespace ostrel
