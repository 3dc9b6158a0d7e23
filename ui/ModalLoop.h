#pragma once
// What the program's own modal windows share: a flag set for one scope, and
// the loop that keeps a window modal over its owner.
#include <windows.h>

#include <functional>
#include <utility>

namespace ostrel::ui {

// Sets a flag for one scope, also when it is left by an exception.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag), previous_(std::exchange(flag, true)) {}
    ~FlagScope() { flag_ = previous_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool previous_;
};

// Shows window with its owner disabled and runs messages while modal is set;
// the window hides when it ends. shown runs once the window is up; handled
// answers true for a message it has dealt with. False when the program's quit
// ended the loop (the quit is posted again for the outer loop).
bool runModal(HWND owner, HWND window, bool& modal, const std::function<void()>& shown,
              const std::function<bool(MSG&)>& handled);

// The innermost of the program's modal windows now up; nullptr when none is.
HWND currentModalWindow();

// Brings the innermost modal window to the front, if one is up: the main
// window coming forward (from the tray, say) must not hide it.
void raiseModalWindow();

}  // namespace ostrel::ui
