#pragma once
// The program's icons at the size Windows shows them at a DPI.
#include <windows.h>

#include "platform/win32/UniqueHandle.h"

namespace ostrel::win32 {

// The small icon (caption, notification area) or the large one (Alt+Tab).
enum class IconSize { Small, Large };

// The icon resource id at the size Windows asks for at dpi, scaled down from a
// larger image of the icon where it has none of that size. The caller owns
// the icon; nullptr when it cannot be loaded.
HICON loadIcon(HINSTANCE instance, int id, IconSize size, int dpi);

// The shell's own folder picture at the small icon size for dpi, taken from
// the file that holds it, else the one the shell shows at the system's DPI. The
// caller owns the icon; nullptr when there is none.
HICON loadFolderIcon(int dpi);

// A window's caption and Alt+Tab icons at its DPI, kept while it shows them.
class WindowIcons {
public:
    void set(HWND window, HINSTANCE instance, int id, int dpi);

private:
    UniqueIcon large_, small_;
};

}  // namespace ostrel::win32
