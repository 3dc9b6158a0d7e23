#pragma once
// A window timer with the enabled/interval behaviour the program relies on:
// a new interval restarts the countdown, the same interval changes nothing,
// enabling an enabled timer changes nothing, and interval 0 never fires.
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

    void setEnabled(bool enabled) {
        if (enabled == enabled_) return;
        enabled_ = enabled;
        apply();
    }
    void setInterval(std::uint32_t intervalMs) {
        if (intervalMs == interval_) return;
        interval_ = intervalMs;
        apply();
    }

private:
    void apply() {
        if (enabled_ && interval_ > 0)
            service_.start(id_, interval_);
        else
            service_.stop(id_);
    }

    TimerService& service_;
    TimerId id_;
    std::uint32_t interval_;
    bool enabled_;
};

}  // namespace ostrel
