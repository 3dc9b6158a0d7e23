#include "ui/ErrorBox.h"

#include <exception>

#include "platform/win32/Text.h"

namespace ostrel::ui {

void showGeneralError(HWND owner, std::string_view what) noexcept {
    try {
        std::wstring text = win32::anyToWide(what);
        MessageBoxW(owner, text.c_str(), L"Ostrel Wallpapers", MB_OK | MB_ICONERROR);
    } catch (...) {
        // Out of memory for the message itself: the plainest box there is.
        MessageBoxW(owner, L"Error", L"Ostrel Wallpapers", MB_OK | MB_ICONERROR);
    }
}

}  // namespace ostrel::ui
