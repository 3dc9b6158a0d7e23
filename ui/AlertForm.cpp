#include "ui/AlertForm.h"

#include "base/ProgramName.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Desktop.h"
#include "ui/Dpi.h"
#include "ui/PixelFont.h"

namespace ostrel::ui {
namespace {

constexpr const wchar_t* kClassName = L"Talertform";
constexpr int kClientWidth = 190;
constexpr int kClientHeight = 51;
constexpr int kShownHeight = 72;  // the outer height once placed
constexpr int kTaskbarRoom = 30;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr int kButtonId = 1;
constexpr POINT kButtonAt{48, 24};
constexpr SIZE kButtonSize{97, 17};
constexpr POINT kTextAt{16, 8};

}  // namespace

bool AlertForm::create(HWND owner) {
    if (hwnd_) return true;
    if (!registerWindowClass(instance_, {kClassName, &windowProc, GetSysColorBrush(COLOR_BTNFACE)})) return false;
    CreateWindowExW(kExStyle, kClassName, kProgramTitleWide, kStyle, 0, 0, 0, 0, owner, nullptr, instance_, this);
    if (!hwnd_) return false;
    button_ =
        controls_.add(CreateWindowExW(0, L"BUTTON", win32::utf8ToWide("Остановить").c_str(),
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, hwnd_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), instance_, nullptr),
                      {kButtonAt.x, kButtonAt.y, kButtonAt.x + kButtonSize.cx, kButtonAt.y + kButtonSize.cy});
    if (!button_) return false;
    layOut(windowScale(hwnd_));
    return true;
}

// The notice has a place of its own, at the screen's bottom right, rather
// than the one Windows suggests at a new DPI.
void AlertForm::layOut(DpiScale s) {
    scale_ = s;
    sizeClientArea(hwnd_, s(kClientWidth), s(kClientHeight));
    font_ = pixelFont(L"Verdana", s(11), true);
    controls_.place(s, font_.get());
    if (IsWindowVisible(hwnd_)) showNotice();
}

void AlertForm::showNotice() {
    if (!hwnd_) return;
    RECT outer{};
    GetWindowRect(hwnd_, &outer);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    const ScreenSize screen = win32::primaryScreenSize();
    const int left = screen.width - width;
    const int top = screen.height - height - scale_(kTaskbarRoom);
    // Shown without taking the keyboard from whatever the user is doing.
    SetWindowPos(hwnd_, HWND_TOPMOST, left, top, width, scale_(kShownHeight), SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void AlertForm::paint() {
    win32::PaintScope painting(hwnd_);
    HDC dc = painting.dc();
    win32::SelectObjectScope selectFont(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    const std::wstring text = win32::utf8ToWide("Идет скачивание обоев");
    TextOutW(dc, scale_(kTextAt.x), scale_(kTextAt.y), text.c_str(), static_cast<int>(text.size()));
}

LRESULT AlertForm::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: paint(); return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) {
            if (onStop) onStop();
            ShowWindow(hwnd_, SW_HIDE);
        }
        return 0;
    case WM_DPICHANGED: layOut(dpiChangeOf(wParam, lParam).scale); return 0;
    case WM_CLOSE:  // the close box only hides it
        ShowWindow(hwnd_, SW_HIDE);
        return 0;
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

}  // namespace ostrel::ui
