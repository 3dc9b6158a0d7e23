#pragma once
// The program's general error box: what an unexpected failure shows before the
// program goes on.
#include <windows.h>

#include <exception>
#include <string_view>

namespace ostrel::ui {

void showGeneralError(HWND owner, std::string_view what) noexcept;

// Runs a handler and turns any exception into the general error box, so that
// nothing escapes into the system's message dispatch. False when it failed.
template <typename Handler>
bool guarded(HWND owner, Handler&& handler) noexcept {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        showGeneralError(owner, e.what());
    } catch (...) {
        showGeneralError(owner, "Неизвестная ошибка.");
    }
    return false;
}

}  // namespace ostrel::ui
