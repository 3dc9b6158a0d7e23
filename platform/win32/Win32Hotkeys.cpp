#include "platform/win32/Win32Hotkeys.h"

namespace ostrel::win32 {
namespace {

struct HotkeyDefinition {
    const char* atomName;
    UINT virtualKey;
    HotkeyAction action;
};

// Ctrl+Shift with W, Q, P, S.
constexpr HotkeyDefinition kHotkeys[] = {
    {"Hotkey1", 'W', HotkeyAction::Next},
    {"Hotkey2", 'Q', HotkeyAction::Back},
    {"Hotkey3", 'P', HotkeyAction::Start},
    {"Hotkey4", 'S', HotkeyAction::Stop},
};
static_assert(std::size(kHotkeys) == 4);

}  // namespace

void Win32Hotkeys::registerAll() {
    // Results are not checked: a combination taken by another program simply
    // stays inactive, and the menu shortcut still works.
    for (std::size_t i = 0; i < atoms_.size(); ++i) {
        atoms_[i] = GlobalAddAtomA(kHotkeys[i].atomName);
        RegisterHotKey(window_, atoms_[i], MOD_CONTROL | MOD_SHIFT, kHotkeys[i].virtualKey);
    }
}

void Win32Hotkeys::unregisterAll() {
    for (ATOM& atom : atoms_) {
        if (atom == 0) continue;
        UnregisterHotKey(window_, atom);
        GlobalDeleteAtom(atom);
        atom = 0;
    }
}

HotkeyAction Win32Hotkeys::actionOf(std::uint32_t id) const {
    if (id == 0) return HotkeyAction::None;  // the re-arm message
    for (std::size_t i = 0; i < atoms_.size(); ++i)
        if (atoms_[i] == id) return kHotkeys[i].action;
    return HotkeyAction::None;
}

}  // namespace ostrel::win32
