#pragma once
// Window timers of the main window and the local clock.
#include <cstdint>

namespace ostrel {

enum class TimerId : unsigned {
    Change = 1,      // the picture changes on the set interval
    Countdown = 3,   // the tray tip's countdown
    Daily = 4,       // the once-a-day check
    Browsing = 5,    // the end of the browsing pause
    Blink = 6,       // the empty list's add-button blink
    Download = 7,    // the automatic download
    LoadStatus = 8,  // the download browser's 100 ms status tick
};

class TimerService {
public:
    virtual ~TimerService() = default;
    // (Re)starts the timer with a fresh countdown of intervalMs.
    virtual void start(TimerId id, std::uint32_t intervalMs) = 0;
    virtual void stop(TimerId id) = 0;
};

struct LocalTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int year = 0;  // the calendar day, so that a daily change happens once a day
    int month = 0;
    int day = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
};

}  // namespace ostrel
