#pragma once
// The program's message boxes. A box answers only a key pressed while it is
// up: a key still held from before it opened (Enter that chose "Удалить файл"
// in a menu, say) sends auto-repeated key-downs, and the first of them would
// press the box's default button, "Да" included, unseen.
#include <windows.h>

namespace ostrel::win32 {

int messageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

}  // namespace ostrel::win32
