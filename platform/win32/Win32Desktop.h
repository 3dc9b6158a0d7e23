#pragma once
#include "platform/Desktop.h"

namespace ostrel::win32 {

// True under Wine, whose ntdll exports wine_get_version.
bool runningUnderWine();

// The primary screen in its real pixels, whatever the display's scaling: the
// program declares itself aware of the DPI of each monitor, so Windows gives
// it the screen's own size rather than one scaled down for it to blow up.
ScreenSize primaryScreenSize();

class Win32Desktop final : public Desktop {
public:
    ScreenSize screenSize() const override;
    void reloadWallpaper(const std::string& bitmapPath) override;
    bool activeDesktopPresent() const override;
    void notifyShellAssocChanged() override;
};

}  // namespace ostrel::win32
