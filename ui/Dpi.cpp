#include "ui/Dpi.h"

#include "ui/WindowBase.h"

namespace ostrel::ui {
namespace {

// Looked up at run time: older Windows has neither function, and the program
// must still start there.
template <class Function>
Function user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int kind, UINT*, UINT*);
using MetricsForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using DpiBehaviourFunction = BOOL(WINAPI*)(HWND, int mask, int values);
constexpr int kDialogDisableAll = 1;                // DDC_DISABLE_ALL
constexpr int kControlDisableFontAndPlace = 1 | 2;  // DCDC_DISABLE_FONTUPDATE | DCDC_DISABLE_RELAYOUT

GetDpiForWindowFunction getDpiForWindow() {
    static const auto function = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    return function;
}

AdjustForDpiFunction adjustWindowRectExForDpi() {
    static const auto function = user32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
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

DpiScale primaryMonitorScale() {
    // shcore.dll is not loaded otherwise; it stays loaded for the run. Only
    // the system's own copy: never one planted beside the program.
    static const auto forMonitor = [] {
        HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return shcore ? reinterpret_cast<GetDpiForMonitorFunction>(
                            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    UINT across = 0, down = 0;
    if (forMonitor &&
        SUCCEEDED(forMonitor(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), kEffectiveDpi, &across, &down)))
        return DpiScale(static_cast<int>(across));
    return DpiScale(systemDpi());
}

win32::UniqueFont statusFont(DpiScale scale) {
    static const auto forDpi = user32Function<MetricsForDpiFunction>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!forDpi || !forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(scale.dpi()))) {
        // Older Windows tells the metrics at the system's DPI only.
        if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return {};
        metrics.lfStatusFont.lfHeight = MulDiv(metrics.lfStatusFont.lfHeight, scale.dpi(), DpiScale(systemDpi()).dpi());
    }
    return win32::UniqueFont(CreateFontIndirectW(&metrics.lfStatusFont));
}

DpiScale windowScale(HWND window) {
    if (window) {
        if (GetDpiForWindowFunction function = getDpiForWindow()) {
            if (const UINT dpi = function(window)) return DpiScale(static_cast<int>(dpi));
        }
    }
    // DpiScale takes an unknown (0) or absurd answer as 96.
    return DpiScale(systemDpi());
}

FrameSize windowFrame(HWND window, DpiScale at) {
    RECT frame{};
    const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    const BOOL menu = (style & WS_CHILD) == 0 && GetMenu(window) != nullptr;
    if (AdjustForDpiFunction adjust = adjustWindowRectExForDpi();
        adjust && adjust(&frame, style, menu, exStyle, static_cast<UINT>(at.dpi())))
        return {frame.right - frame.left, frame.bottom - frame.top};
    RECT outer{}, client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    return {(outer.right - outer.left) - client.right, (outer.bottom - outer.top) - client.bottom};
}

DpiChange dpiChangeOf(WPARAM wParam, LPARAM lParam) {
    // The DPI comes twice, across and down, always the same.
    return {DpiScale(HIWORD(wParam)), *reinterpret_cast<const RECT*>(lParam)};
}

void moveForDpi(HWND window, const RECT& suggested, int clientWidth, int clientHeight) {
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    sizeClientArea(window, clientWidth, clientHeight);
}

void keepDialogFromScaling(HWND dialog) {
    static const auto forDialog = user32Function<DpiBehaviourFunction>("SetDialogDpiChangeBehavior");
    static const auto forControl = user32Function<DpiBehaviourFunction>("SetDialogControlDpiChangeBehavior");
    if (forDialog) forDialog(dialog, kDialogDisableAll, kDialogDisableAll);
    if (!forControl) return;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        forControl(child, kControlDisableFontAndPlace, kControlDisableFontAndPlace);
}

HWND ScaledControls::add(HWND control, RECT designed) {
    if (control) controls_.emplace_back(control, designed);
    return control;
}

void ScaledControls::place(DpiScale s, HFONT font) const {
    for (const auto& [control, r] : controls_) {
        MoveWindow(control, s(r.left), s(r.top), s(r.right - r.left), s(r.bottom - r.top), TRUE);
        if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

}  // namespace ostrel::ui
