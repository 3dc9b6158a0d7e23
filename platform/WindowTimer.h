#pragma once
// A window timer with the enabled/interval behaviour the program relies on:
// a new interval restarts the countdown, the same interval changes nothing,
// enabling an enabled timer changes nothing, and interval 0 never fires.
// So confirming the options leaves the change countdown and the automatic
// download's wait running. Both setters answer whether the countdown started
// afresh, for what counts along with it.
#include <cstdint>

#include "platform/Timers.h"

namespace ostrel {

class WindowTimer {
public:
    WindowTimer(TimerService& service, TimerId id, std::uint32_t intervalMs, bool enabled)
        : service_(service), id_(id), interval_(intervalMs), enabled_(false) {
        setEnabled(enabled);
    }

    bool enabled() const { return enabled_; }
    std::uint32_t interval() const { return interval_; }

    bool setEnabled(bool enabled) {
        if (enabled == enabled_) return false;
        enabled_ = enabled;
        return apply();
    }
    bool setInterval(std::uint32_t intervalMs) {
        if (intervalMs == interval_) return false;
        interval_ = intervalMs;
        return apply();
    }

private:
    bool apply() {
        const bool running = enabled_ && interval_ > 0;
        if (running)
            service_.start(id_, interval_);
        else
            service_.stop(id_);
        return running;
    }

    TimerService& service_;
    TimerId id_;
    std::uint32_t interval_;
    bool enabled_;
};

}  // namespace ostrel
