#pragma once
// The DPI a window is drawn at, the one place the program asks it.
#include <windows.h>

#include <vector>

#include "app/Settings.h"
#include "base/DpiScale.h"
#include "platform/win32/UniqueHandle.h"

namespace ostrel::ui {

// The window's own DPI where the system tells it (GetDpiForWindow, Windows 10
// 1607 and later), else the system's DPI, else 96. nullptr: the system's.
DpiScale windowScale(HWND window);

// The primary monitor's DPI, where the taskbar and its notification area are
// (GetDpiForMonitor, Windows 8.1 and later), else the system's.
DpiScale primaryMonitorScale();

// The font Windows gives status bars and tooltips, at a DPI: their own
// default stays at the DPI the program started at.
win32::UniqueFont statusFont(DpiScale scale);

// The window's frame, caption and menu bar at a DPI, by its styles, where
// Windows can say it for any DPI (AdjustWindowRectExForDpi); elsewhere the
// frame it has now, whatever the DPI asked.
FrameSize windowFrame(HWND window, DpiScale at);

// What WM_DPICHANGED tells a window: its new DPI (the window moved to a
// monitor of another scaling, or the scaling changed) and the rectangle
// Windows suggests for it there.
struct DpiChange {
    DpiScale scale;
    RECT suggested;
};
DpiChange dpiChangeOf(WPARAM wParam, LPARAM lParam);

// A window of a fixed designed client area goes where Windows suggests, with
// that client area at the new DPI: the suggested size scales the frame as
// well, which the system draws at sizes of its own.
void moveForDpi(HWND window, const RECT& suggested, int clientWidth, int clientHeight);

// A dialog box that lays itself out at each DPI, with its controls: the
// dialog manager's own scaling of them (Windows 10 1703 and later) is
// switched off, so that it is not done twice. Call it once the controls exist.
void keepDialogFromScaling(HWND dialog);

// A window's child controls at their designed rectangles (96 DPI), placed
// again at each DPI with the window's font for that DPI.
class ScaledControls {
public:
    // Returns control, so that creation and registration are one expression;
    // a control that could not be made (nullptr) is not kept.
    HWND add(HWND control, RECT designed);
    void place(DpiScale scale, HFONT font) const;

private:
    std::vector<std::pair<HWND, RECT>> controls_;
};

}  // namespace ostrel::ui
