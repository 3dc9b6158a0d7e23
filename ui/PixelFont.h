#pragma once
// The program's fonts: by their height in pixels, as its forms lay them out,
// or Tahoma 8 points at the screen's resolution, as its dialogs' texts are.
#include <windows.h>

#include "platform/win32/UniqueHandle.h"

namespace ostrel::ui {

inline win32::UniqueFont pixelFont(const wchar_t* face, int pixels, bool bold = false) {
    return win32::UniqueFont(CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                         RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                         DEFAULT_PITCH | FF_SWISS, face));
}

inline win32::UniqueFont tahoma8(bool bold = false) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return win32::UniqueFont(CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                         DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                         DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
}

}  // namespace ostrel::ui
