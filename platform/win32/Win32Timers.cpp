#include "platform/win32/Win32Timers.h"

namespace ostrel::win32 {

void Win32Timers::start(TimerId id, std::uint32_t intervalMs) {
    // SetTimer with an existing id replaces that timer, which restarts its countdown.
    SetTimer(window_, static_cast<UINT_PTR>(id), intervalMs, nullptr);
}

void Win32Timers::stop(TimerId id) { KillTimer(window_, static_cast<UINT_PTR>(id)); }

LocalTime Win32Clock::now() const {
    SYSTEMTIME time{};
    GetLocalTime(&time);
    return {time.wHour, time.wMinute, time.wSecond, time.wYear, time.wMonth, time.wDay};
}

std::uint64_t startupSeed() {
    LARGE_INTEGER counter{};
    if (QueryPerformanceCounter(&counter) && counter.QuadPart != 0) return static_cast<std::uint64_t>(counter.QuadPart);
    return GetTickCount();
}

}  // namespace ostrel::win32
