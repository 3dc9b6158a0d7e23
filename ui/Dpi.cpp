#include "ui/Dpi.h"

namespace ostrel::ui {
namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// Looked up once: older Windows has no GetDpiForWindow, and the program must
// still start there.
GetDpiForWindowFunction getDpiForWindow() {
    static const GetDpiForWindowFunction function = [] {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        return user32 ? reinterpret_cast<GetDpiForWindowFunction>(
                            reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                      : nullptr;
    }();
    return function;
}

int systemDpi() {
    HDC screen = GetDC(nullptr);
    if (!screen) return 0;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

DpiScale windowScale(HWND window) {
    if (window) {
        if (GetDpiForWindowFunction function = getDpiForWindow()) {
            if (const UINT dpi = function(window)) return DpiScale(static_cast<int>(dpi));
        }
    }
    // DpiScale takes an unknown (0) or absurd answer as 96.
    return DpiScale(systemDpi());
}

}  // namespace ostrel::ui
