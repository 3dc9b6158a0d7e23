#include "ui/ModalWindow.h"

#include "platform/win32/Text.h"
#include "ui/Dpi.h"
#include "ui/ModalLoop.h"

namespace ostrel::ui {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;  // a dialog's frame, without an icon

}  // namespace

ModalWindow::ModalWindow(HINSTANCE instance, const Look& look) : instance_(instance), look_(look) {}

bool ModalWindow::create(HWND owner) {
    if (hwnd_) return true;
    owner_ = owner;

    if (!registerWindowClass(instance_, {look_.className, &windowProc, look_.background})) return false;

    // The size is set once the window exists, measured against its real frame.
    CreateWindowExW(kExStyle, look_.className, win32::utf8ToWide(look_.captionUtf8).c_str(), kStyle, 0, 0,
                    look_.clientWidth, look_.clientHeight, owner_, nullptr, instance_, this);
    if (!hwnd_) return false;
    sizeClientArea(hwnd_, scale_(look_.clientWidth), scale_(look_.clientHeight));
    return true;
}

void ModalWindow::show() {
    if (modal_ || !hwnd_) return;
    FormShow();
    runModal(
        owner_, hwnd_, modal_, [this] { SetForegroundWindow(hwnd_); },
        [this](MSG& msg) {
            // Escape closes the window whichever of its controls has the focus.
            if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE ||
                (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)))
                return false;
            close();
            return true;
        });
}

void ModalWindow::moveTo(WindowOrigin origin) {
    SetWindowPos(hwnd_, nullptr, origin.left, origin.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

WindowBounds ModalWindow::outerBounds(HWND window) {
    RECT r{};
    if (!window || !GetWindowRect(window, &r)) return {};
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

LRESULT ModalWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: scale_ = windowScale(hwnd_); return FormCreate() ? 0 : -1;
    case WM_DPICHANGED: {
        const DpiChange change = dpiChangeOf(wParam, lParam);
        scale_ = change.scale;
        dpiChanged();
        moveForDpi(hwnd_, change.suggested, scale_(look_.clientWidth), scale_(look_.clientHeight));
        InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    }
    case WM_CLOSE:  // the close box and Alt+F4 only hide the window
        close();
        return 0;
    }
    LRESULT result = 0;
    if (handleMessage(message, wParam, lParam, result)) return result;
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace ostrel::ui
