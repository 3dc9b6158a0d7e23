// The BMP decoder and probe: a picture that decodes has the size the probe
// shows, comes out the same through the loader, and survives being written
// and read back; nothing holds more memory than the limit it is given.
#include "FuzzSupport.h"
#include "fakes/TestImages.h"
#include "imaging/BmpCodec.h"
#include "imaging/ImageProbe.h"
#include "imaging/PictureLoader.h"

using namespace ostrel;

namespace {

// Small, so that each run is quick; the rules are those of any limit.
constexpr std::uint64_t kLimit = std::uint64_t{256} << 10;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::bytesOf(data, size);
    fuzz::MemoryFileSystem fs;
    fs.files["p"] = std::string(bytes);

    const std::optional<BmpLayout> layout = bmpLayout(bytes.substr(0, kBmpHeaderBytes));
    const std::string probed = GetStat(fs, "p");
    const std::optional<Image> picture = decodeBmp(bytes, kLimit);
    if (!layout) FUZZ_CHECK(!picture);
    if (!layout && GetImageType(fs, "p") != "Jpg") FUZZ_CHECK(probed == "0x0");
    if (picture) {
        FUZZ_CHECK(layout && layout->size == picture->size() && layout->pixelDataEnd <= size);
        FUZZ_CHECK(probed == std::to_string(picture->width) + "x" + std::to_string(picture->height));
        FUZZ_CHECK(picture->pixels.size() == pictureBytes(picture->width, picture->height));
        FUZZ_CHECK(picture->pixels.size() <= kLimit);

        testing::MemoryWriteStream out;
        FUZZ_CHECK(writeBmp24(*picture, out));
        const std::optional<Image> again = decodeBmp(out.bytes, out.bytes.size() + kLimit);
        FUZZ_CHECK(again && again->size() == picture->size() && again->pixels == picture->pixels);
    }

    // The loader reads what the headers promise, within the same limit for file and picture.
    const std::optional<Image> loaded = loadPicture(fs, "p", {}, kLimit + size);
    if (loaded && GetImageType(fs, "p") != "Jpg") {
        const std::optional<Image> whole = picture ? picture : decodeBmp(bytes, kLimit + size);
        FUZZ_CHECK(whole && loaded->size() == whole->size() && loaded->pixels == whole->pixels);
    }
    return 0;
}
