#include "platform/win32/MessageBox.h"

#include "platform/win32/KeyRepeat.h"
#include "platform/win32/UniqueHandle.h"

namespace ostrel::win32 {
namespace {

// Runs in the box's own message loop, before the dialog sees the message.
LRESULT CALLBACK dropHeldKeys(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code >= 0 && isRepeatedKeyDown(*msg)) return TRUE;  // swallowed
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int messageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    // Thread-local hook: only the interface thread's boxes and dialogs are filtered, and only while this one is up.
    const UniqueHook hook(SetWindowsHookExW(WH_MSGFILTER, dropHeldKeys, nullptr, GetCurrentThreadId()));
    return MessageBoxW(owner, text, caption, type);
}

}  // namespace ostrel::win32
