#include "ui/ModalWindow.h"

#include <utility>

#include "platform/win32/Text.h"
#include "ui/ErrorBox.h"
#include "ui/ModalLoop.h"

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
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(std::exchange(hwnd_, nullptr));
    }
}

void ModalWindow::destroy() {
    if (hwnd_) DestroyWindow(hwnd_);  // WM_NCDESTROY clears hwnd_
}

bool ModalWindow::create(HWND owner) {
    if (hwnd_) return true;
    owner_ = owner;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &ModalWindow::windowProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);  // a system id: A and W alike
    windowClass.hbrBackground = look_.background;
    windowClass.lpszClassName = look_.className;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

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

win32::UniqueFont ModalWindow::createTahoma8(bool bold) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return win32::UniqueFont(CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                                         FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                         L"Tahoma"));
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
    ModalWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<ModalWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<ModalWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);

    LRESULT result = 0;
    const bool ok = guarded(hwnd, [&] { result = self->dispatch(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
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
