#pragma once
// What every window class of the program shares: its registration, and the
// link from a window to the C++ object it belongs to.
#include <windows.h>

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

// The object a window of ours belongs to: CreateWindowEx's last argument, kept
// in the window from WM_NCCREATE on. nullptr before WM_NCCREATE and after
// forgetWindowObject.
template <class T>
T* windowObject(HWND hwnd, UINT message, LPARAM lParam) {
    if (message != WM_NCCREATE) return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return self;
}

// At WM_NCDESTROY, or before destroying a window whose object is going: no
// later message reaches the object.
inline void forgetWindowObject(HWND hwnd) { SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0); }

}  // namespace ostrel::ui
