#include "platform/win32/Win32Desktop.h"

#include <windows.h>
#include <shlobj.h>

namespace ostrel::win32 {
namespace {

constexpr UINT kLateRepaintMs = 300;

BOOL CALLBACK repaintVisible(HWND window, LPARAM) {
    if (IsWindowVisible(window))
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}

void CALLBACK repaintOwnWindowsLate(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EnumThreadWindows(GetCurrentThreadId(), repaintVisible, 0);
}

}  // namespace

bool runningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

ScreenSize primaryScreenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

ScreenSize Win32Desktop::screenSize() const { return primaryScreenSize(); }

void Win32Desktop::reloadWallpaper(const std::string& bitmapPath) {
    // The registry values are already written; the path is passed as well
    // because current systems do not reliably reload from a null argument.
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(bitmapPath.c_str()), SPIF_SENDWININICHANGE);
    // Wine's virtual desktop paints the new picture over the windows on top of
    // it. There every top-level window repaints now, and this program's own
    // windows once more when the desktop has surely painted. Windows itself
    // needs none of it, and repainting everything would make every window on
    // the screen flicker at each change.
    if (!runningUnderWine()) return;
    EnumWindows(repaintVisible, 0);
    SetTimer(nullptr, 0, kLateRepaintMs, repaintOwnWindowsLate);
}

bool Win32Desktop::activeDesktopPresent() const {
    HWND progman = FindWindowA("Progman", nullptr);
    if (!progman) return false;
    HWND view = FindWindowExA(progman, nullptr, "SHELLDLL_DefView", nullptr);
    if (!view) return false;
    return FindWindowExA(view, nullptr, "Internet Explorer_Server", nullptr) != nullptr;
}

void Win32Desktop::notifyShellAssocChanged() { SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

}  // namespace ostrel::win32
