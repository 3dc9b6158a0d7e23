// The yardstick of bench/win/idle.sh: a window that does nothing, shown, or
// never shown when its command line ends in "-" as the program's tray start.
#include <windows.h>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TrivialWindow";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.hCursor = static_cast<HCURSOR>(
        LoadImageW(nullptr, MAKEINTRESOURCEW(32512), IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));  // the arrow
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"TrivialWindow", L"Trivial", WS_OVERLAPPEDWINDOW, 100, 100, 800, 472, nullptr, nullptr,
                                instance, nullptr);
    const int length = lstrlenW(commandLine);
    if (length == 0 || commandLine[length - 1] != L'-') ShowWindow(window, SW_SHOW);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
