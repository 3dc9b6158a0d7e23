#pragma once
// The DPI a window is drawn at, the one place the program asks it.
#include <windows.h>

#include "app/Settings.h"
#include "base/DpiScale.h"

namespace ostrel::ui {

// The window's own DPI where the system tells it (GetDpiForWindow, Windows 10
// 1607 and later), else the system's DPI, else 96. nullptr: the system's.
DpiScale windowScale(HWND window);

// The window's frame, caption and menu bar at a DPI, by its styles, where
// Windows can say it for any DPI (AdjustWindowRectExForDpi); elsewhere the
// frame it has now, whatever the DPI asked.
FrameSize windowFrame(HWND window, DpiScale at);

}  // namespace ostrel::ui
