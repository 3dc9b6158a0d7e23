// The JPEG probe and decoder: a picture that decodes has the size the probe
// shows, a reduced decode is no smaller than asked and no larger than the
// picture, and the loader's fitted decode has exactly the size it asked for.
#include "FuzzSupport.h"
#include "fakes/TestImages.h"
#include "imaging/ImageProbe.h"
#include "imaging/JpegCodec.h"
#include "imaging/PictureLoader.h"

using namespace ostrel;

namespace {

// Small, so that each run is quick; the rules are those of any limit.
constexpr std::uint64_t kLimit = std::uint64_t{256} << 10;

std::string sizeText(ImageSize s) { return std::to_string(s.width) + "x" + std::to_string(s.height); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(fuzz::bytesOf(data, size));
    fuzz::MemoryFileSystem fs;
    fs.files["p"] = bytes;

    testing::MemoryReadStream sizing(bytes), full(bytes), reduced(bytes);
    const std::optional<ImageSize> own = jpegSize(sizing);
    const bool jpeg = GetImageType(fs, "p") == "Jpg";
    if (jpeg) FUZZ_CHECK(GetStat(fs, "p") == (own ? sizeText(*own) : "0x0"));

    const std::optional<Image> picture = decodeJpeg(full, std::nullopt, kLimit);
    if (picture) {
        FUZZ_CHECK(own && picture->size() == *own);
        FUZZ_CHECK(picture->pixels.size() == pictureBytes(own->width, own->height));
    }
    if (!own) return 0;

    const ImageSize atLeast{std::max(1, own->width / 3), std::max(1, own->height / 5)};
    if (const std::optional<Image> smaller = decodeJpeg(reduced, atLeast, kLimit)) {
        FUZZ_CHECK(smaller->width >= atLeast.width && smaller->height >= atLeast.height);
        FUZZ_CHECK(smaller->width <= own->width && smaller->height <= own->height);
    }

    const ImageSize fitted{std::max(1, own->width / 7), std::max(1, own->height / 2)};
    const std::optional<Image> loaded = loadPicture(
        fs, "p",
        [&](ImageSize s) {
            FUZZ_CHECK(s == *own);
            return std::optional(fitted);
        },
        kLimit);
    if (loaded)
        FUZZ_CHECK(jpeg && loaded->size() == fitted &&
                   loaded->pixels.size() == pictureBytes(fitted.width, fitted.height));
    return 0;
}
