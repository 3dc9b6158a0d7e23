#pragma once
// A key held down sends its key-down again and again; bit 30 of the message's
// lParam marks those repeats (the key was already down). One press, one
// command: what a key destroys or opens acts on the first key-down only.
#include <windows.h>

namespace ostrel::win32 {

inline bool keyWasDown(LPARAM keyData) { return (keyData & (LPARAM{1} << 30)) != 0; }

// A WM_KEYDOWN or WM_SYSKEYDOWN repeated by a key held down.
inline bool isRepeatedKeyDown(const MSG& msg) {
    return (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && keyWasDown(msg.lParam);
}

}  // namespace ostrel::win32
