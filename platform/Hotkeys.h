#pragma once
// The four system-wide hotkeys.
#include <cstdint>

namespace ostrel {

enum class HotkeyAction { None, Next, Back, Start, Stop };

class Hotkeys {
public:
    virtual ~Hotkeys() = default;
    // GlobalAddAtomA + RegisterHotKey for "Hotkey1".."Hotkey4"; results unchecked.
    virtual void registerAll() = 0;
    // UnregisterHotKey + GlobalDeleteAtom for the four.
    virtual void unregisterAll() = 0;
    // Which hotkey a WM_HOTKEY id names; None for id 0 or an unknown id.
    virtual HotkeyAction actionOf(std::uint32_t id) const = 0;
};

}  // namespace ostrel
