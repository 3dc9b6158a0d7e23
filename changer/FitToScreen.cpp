#include "changer/FitToScreen.h"

#include <cmath>
#include <cstdint>

namespace ostrel {
namespace {

// side × (screenSide / pictureSide): the factor is rounded to a double, the
// product is formed in extended precision (long double, the 80-bit type on
// x86), and the result rounded to nearest with ties to even. The factor's own
// rounding error decides some ties: 1020×1600 on 1920×1080 gives 689, not 688.
int scaledSide(int side, int screenSide, int pictureSide) {
    const double factor = static_cast<double>(screenSide) / pictureSide;
    const long double product = static_cast<long double>(side) * factor;
    long double whole = std::floor(product);
    const long double fraction = product - whole;
    if (fraction > 0.5L || (fraction == 0.5L && std::fmod(whole, 2.0L) != 0)) whole += 1;
    return static_cast<int>(whole);
}

}  // namespace

ImageSize xyforscreen(ImageSize picture, ScreenSize screen) {
    if (picture.width <= 0 || picture.height <= 0 || screen.width <= 0 || screen.height <= 0) return picture;
    // The aspect ratios are compared exactly, in integers.
    const std::int64_t pictureSide = std::int64_t{picture.width} * screen.height;
    const std::int64_t screenSide = std::int64_t{picture.height} * screen.width;
    if (pictureSide == screenSide) return {screen.width, screen.height};
    if (pictureSide > screenSide)  // wider than the screen: full width
        return {screen.width, scaledSide(picture.height, screen.width, picture.width)};
    return {scaledSide(picture.width, screen.height, picture.height), screen.height};
}

namespace {

PictureSizing fittedTo(ScreenSize screen) {
    return [screen](ImageSize own) { return std::optional(xyforscreen(own, screen)); };
}

}  // namespace

std::optional<Image> loadWallpaperPicture(const FileSystem& fs, const std::string& path, bool fitToScreen,
                                          ScreenSize screen) {
    return loadPicture(fs, path, fitToScreen ? fittedTo(screen) : PictureSizing{});
}

bool loadWallpaperRows(const FileSystem& fs, const std::string& path, bool fitToScreen, ScreenSize screen,
                       PictureRows& rows) {
    return loadPictureRows(fs, path, fitToScreen ? fittedTo(screen) : PictureSizing{}, rows);
}

}  // namespace ostrel
