#include "imaging/PictureLoader.h"

#include <algorithm>
#include <limits>
#include <new>

#include "imaging/BmpCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/Resample.h"
#include "imaging/ImageProbe.h"

namespace ostrel {
namespace {

// The wanted size comes from the picture's own size, never from a reduced
// decode, so the result is the same however the picture was decoded. A very
// thin picture could round to zero; keep at least one pixel.
std::optional<ImageSize> wantedSize(const PictureSizing& sizing, ImageSize original) {
    if (!sizing) return std::nullopt;
    std::optional<ImageSize> t = sizing(original);
    if (!t) return std::nullopt;
    return ImageSize{std::max(1, t->width), std::max(1, t->height)};
}

// The rows go from libjpeg's small buffer straight into the resampler, on the
// calling thread: no picture of the decoded size is kept, and no thread is
// started or waited for. Entropy decoding, which no scale avoids, takes most of
// the time; a second thread saved little more than the resampling and cost a
// hand-over every few rows.
std::optional<Image> decodeAndResample(JpegRowDecoder& decoder, ImageSize decodedSize, ImageSize target) {
    if (decodedSize == target) {
        Image picture;
        if (!decoder.decodeInto(picture, [](int) { return true; })) return std::nullopt;
        return picture;
    }
    RowResampler resampler(decodedSize, target);
    if (!decoder.decodeRows([&](const std::uint8_t* row) { resampler.push(row); })) return std::nullopt;
    Image out = resampler.take();
    if (out.width == 0) return std::nullopt;
    return out;
}

std::optional<Image> loadJpeg(const FileSystem& fs, const std::string& path, const PictureSizing& sizing,
                              std::uint64_t memoryLimit) {
    auto in = fs.openRead(path);
    if (!in) return std::nullopt;
    if (!sizing) return decodeJpeg(*in, std::nullopt, memoryLimit);

    JpegRowDecoder decoder(*in, memoryLimit);
    const auto original = decoder.readHeader();
    if (!original) return std::nullopt;
    const std::optional<ImageSize> target = wantedSize(sizing, *original);
    const auto decodedSize = decoder.chooseScale(target);
    if (!decodedSize) return std::nullopt;
    return decodeAndResample(decoder, *decodedSize, target.value_or(*decodedSize));
}

// Everything else goes to the BMP reader, which needs the file in memory. The
// headers come first: anything that is not a bitmap (a video that found its
// way into the list, say) costs a couple of hundred bytes, and a bitmap is
// read no further than its pixel data reaches. The bytes read count against
// the memory limit with the picture they will make, and are not read when
// the two would not fit.
std::optional<std::string> readBmpFile(const FileSystem& fs, const std::string& path, std::uint64_t memoryLimit) {
    auto in = fs.openRead(path);
    if (!in) return std::nullopt;
    auto bytes = readUpTo(*in, kBmpHeaderBytes);
    if (!bytes) return std::nullopt;
    auto layout = bmpLayout(*bytes);
    if (!layout) return std::nullopt;
    std::uint64_t limit = layout->readLimit;
    if (auto length = in->size()) limit = std::min(limit, *length);
    const std::uint64_t picture = pictureBytes(layout->size.width, layout->size.height);
    if (picture > memoryLimit || limit > memoryLimit - picture) return std::nullopt;
    if (limit <= bytes->size()) return bytes;
    if (limit > std::numeric_limits<std::size_t>::max()) return std::nullopt;
    if (!appendUpTo(*in, *bytes, static_cast<std::size_t>(limit - bytes->size()))) return std::nullopt;
    return bytes;
}

}  // namespace

std::optional<Image> loadPicture(const FileSystem& fs, const std::string& path, const PictureSizing& sizing,
                                 std::uint64_t memoryLimit) {
    try {
        if (GetImageType(fs, path) == "Jpg") return loadJpeg(fs, path, sizing, memoryLimit);

        auto bytes = readBmpFile(fs, path, memoryLimit);
        if (!bytes) return std::nullopt;
        auto picture = decodeBmp(*bytes, memoryLimit - bytes->size());
        if (!picture) return picture;
        const std::optional<ImageSize> target = wantedSize(sizing, picture->size());
        if (!target || picture->size() == *target) return picture;
        return resample(*picture, *target);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace ostrel
