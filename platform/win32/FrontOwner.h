#pragma once
// Who owns a box or dialog the program raises. The full-screen viewer stays
// on top of every other window while it is shown; a box raised meanwhile is
// owned by it, so that it stands in front of it and takes the keys the user
// sees it take. Interface thread only.
#include <windows.h>

namespace ostrel::win32 {

// The window that covers the screen while it is shown; nullptr for none.
void setScreenCover(HWND window);
// The screen cover while it is shown, otherwise owner.
HWND frontOwner(HWND owner);

}  // namespace ostrel::win32
