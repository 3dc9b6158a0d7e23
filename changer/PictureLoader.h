#pragma once
// Turns an image file into the picture that is installed as the wallpaper.
#include <optional>
#include <string>

#include "changer/Image.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"

namespace ostrel {

// The kind probe decides the decoder: only "Jpg" goes to the JPEG decoder, every
// other answer to the BMP reader. With fitToScreen the picture is brought to
// xyforscreen's size (a JPEG decoded at a reduced scale where that is enough).
// nullopt when the file cannot be read or decoded.
std::optional<Image> loadWallpaperPicture(const FileSystem& fs, const std::string& path,
                                          bool fitToScreen, ScreenSize screen);

}  // namespace ostrel
