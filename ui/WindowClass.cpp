#include "ui/WindowClass.h"

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

}  // namespace ostrel::ui
