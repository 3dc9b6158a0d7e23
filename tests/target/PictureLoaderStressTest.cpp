// The fitted JPEG decode hands rows from a decoding thread to the resampling
// one. A lost wake-up there hangs the interface thread, and only the target's
// runtime shows it, so the real code path runs here thousands of times.
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "changer/FitToScreen.h"
#include "imaging/JpegCodec.h"
#include "imaging/PictureLoader.h"
#include "fakes/TestImages.h"
#include "platform/win32/Win32FileSystem.h"
#include "TargetFolder.h"

namespace ostrel {
namespace {

Image noise(int width, int height) {
    std::mt19937 random(7);
    return testing::makeImage(width, height, [&](int, int) {
        auto v = static_cast<std::uint8_t>(random());
        return testing::Bgr{v, static_cast<std::uint8_t>(v * 3), static_cast<std::uint8_t>(v * 7)};
    });
}

TEST(FittedJpegDecode, NeverHangs) {
    const struct { ImageSize picture; ScreenSize screen; int decodes; } cases[] = {
        {{64, 40}, {50, 21}, 15000},      // few rows: hangs seen at 687 to 3079
        {{64, 1500}, {1000, 1000}, 1000}};  // many rows, many hand-overs each
    for (const auto& c : cases) {
        const std::string bytes = testing::encodeJpeg(noise(c.picture.width, c.picture.height), 90);
        const ImageSize target = xyforscreen(c.picture, c.screen);
        {  // the case must take the two-thread path: decoded size and fitted size differ
            testing::MemoryReadStream in(bytes);
            JpegRowDecoder decoder(in);
            ASSERT_TRUE(decoder.readHeader());
            ASSERT_NE(decoder.chooseScale(target), std::optional<ImageSize>(target));
        }
        testing::TargetFolder folder;
        const std::string path = folder.write("stress.jpg", bytes);
        win32::Win32FileSystem files;

        std::mutex mutex;
        std::condition_variable progress;
        int done = 0;
        bool allDecoded = true;
        std::thread worker([&] {
            for (int i = 0; i < c.decodes; ++i) {
                auto picture = loadWallpaperPicture(files, path, true, c.screen);
                std::lock_guard lock(mutex);
                allDecoded = allDecoded && picture && picture->size() == target;
                ++done;
                progress.notify_one();
            }
        });
        std::unique_lock lock(mutex);
        for (int seen = -1; done < c.decodes;) {
            // A decode takes milliseconds; ten seconds without one finishing is a hang.
            if (!progress.wait_for(lock, std::chrono::seconds(10), [&] { return done != seen; })) {
                std::fprintf(stderr, "FAILED: decode %d of %d never finished (a lost wake-up)\n", done + 1,
                             c.decodes);
                std::fflush(stderr);
                TerminateProcess(GetCurrentProcess(), 3);  // the hung thread cannot be joined
            }
            seen = done;
        }
        lock.unlock();
        worker.join();
        EXPECT_TRUE(allDecoded);
    }
}

}  // namespace
}  // namespace ostrel
