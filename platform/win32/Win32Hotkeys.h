#pragma once
#include <windows.h>

#include <array>

#include "platform/Hotkeys.h"

namespace ostrel::win32 {

class Win32Hotkeys final : public Hotkeys {
public:
    explicit Win32Hotkeys(HWND window) : window_(window) {}

    void registerAll() override;
    void unregisterAll() override;
    HotkeyAction actionOf(std::uint32_t id) const override;

private:
    HWND window_;
    std::array<ATOM, 4> atoms_{};  // in the order Next, Back, Start, Stop
};

}  // namespace ostrel::win32
