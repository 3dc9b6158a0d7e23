#include "imaging/PictureLoader.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <new>
#include <optional>

#include "imaging/BmpCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/Resample.h"
#include "imaging/RowsAhead.h"
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

// A JPEG decoder at the scale that serves the wanted size, and that size.
struct ScaledJpeg {
    std::unique_ptr<ReadStream> in;
    std::unique_ptr<JpegRowDecoder> decoder;
    ImageSize decoded;
    ImageSize target;
};

std::optional<ScaledJpeg> openScaledJpeg(const FileSystem& fs, const std::string& path, const PictureSizing& sizing,
                                         std::uint64_t memoryLimit) {
    ScaledJpeg j;
    j.in = fs.openRead(path);
    if (!j.in) return std::nullopt;
    j.decoder = std::make_unique<JpegRowDecoder>(*j.in, memoryLimit);
    const auto original = j.decoder->readHeader();
    if (!original) return std::nullopt;
    const std::optional<ImageSize> target = wantedSize(sizing, *original);
    const auto decoded = j.decoder->chooseScale(target);
    if (!decoded) return std::nullopt;
    j.decoded = *decoded;
    j.target = target.value_or(*decoded);
    return j;
}

// The rows go from libjpeg's small buffer straight into the resampler, and on
// from there as they are made: no picture of the decoded size is kept. For
// the wallpaper change, which the user waits for, libjpeg decodes on a second
// thread a few strips ahead, and the resampling, the bitmap's writing and its
// flushes run beside it on the calling thread. Strips of 64 rows keep the
// hand-overs few: under Wine each wakes the other thread through its server.
// The preview's decodes already run beside the interface and stay on one thread.
enum class Threads { One, DecodeAhead };

// SetUpRows, if given, runs before the first row reaches rowOut. With a
// second thread it runs, as the making of the resampler's tables does, once
// the decoding has been handed to that thread: the user waits for the
// decoding, not for them.
bool decodeRowsTo(ScaledJpeg& j, const RowResampler::RowOut& rowOut, Threads threads = Threads::One,
                  const std::function<void()>& setUpRows = {}) {
    const auto decode = [&](const RowSink& row) { return j.decoder->decodeRows(row); };
    const auto rowBytes = static_cast<std::size_t>(j.decoded.width) * 3;
    std::optional<RowResampler> resampler;
    const bool resampled = j.decoded != j.target;
    const auto setUp = [&] {
        if (setUpRows) setUpRows();
        if (resampled) resampler.emplace(j.decoded, j.target, rowOut);
    };
    const RowSink take = resampled ? RowSink([&](const std::uint8_t* row) { resampler->push(row); }) : rowOut;
    bool ok;
    if (threads == Threads::DecodeAhead) {
        ok = takeRowsMadeAhead(rowBytes, decode, take, setUp);
    } else {
        setUp();
        ok = decode(take);
    }
    return ok && (!resampled || resampler->done());
}

std::optional<Image> loadJpeg(const FileSystem& fs, const std::string& path, const PictureSizing& sizing,
                              std::uint64_t memoryLimit) {
    if (!sizing) {
        auto in = fs.openRead(path);
        if (!in) return std::nullopt;
        return decodeJpeg(*in, std::nullopt, memoryLimit);
    }
    auto j = openScaledJpeg(fs, path, sizing, memoryLimit);
    if (!j) return std::nullopt;
    Image picture;
    if (j->decoded == j->target) {
        if (!j->decoder->decodeInto(picture, [](int) { return true; })) return std::nullopt;
        return picture;
    }
    picture = Image{j->target.width, j->target.height, {}};
    picture.pixels.reserve(pictureBytes(picture.width, picture.height));
    const std::size_t rowBytes = picture.rowOffset(1);
    if (!decodeRowsTo(
            *j, [&](const std::uint8_t* row) { picture.pixels.insert(picture.pixels.end(), row, row + rowBytes); }))
        return std::nullopt;
    return picture;
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

// loadPicture once the kind probe has answered.
std::optional<Image> loadKnownPicture(const FileSystem& fs, const std::string& path, bool jpeg,
                                      const PictureSizing& sizing, std::uint64_t memoryLimit) {
    if (jpeg) return loadJpeg(fs, path, sizing, memoryLimit);
    auto bytes = readBmpFile(fs, path, memoryLimit);
    if (!bytes) return std::nullopt;
    auto picture = decodeBmp(*bytes, memoryLimit - bytes->size());
    if (!picture) return picture;
    const std::optional<ImageSize> target = wantedSize(sizing, picture->size());
    if (!target || picture->size() == *target) return picture;
    return resample(*picture, *target);
}

}  // namespace

bool loadPictureRows(const FileSystem& fs, const std::string& path, const PictureSizing& sizing, PictureRows& rows,
                     std::uint64_t memoryLimit) {
    try {
        const bool jpeg = GetImageType(fs, path) == "Jpg";
        if (jpeg && sizing) {
            auto j = openScaledJpeg(fs, path, sizing, memoryLimit);
            if (!j) return false;
            // The rows' time hides behind the decoding only where the decoding
            // has as many rows to make: an enlarged picture is decoded at once.
            const bool alongside = j->decoded.height >= j->target.height;
            const auto setUpRows = [&] {
                if (alongside)
                    rows.beginAlongside(j->target);
                else
                    rows.begin(j->target);
            };
            return decodeRowsTo(
                *j, [&](const std::uint8_t* row) { rows.row(row); }, alongside ? Threads::DecodeAhead : Threads::One,
                setUpRows);
        }
        const std::optional<Image> picture = loadKnownPicture(fs, path, jpeg, sizing, memoryLimit);
        if (!picture) return false;
        rows.begin(picture->size());
        for (int y = 0; y < picture->height; ++y) rows.row(picture->row(y));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::optional<Image> loadPicture(const FileSystem& fs, const std::string& path, const PictureSizing& sizing,
                                 std::uint64_t memoryLimit) {
    try {
        return loadKnownPicture(fs, path, GetImageType(fs, path) == "Jpg", sizing, memoryLimit);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace ostrel
