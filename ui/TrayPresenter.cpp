#include "ui/TrayPresenter.h"

#include "ui/MainMenus.h"
#include "ui/ModalLoop.h"

namespace ostrel::ui {
namespace {

void showTrayMenu(HWND window, const MainController& controller) {
    win32::UniqueMenu menu = createTrayMenu(controller);
    if (!menu) return;
    POINT at{};
    GetCursorPos(&at);
    // Without the foreground the menu would not close on a click elsewhere;
    // the WM_NULL afterwards lets the next opening work at once.
    SetForegroundWindow(window);
    TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
    raiseModalWindow();  // the download browser, say, comes to the front again
}

}  // namespace

void onTrayCallback(HWND window, MainController& controller, LPARAM lParam) {
    switch (LOWORD(lParam)) {
    case WM_LBUTTONDOWN: controller.onTrayMouse(TrayMouse::LeftDown); break;
    case WM_RBUTTONDOWN:
        controller.onTrayMouse(TrayMouse::RightDown);
        showTrayMenu(window, controller);
        break;
    default: break;  // moves, releases and double clicks do nothing
    }
}

}  // namespace ostrel::ui
