#pragma once
// Processor count, system time and idle time from NtQuerySystemInformation.
#include "platform/SystemInfo.h"

namespace ostrel::win32 {

class Win32SystemInfo final : public SystemInfo {
public:
    Win32SystemInfo();
    std::optional<LoadSample> sample() override;

private:
    using QueryFunction = long(__stdcall*)(unsigned long, void*, unsigned long, unsigned long*);
    QueryFunction query_ = nullptr;
};

}  // namespace ostrel::win32
