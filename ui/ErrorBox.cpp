#include "ui/ErrorBox.h"

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "platform/win32/FrontOwner.h"
#include "platform/win32/MessageBox.h"
#include "platform/win32/Text.h"

namespace ostrel::ui {
namespace {

// Only the interface thread shows these boxes. Timers keep firing inside a
// box's own message loop, so an error that repeats on every tick would
// otherwise stack boxes without end: while a box with the same text is up,
// it is not shown again. Any other error is shown, in front of what is up.
std::vector<std::string> textsUp;

}  // namespace

void showGeneralError(HWND owner, std::string_view what) noexcept {
    owner = win32::frontOwner(owner);  // not hidden behind the full-screen viewer
    try {
        if (std::find(textsUp.begin(), textsUp.end(), what) != textsUp.end()) return;
        textsUp.emplace_back(what);
        struct Down {
            ~Down() { textsUp.pop_back(); }
        } down;
        const std::wstring text = win32::anyToWide(what);
        win32::messageBox(owner, text.c_str(), L"Ostrel Wallpapers", MB_OK | MB_ICONERROR);
    } catch (...) {
        // Out of memory for the message itself: the plainest box there is.
        win32::messageBox(owner, L"Error", L"Ostrel Wallpapers", MB_OK | MB_ICONERROR);
    }
}

}  // namespace ostrel::ui
