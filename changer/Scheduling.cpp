#include "changer/Scheduling.h"

#include <algorithm>
#include <limits>

namespace ostrel {

std::uint32_t changeWaitMs(std::int64_t ms) {
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(ms, 1000, std::numeric_limits<std::int32_t>::max()));
}

std::optional<std::uint32_t> fixedIntervalMs(std::int32_t value, std::int32_t unit) {
    std::int64_t factor;
    switch (unit) {
    case 1: factor = 1000; break;
    case 2: factor = 60000; break;
    case 3: factor = 3600000; break;
    default: return std::nullopt;
    }
    return changeWaitMs(std::max<std::int64_t>(value, 1) * factor);
}

std::string timetoch(std::uint32_t timerIntervalMs, std::int32_t elapsedSeconds) {
    // The countdown and the change timer tick apart, so the count can run a
    // second past the interval; a wait never shows as a negative time.
    const std::int64_t r =
        std::max<std::int64_t>(static_cast<std::int64_t>(timerIntervalMs / 1000) - elapsedSeconds, 0);
    if (r < 60) return std::to_string(r) + " сек.";
    if (r < 3600) return std::to_string(r / 60) + " мин. " + std::to_string(r % 60) + " сек";
    return std::to_string(r / 3600) + " час. " + std::to_string((r % 3600) / 60) + " мин. " + std::to_string(r % 60) +
           " сек";
}

std::optional<int> LoadGate::Proc(const std::optional<LoadSample>& now) {
    if (!now) return std::nullopt;  // a failed query keeps the old sample
    bool first = lastIdle_ == 0 && lastTime_ == 0;
    std::int64_t dIdle = now->idleTime - lastIdle_;
    std::int64_t dTime = now->systemTime - lastTime_;
    lastIdle_ = now->idleTime;
    lastTime_ = now->systemTime;
    if (first) return std::nullopt;
    // No time passed or no processor reported: no figure rather than a division by zero.
    if (dTime <= 0 || now->processors == 0) return std::nullopt;
    long double load = 100.0L - (static_cast<long double>(dIdle) / dTime * 100.0L) / now->processors + 0.5L;
    return static_cast<int>(load);  // truncates toward zero
}

std::uint32_t dailyCheckDelayMs(int hour, int minute, int setHour, int setMinute) {
    int now = hour * 60 + minute;
    int target = setHour * 60 + setMinute;
    int ahead = ((target - now) % 1440 + 1440) % 1440;  // minutes until the set minute starts
    if (ahead == 1) return kDailySecondsMs;
    // An hour's wait from here still lands at least two minutes before the set time.
    if (ahead > 61) return kDailyHourMs;
    return kDailyMinuteMs;
}

}  // namespace ostrel
