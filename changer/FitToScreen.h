#pragma once
#include <optional>
#include <string>

#include "imaging/Image.h"
#include "imaging/PictureLoader.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"

namespace ostrel {

// The size that fills the screen in one direction with the picture's own aspect
// ratio (`xyforscreen`). Ratios are compared exactly in integers; the scaled side
// is the other side times the factor (a double), formed in extended precision
// and rounded to nearest with ties to even.
ImageSize xyforscreen(ImageSize picture, ScreenSize screen);

// The picture installed as the wallpaper: at its own size, or with fitToScreen
// at xyforscreen's. nullopt when the file cannot be read or decoded.
std::optional<Image> loadWallpaperPicture(const FileSystem& fs, const std::string& path, bool fitToScreen,
                                          ScreenSize screen);
// The same picture handed to rows as it is made (see loadPictureRows).
[[nodiscard]] bool loadWallpaperRows(const FileSystem& fs, const std::string& path, bool fitToScreen, ScreenSize screen,
                                     PictureRows& rows);

}  // namespace ostrel
