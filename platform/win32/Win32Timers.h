#pragma once
// Window timers of the main window, the local clock and the start-up seed.
#include <windows.h>

#include <cstdint>

#include "platform/Timers.h"

namespace ostrel::win32 {

class Win32Timers final : public TimerService {
public:
    explicit Win32Timers(HWND window) : window_(window) {}
    void start(TimerId id, std::uint32_t intervalMs) override;
    void stop(TimerId id) override;

private:
    HWND window_;
};

class Win32Clock final : public Clock {
public:
    LocalTime now() const override;
};

// A seed for the program's generator: the performance counter, or the tick
// count when the system has no performance counter.
std::uint64_t startupSeed();

}  // namespace ostrel::win32
