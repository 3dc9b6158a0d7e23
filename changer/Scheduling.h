#pragma once
// Arithmetic of the change scheduler: intervals, the countdown text, the
// processor-load figure and the daily check's next delay.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/SystemInfo.h"

namespace ostrel {

// A wait of the change timer: at least a second (a timer of 0 would never fire
// and the changing would stop for good) and at most what a window timer holds.
std::uint32_t changeWaitMs(std::int64_t ms);

// intervalValue seconds, minutes or hours in milliseconds (units 1, 2, 3);
// nullopt for another unit, which leaves the change timer as it was. A value
// below 1 counts as 1, as the options dialog turns "0" into "1".
std::optional<std::uint32_t> fixedIntervalMs(std::int32_t value, std::int32_t unit);

// The time left, as the tray tip shows it: "45 сек.", "4 мин. 59 сек",
// "1 час. 1 мин. 1 сек" (UTF-8); "0 сек." once the countdown has run past
// the interval, before the change tick restarts it.
std::string timetoch(std::uint32_t timerIntervalMs, std::int32_t elapsedSeconds);

// Processor load in per cent from two samples; keeps the newer sample.
class LoadGate {
public:
    // nullopt while there is no earlier sample or the query failed.
    std::optional<int> Proc(const std::optional<LoadSample>& now);

private:
    std::int64_t lastIdle_ = 0;
    std::int64_t lastTime_ = 0;
};

constexpr std::uint32_t kDailyHourMs = 3600000;
constexpr std::uint32_t kDailyMinuteMs = 60000;
constexpr std::uint32_t kDailySecondsMs = 3000;

// Delay to the next daily check when the clock does not show the set time:
// one hour while the set time is more than an hour ahead, a minute while it is
// further than the next minute, three seconds when it is the next minute. Every
// step lands before the set minute, so the change is never missed.
std::uint32_t dailyCheckDelayMs(int hour, int minute, int setHour, int setMinute);

}  // namespace ostrel
