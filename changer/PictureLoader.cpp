#include "changer/PictureLoader.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <stop_token>
#include <system_error>
#include <thread>

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

    constexpr int kFailed = -1;
    // Waking the resampler for every batch of a row or two would cost more than it saves.
    constexpr int kWakeEvery = 16;
    std::atomic<int> decoded{0};  // rows complete, or kFailed
    auto decode = [&](std::stop_token stop) {
        int woken = 0;
        bool ok = false;
        try {
            ok = decoder.decodeInto(source, [&](int rows) {
                decoded.store(rows, std::memory_order_release);
                if (rows - woken >= kWakeEvery) {
                    decoded.notify_one();
                    woken = rows;
                }
                return !stop.stop_requested();
            });
        } catch (...) {  // nothing may leave the thread; the caller hears of a failure
        }
        if (!ok) decoded.store(kFailed, std::memory_order_release);
        decoded.notify_one();
    };
    auto rowsReady = [&](int wanted) {
        int n = decoded.load(std::memory_order_acquire);
        while (n != kFailed && n < wanted) {
            decoded.wait(n, std::memory_order_acquire);
            n = decoded.load(std::memory_order_acquire);
        }
        return n == kFailed ? 0 : n;
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
    if (decoded.load(std::memory_order_relaxed) == kFailed || out.width == 0) return std::nullopt;
    return out;
}

std::optional<Image> loadJpeg(const FileSystem& fs, const std::string& path, bool fitToScreen,
                              ScreenSize screen) {
    auto in = fs.openRead(path);
    if (!in) return std::nullopt;
    if (!fitToScreen) return decodeJpeg(*in);

    JpegRowDecoder decoder(*in);
    const auto original = decoder.readHeader();
    if (!original) return std::nullopt;
    const ImageSize target = fittedSize(*original, screen);
    const auto decodedSize = decoder.chooseScale(target);
    if (!decodedSize) return std::nullopt;
    return decodeAndResample(decoder, *decodedSize, target);
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
