#include "ui/ModalWindow.h"

#include <utility>

#include "platform/win32/Text.h"
#include "ui/ErrorBox.h"
#include "ui/ModalLoop.h"
#include "ui/WindowClass.h"

namespace ostrel::ui {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;  // a dialog's frame, without an icon

}  // namespace

ModalWindow::ModalWindow(HINSTANCE instance, const Look& look) : instance_(instance), look_(look) {}

ModalWindow::~ModalWindow() {
    // A derived window has destroyed itself already; this is a last resort that
    // no longer reaches the derived handlers.
    if (hwnd_) {
        forgetWindowObject(hwnd_);
        DestroyWindow(std::exchange(hwnd_, nullptr));
    }
}

void ModalWindow::destroy() {
    if (hwnd_) DestroyWindow(hwnd_);  // WM_NCDESTROY clears hwnd_
}

bool ModalWindow::create(HWND owner) {
    if (hwnd_) return true;
    owner_ = owner;

    if (!registerWindowClass(instance_, {look_.className, &ModalWindow::windowProc, look_.background})) return false;

    // The size is set once the window exists, measured against its real frame.
    CreateWindowExW(kExStyle, look_.className, win32::utf8ToWide(look_.captionUtf8).c_str(), kStyle, 0, 0,
                    look_.clientWidth, look_.clientHeight, owner_, nullptr, instance_, this);
    if (!hwnd_) return false;
    sizeClientArea();
    return true;
}

void ModalWindow::show() {
    if (modal_ || !hwnd_) return;
    FormShow();
    runModal(owner_, hwnd_, modal_, [this] { SetForegroundWindow(hwnd_); }, [this](MSG& msg) {
        // Escape closes the window whichever of its controls has the focus.
        if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)))
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


void ModalWindow::sizeClientArea() {
    const int width = look_.clientWidth, height = look_.clientHeight;
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    int outerWidth = frame.right - frame.left, outerHeight = frame.bottom - frame.top;
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(hwnd_, nullptr, 0, 0, outerWidth, outerHeight, flags);
    // Themed frames can be thicker than the computation says; measure and correct.
    RECT client{};
    if (GetClientRect(hwnd_, &client) && (client.right != width || client.bottom != height)) {
        outerWidth += width - client.right;
        outerHeight += height - client.bottom;
        SetWindowPos(hwnd_, nullptr, 0, 0, outerWidth, outerHeight, flags);
    }
}

LRESULT CALLBACK ModalWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowObject<ModalWindow>(hwnd, message, lParam);
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCCREATE) self->hwnd_ = hwnd;

    LRESULT result = 0;
    const bool ok = guarded(hwnd, [&] { result = self->dispatch(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        forgetWindowObject(hwnd);
        self->hwnd_ = nullptr;
        self->modal_ = false;
    }
    if (!ok) return message == WM_CREATE ? -1 : DefWindowProcW(hwnd, message, wParam, lParam);
    return result;
}

LRESULT ModalWindow::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return FormCreate() ? 0 : -1;
    case WM_CLOSE:  // the close box and Alt+F4 only hide the window
        close();
        return 0;
    }
    LRESULT result = 0;
    if (onMessage(message, wParam, lParam, result)) return result;
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace ostrel::ui
