#pragma once
// The desktop: screen size, the wallpaper system call and the Active Desktop.
#include <string>

namespace ostrel {

struct ScreenSize {
    int width = 0;
    int height = 0;
};

class Desktop {
public:
    virtual ~Desktop() = default;
    virtual ScreenSize screenSize() const = 0;
    // Asks the system to reload the wallpaper from the desktop's registry values;
    // bitmapPath is the file those values name.
    virtual void reloadWallpaper(const std::string& bitmapPath) = 0;
    // True when the Progman / SHELLDLL_DefView / Internet Explorer_Server chain exists.
    virtual bool activeDesktopPresent() const = 0;
    // SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, null, null).
    virtual void notifyShellAssocChanged() = 0;
};

}  // namespace ostrel
