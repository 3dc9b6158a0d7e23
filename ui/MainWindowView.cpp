// What the controller asks of the main window (its MainView side).
#include "ui/MainWindow.h"
#include "ui/Dpi.h"
#include "ui/ModalLoop.h"

namespace ostrel::ui {

void MainWindow::showWindow() {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    // Borrow the foreground thread's input state for a moment, as a window
    // coming forward from the tray does; the focus read is not used further.
    const DWORD ours = GetCurrentThreadId();
    HWND foreground = GetForegroundWindow();
    const DWORD theirs = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    if (theirs != 0 && theirs != ours && AttachThreadInput(ours, theirs, TRUE)) {
        (void)GetFocus();
        AttachThreadInput(ours, theirs, FALSE);
    } else {
        (void)GetFocus();
    }
    if (controller_ && controller_->listController().selection().hoveredHeader() != 0) setHeaderHover(0);
    raiseModalWindow();  // the download browser, say, stays in front of it
}

void MainWindow::hideWindow() {
    ShowWindow(hwnd_, SW_HIDE);
    if (application_) ShowWindow(application_, SW_HIDE);
}

// The outer rectangle; while the window is minimized, the one it will return
// to, so a minimized window never saves or lays out an icon's size.
static RECT outerRect(HWND window) {
    RECT r{};
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (IsIconic(window) && GetWindowPlacement(window, &placement)) return placement.rcNormalPosition;
    GetWindowRect(window, &r);
    return r;
}

int MainWindow::windowWidth() const {
    const RECT r = outerRect(hwnd_);
    return r.right - r.left;
}

int MainWindow::windowHeight() const {
    const RECT r = outerRect(hwnd_);
    return r.bottom - r.top;
}

FrameSize MainWindow::frameAt(DpiScale at) const { return windowFrame(hwnd_, at); }

void MainWindow::setWindowSize(int width, int height) {
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::setWindowPosition(int left, int top) {
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool MainWindow::postHotkeyRearm() { return PostMessageW(hwnd_, WM_HOTKEY, 0, 0) != 0; }

void MainWindow::requestQuit() {
    // Destroying from the message loop keeps the caller's handler (or the
    // creation sequence) from running on after the window is gone.
    PostMessageW(hwnd_, kQuitMessage, 0, 0);
}

void MainWindow::listChanged() { grid_.refresh(); }

void MainWindow::showPlaceholderPreview() {
    preview_.showPlaceholder();
    invalidatePreview();
}

void MainWindow::showPreview(const std::string& path) {
    preview_.showFile(path);
    invalidatePreview();
}

void MainWindow::invalidatePreview() {
    const Box& p = face_.layout().preview;
    RECT r{p.left, p.top, p.right(), p.bottom()};
    faceChanged(&r);
}

void MainWindow::processPendingMessages() {
    // What is waiting now, not what keeps coming: a timer that is always due
    // must not keep the caller waiting.
    constexpr int kMostMessages = 200;
    MSG msg{};
    for (int i = 0; i < kMostMessages && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the real loop to see
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void MainWindow::blinkAddButton() {
    addButtonLit_ = !addButtonLit_;
    face_.setAddButtonLit(addButtonLit_);
}

void MainWindow::stopAddButtonBlink() {
    addButtonLit_ = false;
    face_.setAddButtonLit(false);
}

}  // namespace ostrel::ui
