#pragma once
// Pictures handed to GDI: 24-bit device-independent bitmaps, top row first,
// each row padded to whole 4-byte words as GDI reads them.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "imaging/Image.h"

namespace ostrel::ui {

BITMAPINFO dibInfo(int width, int height);
// The picture's rows, padded, for SetDIBitsToDevice with dibInfo.
std::vector<std::uint8_t> dibRows(const Image& picture);
// The same written into the bits of a DIB section made with dibInfo.
void copyDibRows(const Image& picture, std::uint8_t* bits);
// A bitmap's pixels as a picture; empty when GDI cannot give them.
Image bitmapPicture(HBITMAP bitmap);
// A DIB section holding the picture (owned by the caller); nullptr on failure.
HBITMAP dibSection(const Image& picture);

}  // namespace ostrel::ui
