#include "changer/PictureLoader.h"

#include <algorithm>
#include <new>

#include "changer/BmpCodec.h"
#include "changer/FitToScreen.h"
#include "changer/JpegCodec.h"
#include "changer/Resample.h"
#include "list/ImageProbe.h"

namespace ostrel {
namespace {

// The fitted size comes from the picture's own size, never from a reduced
// decode, so the result is the same however the picture was decoded. A very
// thin picture could round to zero; keep at least one pixel.
ImageSize fittedSize(ImageSize original, ScreenSize screen) {
    ImageSize t = xyforscreen(original, screen);
    return {std::max(1, t.width), std::max(1, t.height)};
}

std::optional<Image> loadJpeg(const FileSystem& fs, const std::string& path, bool fitToScreen,
                              ScreenSize screen) {
    if (!fitToScreen) {
        auto in = fs.openRead(path);
        if (!in) return std::nullopt;
        return decodeJpeg(*in);
    }
    std::optional<ImageSize> original;
    if (auto in = fs.openRead(path)) original = jpegSize(*in);
    if (!original) return std::nullopt;
    const ImageSize target = fittedSize(*original, screen);
    auto in = fs.openRead(path);
    if (!in) return std::nullopt;
    auto picture = decodeJpeg(*in, target);
    if (!picture) return std::nullopt;
    if (picture->size() == target) return picture;
    return resample(*picture, target);
}

}  // namespace

std::optional<Image> loadWallpaperPicture(const FileSystem& fs, const std::string& path,
                                          bool fitToScreen, ScreenSize screen) {
    try {
        if (GetImageType(fs, path) == "Jpg") return loadJpeg(fs, path, fitToScreen, screen);

        auto bytes = readWholeFile(fs, path);
        if (!bytes) return std::nullopt;
        auto picture = decodeBmp(*bytes);
        if (!picture || !fitToScreen) return picture;
        const ImageSize target = fittedSize(picture->size(), screen);
        if (picture->size() == target) return picture;
        return resample(*picture, target);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace ostrel
