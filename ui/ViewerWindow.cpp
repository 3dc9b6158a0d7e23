#include "ui/ViewerWindow.h"

#include <windowsx.h>

#include <cstdint>

#include "platform/win32/Win32Desktop.h"
#include "ui/Dib.h"

namespace ostrel::ui {
namespace {

constexpr const wchar_t* kClassName = L"TForm1";

// Under Wine's virtual desktop the X side can put another of our windows above
// the viewer while Windows keeps the viewer on top: the main window taking the
// keyboard just after the program starts, for one. While it is shown, the
// viewer puts itself back on top a few times a second.
constexpr UINT_PTR kStayOnTopTimer = 1;
constexpr UINT kStayOnTopIntervalMs = 250;

}  // namespace

bool ViewerWindow::create(HWND owner, HWND list) {
    list_ = list;
    // No background: painted whole, from the picture.
    if (!registerWindowClass(instance_, {kClassName, &windowProc})) return false;
    // Never activated, not even by a click or by the pointer under an X
    // server that gives the keyboard to the window beneath it.
    return CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kClassName, L"", WS_POPUP, 0, 0, 0, 0, owner, nullptr,
                           instance_, this) != nullptr;
}

void ViewerWindow::showFullScreen() {
    if (!hwnd_) return;
    // Not activated: the list keeps the keyboard, so its keys and wheel go on
    // driving the viewer. The owner is brought forward in case a posted
    // command, not a click, opened the viewer.
    const ScreenSize screen = win32::primaryScreenSize();
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, screen.width, screen.height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    if (list_) {
        SetForegroundWindow(GetAncestor(list_, GA_ROOT));
        SetFocus(list_);
    }
    if (win32::runningUnderWine()) {
        stayOnTop();
        SetTimer(hwnd_, kStayOnTopTimer, kStayOnTopIntervalMs, nullptr);
    }
}

void ViewerWindow::stayOnTop() {
    if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
    // Only when Windows has it first: a topmost window shown later (the
    // download notice) stays in front of it.
    HWND first = GetTopWindow(nullptr);
    while (first && !IsWindowVisible(first)) first = GetWindow(first, GW_HWNDNEXT);
    if (first != hwnd_) return;
    // Wine tells X of a window's place only when it changes, and this one is
    // already first for Windows: step it to the bottom (which X never hears
    // of) and back to the top, which X does.
    constexpr UINT kPlaceOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW;
    SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, kPlaceOnly);
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, kPlaceOnly);
}

void ViewerWindow::showPicture(const Image& screen) {
    const BITMAPINFO info = dibInfo(screen.width, screen.height);
    void* bits = nullptr;
    win32::UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return;  // out of memory: the previous picture stays
    copyDibRows(screen, static_cast<std::uint8_t*>(bits));
    picture_ = std::move(bitmap);
    pictureWidth_ = screen.width;
    pictureHeight_ = screen.height;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void ViewerWindow::close() {
    pressed_ = false;
    if (!hwnd_) return;
    KillTimer(hwnd_, kStayOnTopTimer);
    ShowWindow(hwnd_, SW_HIDE);
}

LRESULT ViewerWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return 1;  // WM_PAINT covers everything
    case WM_PAINT: paint(); return 0;
    case WM_TIMER:
        if (wParam != kStayOnTopTimer) return DefWindowProcW(hwnd_, message, wParam, lParam);
        stayOnTop();
        return 0;
    case WM_DPICHANGED: {
        // The scaling changed under it: it goes on covering the screen, in
        // its pixels, and has nothing of its own to scale.
        const ScreenSize screen = win32::primaryScreenSize();
        SetWindowPos(hwnd_, nullptr, 0, 0, screen.width, screen.height, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;  // a click closes the viewer and leaves the keyboard where it was
    case WM_SETFOCUS:
        // Should the viewer be activated after all (the task switcher), the
        // keys still belong to the list.
        if (list_) SetFocus(list_);
        return 0;
    case WM_MOUSEWHEEL:
        // Where the wheel goes to the window under the pointer, this one
        // covers the screen; the wheel is the list's.
        if (list_) SendMessageW(list_, message, wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        pressed_ = true;
        SetCapture(hwnd_);
        return 0;
    case WM_LBUTTONUP: {
        // A click is a press and a release on the picture; closing on the press
        // would hand the release to the window underneath.
        if (!pressed_) return 0;
        pressed_ = false;
        ReleaseCapture();
        RECT client{};
        GetClientRect(hwnd_, &client);
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (PtInRect(&client, at) && onPictureClick) onPictureClick();
        return 0;
    }
    case WM_CAPTURECHANGED: pressed_ = false; return 0;
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void ViewerWindow::paint() {
    win32::PaintScope paint(hwnd_);
    RECT client{};
    GetClientRect(hwnd_, &client);
    HDC dc = paint.dc();
    if (picture_) {
        win32::UniqueMemoryDc memory(CreateCompatibleDC(dc));
        if (memory) {
            win32::SelectObjectScope select(memory.get(), picture_.get());
            BitBlt(dc, 0, 0, pictureWidth_, pictureHeight_, memory.get(), 0, 0, SRCCOPY);
        }
    }
    // Black where the picture does not reach: none yet, or a screen that has grown since.
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const int width = picture_ ? pictureWidth_ : 0, height = picture_ ? pictureHeight_ : 0;
    const RECT right{width, 0, client.right, client.bottom};
    const RECT below{0, height, width, client.bottom};
    if (right.left < right.right) FillRect(dc, &right, black);
    if (below.top < below.bottom) FillRect(dc, &below, black);
}

}  // namespace ostrel::ui
