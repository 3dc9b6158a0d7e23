#pragma once
// What every window of the program shares: its class registration, the one
// window procedure that links a window to its C++ object, and the sizing of
// a fixed window to its client area.
#include <windows.h>

#include <utility>

#include "ui/ErrorBox.h"

namespace ostrel::ui {

struct WindowClass {
    const wchar_t* name;
    WNDPROC procedure;
    HBRUSH background = nullptr;  // nullptr: the window paints all of itself
    UINT style = 0;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    bool arrowCursor = true;
};

// Registers the class once; true when it is registered, now or before.
bool registerWindowClass(HINSTANCE instance, const WindowClass& windowClass);

// Sizes a window, by its own styles, so that its client area is width by
// height. Themed frames can be thicker than AdjustWindowRectEx says, so the
// client area it came out as is measured and the difference made good.
void sizeClientArea(HWND window, int width, int height);

// The base of a window object T (T derives from WindowBase<T>). T's window
// class is registered with windowProc, or its dialog box made with
// dialogProc, and the T is the creation parameter (CreateWindowEx's last
// argument, a dialog's init parameter). Every message from then on goes to
// `LRESULT T::onMessage(UINT, WPARAM, LPARAM)` (T befriends WindowBase<T>):
// - the link is made at WM_NCCREATE (a dialog: WM_INITDIALOG); messages
//   before it get the default handling;
// - nothing thrown leaves the window procedure: a handler that fails shows
//   the general error box, and its message is answered as one that did
//   nothing: 0, and -1 for WM_CREATE, so that no half-made window stays. Not
//   the default handling instead: the window meant something else by that
//   message, and the default of WM_CLOSE would destroy a window that only
//   hides (the main window: the program would end);
// - at WM_NCDESTROY, once T has seen it, the link goes, hwnd_ becomes
//   nullptr and T::windowDestroyed runs: no later message reaches T.
template <class T>
class WindowBase {
public:
    HWND hwnd() const { return hwnd_; }

protected:
    WindowBase() = default;
    ~WindowBase() {
        // A window its object left standing: the object is all but gone, so
        // no message of the destruction may reach it.
        if (!hwnd_) return;
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(std::exchange(hwnd_, nullptr));
    }
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        T* self = message == WM_NCCREATE
                      ? link(hwnd, static_cast<T*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams))
                      : linked(hwnd);
        return self ? deliver(*self, hwnd, message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
    }

    // A dialog procedure answers 0 for "not handled", and the dialog
    // manager's default handling of a message destroys no window.
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        T* self = message == WM_INITDIALOG ? link(hwnd, reinterpret_cast<T*>(lParam)) : linked(hwnd);
        return self ? deliver(*self, hwnd, message, wParam, lParam) : FALSE;
    }

    // Destroys the window while the object is whole, so that its handlers
    // see the destruction.
    void destroyWindow() {
        if (hwnd_) DestroyWindow(hwnd_);
    }

    // What T lets go of with its window; T declares its own when it has any.
    void windowDestroyed() {}

    HWND hwnd_ = nullptr;

private:
    static T* link(HWND hwnd, T* self) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self) self->hwnd_ = hwnd;
        return self;
    }

    static T* linked(HWND hwnd) { return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

    static LRESULT deliver(T& self, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        LRESULT result = message == WM_CREATE ? -1 : 0;
        guarded(hwnd, [&] { result = self.onMessage(message, wParam, lParam); });
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self.hwnd_ = nullptr;
            self.windowDestroyed();
        }
        return result;
    }
};

}  // namespace ostrel::ui
