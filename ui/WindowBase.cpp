#include "ui/WindowBase.h"

namespace ostrel::ui {

bool registerWindowClass(HINSTANCE instance, const WindowClass& c) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = c.style;
    windowClass.lpfnWndProc = c.procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = c.icon;
    windowClass.hIconSm = c.smallIcon;
    windowClass.hCursor = c.arrowCursor ? LoadCursorA(nullptr, IDC_ARROW) : nullptr;  // a system id: A and W alike
    windowClass.hbrBackground = c.background;
    windowClass.lpszClassName = c.name;
    return RegisterClassExW(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void sizeClientArea(HWND window, int width, int height) {
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    int outerWidth = frame.right - frame.left, outerHeight = frame.bottom - frame.top;
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(window, nullptr, 0, 0, outerWidth, outerHeight, flags);
    RECT client{};
    if (GetClientRect(window, &client) && (client.right != width || client.bottom != height)) {
        outerWidth += width - client.right;
        outerHeight += height - client.bottom;
        SetWindowPos(window, nullptr, 0, 0, outerWidth, outerHeight, flags);
    }
}

}  // namespace ostrel::ui
