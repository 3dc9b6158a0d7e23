#pragma once
// Fonts given by their height in pixels, as the program's forms lay them out.
#include <windows.h>

#include "platform/win32/UniqueHandle.h"

namespace ostrel::ui {

inline win32::UniqueFont pixelFont(const wchar_t* face, int pixels, bool bold = false) {
    return win32::UniqueFont(CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                         RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                         DEFAULT_PITCH | FF_SWISS, face));
}

}  // namespace ostrel::ui
