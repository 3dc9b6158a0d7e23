#pragma once
// When the wallpaper changes by itself: saved settings.
#include <cstdint>

namespace ostrel {

struct ScheduleSettings {
    bool playing = false;               // "playstat"
    std::int32_t intervalValue = 5;     // "TimeInterval"
    std::int32_t intervalUnit = 2;      // "secund": 1 s, 2 min, 3 h
    bool randomInterval = false;        // "TimeRandom"
    std::int32_t timeFromMs = 60000;    // "TimeFrom"
    std::int32_t timeToMs = 3600000;    // "TimeTo"
    bool dailyMode = false;             // "InTimeCh"
    std::uint8_t dailyHour = 1;         // "intime1"
    std::uint8_t dailyMinute = 1;       // "intime2"
    bool autorunChangeAndExit = false;  // "onload"
    bool autorunEnabled = false;        // "onwinload"
};

}  // namespace ostrel
