#pragma once
// The main window's menu bar, its keyboard shortcuts and the tray menu, all
// built from tables that share the Command ids.
#include <windows.h>

#include <string>

#include "app/MainController.h"
#include "platform/win32/UniqueHandle.h"

namespace ostrel::ui {

struct Shortcut {
    BYTE modifiers = 0;  // FCONTROL, FSHIFT, FALT
    WORD key = 0;        // virtual key; 0 for none
};

// "Ctrl+Shift+W", "Alt+F4", "F10"; empty for none.
std::wstring shortcutText(Shortcut shortcut);

win32::UniqueMenu createMainMenu();
win32::UniqueAccelerators createMainAccelerators();
// Whether these keys are one of the main menu's shortcuts.
bool isMainShortcut(Shortcut keys);
// Built at each opening from the controller's state.
win32::UniqueMenu createTrayMenu(const MainController& controller);
// The add button's menu `PM_add`: "Папку", "Файл".
win32::UniqueMenu createAddMenu();
// The list button's menu `PM_list`, with the sort submenu's checkmarks and
// "Сохранить" enabled only while the list has entries.
win32::UniqueMenu createListMenu(const ListController& list);
// The rows' menu `PopupMenu1`.
win32::UniqueMenu createRowMenu(const RowMenu& state);

}  // namespace ostrel::ui
