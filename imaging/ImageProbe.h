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

}  // namespace ostrel
