#pragma once
// Recognising image files and reading their size.
#include <string>

#include "platform/FileSystem.h"

namespace ostrel {

// "Jpg", "Bmp", "Png", "Gif", "Gif89" or "NoImage", from the first five bytes only.
// An empty file answers "Bmp" (the program has always done so).
std::string GetImageType(const FileSystem& fs, const std::string& path);

// "<width>x<height>" of a JPEG or BMP file, "0x0" for anything else or any failure.
std::string GetStat(const FileSystem& fs, const std::string& path);

// Pads a "WxH" text so that the "x" stands at position 9 for widths up to four digits.
std::string padResolution(const std::string& stat);

// The text stored in a list row: GetStat tried up to three times, then padded.
std::string resolutionText(const FileSystem& fs, const std::string& path);

// The padded text of a picture exactly the screen's size.
std::string screenResolutionText(int width, int height);

}  // namespace ostrel
