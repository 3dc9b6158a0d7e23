#include "ui/ErrorBox.h"

#include <string>
#include <utility>

#include "base/ProgramName.h"
#include "platform/win32/FrontOwner.h"
#include "platform/win32/MessageBox.h"
#include "platform/win32/Text.h"

namespace ostrel::ui {
namespace {

OneBoxAtATime* programBoxes = nullptr;  // interface thread only

}  // namespace

GeneralErrorsAmong::GeneralErrorsAmong(OneBoxAtATime& boxes) : previous_(std::exchange(programBoxes, &boxes)) {}

GeneralErrorsAmong::~GeneralErrorsAmong() { programBoxes = previous_; }

void showGeneralError(HWND owner, std::string_view what) noexcept {
    owner = win32::frontOwner(owner);  // not hidden behind the full-screen viewer
    try {
        const std::string text(what);
        const auto showBox = [&] {
            win32::messageBox(owner, win32::anyToWide(text).c_str(), kProgramTitleWide, MB_OK | MB_ICONERROR);
        };
        if (programBoxes) {
            programBoxes->failure(text, showBox);
        } else {
            showBox();
        }
    } catch (...) {
        // Out of memory for the message itself: the plainest box there is.
        win32::messageBox(owner, L"Error", kProgramTitleWide, MB_OK | MB_ICONERROR);
    }
}

}  // namespace ostrel::ui
