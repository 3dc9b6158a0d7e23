#include "platform/win32/SingleInstance.h"

#include <windows.h>

namespace ostrel::win32 {

InstanceRole claimInstance(const char* markerName) {
    constexpr DWORD kMutexAllAccess = 0x1F0001;
    if (HANDLE running = OpenMutexA(kMutexAllAccess, FALSE, markerName)) {
        CloseHandle(running);
        return InstanceRole::Another;
    }
    return createInstanceMarker(markerName);
}

InstanceRole createInstanceMarker(const char* markerName) {
    // Never closed by a first instance: the system does that at the end.
    // When it cannot be created at all the program runs as the first one.
    HANDLE marker = CreateMutexA(nullptr, FALSE, markerName);
    if (marker && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(marker);
        return InstanceRole::Another;
    }
    return InstanceRole::First;
}

}  // namespace ostrel::win32
