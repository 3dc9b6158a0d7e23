#pragma once
// The notification-area icon's mouse messages: a left click shows or hides the
// main window, a right click opens the tray menu.
#include <windows.h>

#include "app/MainController.h"

namespace ostrel::ui {

// Handles the icon's callback message (the mouse message is in lParam).
void onTrayCallback(HWND window, MainController& controller, LPARAM lParam);

}  // namespace ostrel::ui
