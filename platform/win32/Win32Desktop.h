#pragma once
#include "platform/Desktop.h"

namespace ostrel::win32 {

// True under Wine, whose ntdll exports wine_get_version.
bool runningUnderWine();

class Win32Desktop final : public Desktop {
public:
    ScreenSize screenSize() const override;
    void reloadWallpaper(const std::string& bitmapPath) override;
    bool activeDesktopPresent() const override;
    void notifyShellAssocChanged() override;
};

}  // namespace ostrel::win32
