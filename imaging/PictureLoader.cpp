#include "imaging/PictureLoader.h"

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <new>
#include <stop_token>
#include <system_error>
#include <thread>

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

// Decoding (mostly libjpeg's entropy decoding, which no scale avoids) and
// resampling take turns on one core otherwise; here a worker decodes while the
// calling thread resamples each row as soon as it is complete. The rows are the
// only data shared: each is written once by the worker before `decoded` covers it.
std::optional<Image> decodeAndResample(JpegRowDecoder& decoder, ImageSize decodedSize, ImageSize target) {
    Image source;
    source.width = decodedSize.width;
    source.height = decodedSize.height;
    source.pixels.resize(static_cast<std::size_t>(source.width) * source.height * 3);
    if (decodedSize == target) {
        if (!decoder.decodeInto(source, [](int) { return true; })) return std::nullopt;
        return source;
    }

    // What the two threads share, under one mutex: the rows complete (or
    // kFailed) and the row the resampler is waiting for (0 while it is not).
    // A condition variable rather than std::atomic::wait, which in the Windows
    // runtime can lose the last wake-up and leave this thread waiting for ever.
    constexpr int kFailed = -1;
    std::mutex mutex;
    std::condition_variable rowsArrived;
    int decoded = 0;
    int waitingFor = 0;
    auto decode = [&](std::stop_token stop) {
        bool ok = false;
        try {
            ok = decoder.decodeInto(source, [&](int rows) {
                bool wake;
                {
                    std::lock_guard lock(mutex);
                    decoded = rows;
                    wake = waitingFor != 0 && rows >= waitingFor;
                }
                if (wake) rowsArrived.notify_one();
                return !stop.stop_requested();
            });
        } catch (...) {  // nothing may leave the thread; the caller hears of a failure
        }
        {
            std::lock_guard lock(mutex);
            if (!ok) decoded = kFailed;
        }
        rowsArrived.notify_one();  // the last word always wakes the resampler
    };
    auto rowsReady = [&](int wanted) {
        std::unique_lock lock(mutex);
        waitingFor = wanted;
        rowsArrived.wait(lock, [&] { return decoded == kFailed || decoded >= wanted; });
        waitingFor = 0;
        return decoded == kFailed ? 0 : decoded;
    };

    // Joined on every way out, stopping the decoder early if the resampler leaves first.
    std::jthread worker;
    try {
        worker = std::jthread(decode);
    } catch (const std::system_error&) {
        decode(std::stop_token{});  // no thread to be had: one after the other
    }
    Image out = resample(source, target, rowsReady);
    if (worker.joinable()) worker.join();
    // A file that ends early still delivers every row, so only the decoder knows.
    if (decoded == kFailed || out.width == 0) return std::nullopt;
    return out;
}

std::optional<Image> loadJpeg(const FileSystem& fs, const std::string& path, const PictureSizing& sizing) {
    auto in = fs.openRead(path);
    if (!in) return std::nullopt;
    if (!sizing) return decodeJpeg(*in);

    JpegRowDecoder decoder(*in);
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
// read no further than its pixel data reaches.
std::optional<std::string> readBmpFile(const FileSystem& fs, const std::string& path) {
    auto in = fs.openRead(path);
    if (!in) return std::nullopt;
    auto bytes = readUpTo(*in, kBmpHeaderBytes);
    if (!bytes) return std::nullopt;
    auto layout = bmpLayout(*bytes);
    if (!layout) return std::nullopt;
    std::uint64_t limit = layout->readLimit;
    if (auto length = in->size()) limit = std::min(limit, *length);
    if (limit <= bytes->size()) return bytes;
    if (limit > std::numeric_limits<std::size_t>::max()) return std::nullopt;
    if (!appendUpTo(*in, *bytes, static_cast<std::size_t>(limit - bytes->size()))) return std::nullopt;
    return bytes;
}

}  // namespace

std::optional<Image> loadPicture(const FileSystem& fs, const std::string& path, const PictureSizing& sizing) {
    try {
        if (GetImageType(fs, path) == "Jpg") return loadJpeg(fs, path, sizing);

        auto bytes = readBmpFile(fs, path);
        if (!bytes) return std::nullopt;
        auto picture = decodeBmp(*bytes);
        if (!picture) return picture;
        const std::optional<ImageSize> target = wantedSize(sizing, picture->size());
        if (!target || picture->size() == *target) return picture;
        return resample(*picture, *target);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace ostrel
