#pragma once
// The program's fonts: by their height in pixels, as its forms lay them out,
// or Tahoma 8 points, as its dialogs' texts are; both at the window's DPI.
#include <windows.h>

#include "base/DpiScale.h"
#include "platform/win32/UniqueHandle.h"

namespace ostrel::ui {

inline win32::UniqueFont pixelFont(const wchar_t* face, int pixels, bool bold = false) {
    return win32::UniqueFont(CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                         RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                         DEFAULT_PITCH | FF_SWISS, face));
}

// Tahoma 8 points: 11 pixels at 96 DPI, scaled like every designed length.
inline win32::UniqueFont tahoma8(DpiScale scale, bool bold = false) {
    return win32::UniqueFont(CreateFontW(-scale(MulDiv(8, kDesignDpi, 72)), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                                         FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                         DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
}

}  // namespace ostrel::ui
