#include "ui/ModalLoop.h"

#include <utility>

namespace ostrel::ui {
namespace {

HWND innermostModal = nullptr;  // interface thread only

}  // namespace

HWND currentModalWindow() { return innermostModal && IsWindowVisible(innermostModal) ? innermostModal : nullptr; }

void raiseModalWindow() {
    if (HWND modal = currentModalWindow()) SetForegroundWindow(modal);
}

bool runModal(HWND owner, HWND window, bool& modal, const std::function<void()>& shown,
              const std::function<bool(MSG&)>& handled) {
    // The owner is enabled again before the window hides, so that the
    // activation goes back to it and not to another program.
    struct Modality {
        HWND owner, window;
        bool ownerWasEnabled;
        ~Modality() {
            if (ownerWasEnabled) EnableWindow(owner, TRUE);
            if (IsWindow(window)) ShowWindow(window, SW_HIDE);
        }
    } modality{owner, window, owner && IsWindowEnabled(owner)};
    if (modality.ownerWasEnabled) EnableWindow(owner, FALSE);

    FlagScope running(modal);
    struct Innermost {
        HWND previous;
        ~Innermost() { innermostModal = previous; }
    } innermost{std::exchange(innermostModal, window)};
    ShowWindow(window, SW_SHOW);
    if (shown) shown();

    MSG msg{};
    while (modal) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // The program is ending: the outer loop has to see the quit too.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (handled && handled(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace ostrel::ui
