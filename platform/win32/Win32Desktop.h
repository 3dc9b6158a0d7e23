#pragma once
#include "platform/Desktop.h"

namespace ostrel::win32 {

class Win32Desktop final : public Desktop {
public:
    ScreenSize screenSize() const override;
    void reloadWallpaper(const std::string& bitmapPath) override;
    bool activeDesktopPresent() const override;
    void notifyShellAssocChanged() override;
};

}  // namespace ostrel::win32
