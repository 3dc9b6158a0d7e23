#include "platform/win32/Win32Drives.h"

#include <windows.h>

namespace ostrel::win32 {
namespace {

DriveKind kindOf(UINT type) {
    switch (type) {
    case DRIVE_REMOVABLE: return DriveKind::Removable;
    case DRIVE_FIXED: return DriveKind::Fixed;
    case DRIVE_REMOTE: return DriveKind::Remote;
    case DRIVE_CDROM: return DriveKind::CdRom;
    default: return DriveKind::Other;  // RAM disks and whatever the system cannot tell
    }
}

}  // namespace

std::vector<Drive> Win32Drives::present() const {
    std::vector<Drive> drives;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        // "C:\", with the backslash the function documents for a root.
        const char root[] = {letter, ':', '\\', '\0'};
        const UINT type = GetDriveTypeA(root);
        if (type != DRIVE_NO_ROOT_DIR) drives.push_back(Drive{letter, kindOf(type)});
    }
    return drives;
}

}  // namespace ostrel::win32
