#include "ui/ErrorBox.h"

#include <exception>

#include "platform/win32/FrontOwner.h"
#include "platform/win32/Text.h"

namespace ostrel::ui {
namespace {

// Only the interface thread shows these boxes. Timers keep firing inside a
// box's own message loop, so an error that repeats on every tick would
// otherwise stack boxes without end; while one is up, the next is not shown.
bool boxShown = false;

}  // namespace

void showGeneralError(HWND owner, std::string_view what) noexcept {
    if (boxShown) return;
    boxShown = true;
    owner = win32::frontOwner(owner);  // not hidden behind the full-screen viewer
    try {
        std::wstring text = win32::anyToWide(what);
        MessageBoxW(owner, text.c_str(), L"Ostrel Wallpapers", MB_OK | MB_ICONERROR);
    } catch (...) {
        // Out of memory for the message itself: the plainest box there is.
        MessageBoxW(owner, L"Error", L"Ostrel Wallpapers", MB_OK | MB_ICONERROR);
    }
    boxShown = false;
}

}  // namespace ostrel::ui
