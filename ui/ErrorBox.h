#pragma once
// The program's general error box: what an unexpected failure shows before the
// program goes on.
#include <windows.h>

#include <exception>
#include <string_view>

#include "app/OneBoxAtATime.h"

namespace ostrel::ui {

void showGeneralError(HWND owner, std::string_view what) noexcept;

// While one lives, the general error box is one of the program's boxes and
// keeps to their rules (OneBoxAtATime): a failure whose text is up is not
// shown again, and the errors of the program's timers wait for it. Before
// the program's boxes exist and after, nothing runs by itself that could
// fail again and again, and every failure is shown. Interface thread only.
class GeneralErrorsAmong {
public:
    explicit GeneralErrorsAmong(OneBoxAtATime& boxes);
    ~GeneralErrorsAmong();
    GeneralErrorsAmong(const GeneralErrorsAmong&) = delete;
    GeneralErrorsAmong& operator=(const GeneralErrorsAmong&) = delete;

private:
    OneBoxAtATime* previous_;
};

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
