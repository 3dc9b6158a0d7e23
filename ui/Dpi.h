#pragma once
// The DPI a window is drawn at, the one place the program asks it.
#include <windows.h>

#include "base/DpiScale.h"

namespace ostrel::ui {

// The window's own DPI where the system tells it (GetDpiForWindow, Windows 10
// 1607 and later), else the system's DPI, else 96. nullptr: the system's.
DpiScale windowScale(HWND window);

}  // namespace ostrel::ui
