// Installing a large JPEG as the wallpaper (with and without fitting), and
// reading the sizes of many files for the list.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "BenchPictures.h"
#include "imaging/BmpCodec.h"
#include "app/PreviewFrame.h"
#include "changer/FitToScreen.h"
#include "imaging/JpegCodec.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resample.h"
#include "fakes/TempDir.h"
#include "imaging/ImageProbe.h"
#include "platform/posix/PosixFileSystem.h"

namespace {

using namespace ostrel;

constexpr ScreenSize kScreen{1920, 1080};

std::string numbered(const char* stem, int i) {
    std::string name = stem;
    name += std::to_string(i);
    name += ".jpg";
    return name;
}

struct Pictures {
    ostrel::testing::TempDir dir;
    std::string smooth;    // noise of +-2 around the ramps: 1.8 MB
    std::string detailed;  // noise of +-8: 5.6 MB, closer to a camera picture
    std::vector<std::string> small;
    std::string out;

    Pictures() {
        smooth = dir.file("smooth.jpg");
        bench::writeSmooth(smooth);
        detailed = dir.file("detailed.jpg");
        bench::writeDetailed(detailed);
        // 25 different small-to-medium pictures, copied to 1000 files.
        std::vector<std::string> originals;
        for (int i = 0; i < 25; ++i) {
            std::string p = dir.file(numbered("orig", i));
            bench::writeJpeg(p, 160 + 61 * i, 120 + 37 * i, 85, 100 + i, 6);
            originals.push_back(ostrel::testing::TempDir::read(p));
        }
        for (int i = 0; i < 1000; ++i) small.push_back(dir.write(numbered("s", i), originals[i % 25]));
        out = dir.file("wallpaper.bmp");
    }
};

Pictures& pictures() {
    static Pictures p;
    return p;
}

// Scaled decoding saves the inverse DCT and colour conversion of most pixels,
// but every coefficient must still be entropy-decoded; the more detail a
// picture has, the larger that fixed share. Hence two pictures.
const std::string& bigPicture(const benchmark::State& state) {
    return state.range(0) == 0 ? pictures().smooth : pictures().detailed;
}

// Writes the wallpaper file; the stream is dropped without commit so the
// figures do not include the disk flush.
void writeWallpaper(PosixFileSystem& fs, const Image& image) {
    auto out = fs.openReplace(pictures().out);
    if (!out || !writeBmp24(image, *out)) std::abort();
}

void BM_InstallFit_Scaled(benchmark::State& state) {
    PosixFileSystem fs;
    const std::string& path = bigPicture(state);
    for (auto _ : state) {
        auto picture = loadWallpaperPicture(fs, path, true, kScreen);
        if (!picture) std::abort();
        writeWallpaper(fs, *picture);
        benchmark::DoNotOptimize(picture->pixels.data());
    }
}
// The wait is what counts, so wall time.
BENCHMARK(BM_InstallFit_Scaled)
    ->ArgName("detailed")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseRealTime();

// The baseline: the picture decoded at its full size.
Image decodeWhole(const PosixFileSystem& fs, const std::string& path) {
    auto in = fs.openRead(path);
    auto full = in ? decodeJpeg(*in) : std::nullopt;
    if (!full) std::abort();
    return std::move(*full);
}

void BM_InstallFit_FullDecodeThenScale(benchmark::State& state) {
    PosixFileSystem fs;
    const std::string& path = bigPicture(state);
    for (auto _ : state) {
        const Image full = decodeWhole(fs, path);
        Image picture = resample(full, xyforscreen(full.size(), kScreen));
        writeWallpaper(fs, picture);
        benchmark::DoNotOptimize(picture.pixels.data());
    }
}
BENCHMARK(BM_InstallFit_FullDecodeThenScale)
    ->ArgName("detailed")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_InstallNoFit(benchmark::State& state) {
    PosixFileSystem fs;
    const std::string& path = bigPicture(state);
    for (auto _ : state) {
        auto picture = loadWallpaperPicture(fs, path, false, kScreen);
        if (!picture) std::abort();
        writeWallpaper(fs, *picture);
        benchmark::DoNotOptimize(picture->pixels.data());
    }
}
BENCHMARK(BM_InstallNoFit)->ArgName("detailed")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// Selecting a row: the preview's frame-sized picture of a 6000 x 4000 photo,
// decoded at the smallest scale that covers the frame, against decoding it
// whole and scaling that down.
constexpr ImageSize kPreviewFrame{200, 150};

void BM_PreviewScaled(benchmark::State& state) {
    PosixFileSystem fs;
    const std::string& path = bigPicture(state);
    for (auto _ : state) {
        auto framed = previewFrame(fs, path, kPreviewFrame);
        if (!framed) std::abort();
        benchmark::DoNotOptimize(framed->pixels.data());
    }
}
BENCHMARK(BM_PreviewScaled)
    ->ArgName("detailed")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseRealTime();

// Dragging the list's edge: the frame grows by a pixel each step and the kept
// source is only placed anew, against reading and decoding the file each time.
void BM_PreviewReframeFromSource(benchmark::State& state) {
    PosixFileSystem fs;
    auto source = loadPreviewSource(fs, bigPicture(state), kPreviewFrame);
    if (!source) std::abort();
    int grow = 0;
    for (auto _ : state) {
        const ImageSize frame{kPreviewFrame.width + grow, kPreviewFrame.height + grow * 3 / 4};
        grow = (grow + 1) % 40;
        Image framed = frameFrom(*source, frame);
        benchmark::DoNotOptimize(framed.pixels.data());
    }
}
BENCHMARK(BM_PreviewReframeFromSource)
    ->ArgName("detailed")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_PreviewFullDecodeThenScale(benchmark::State& state) {
    PosixFileSystem fs;
    const std::string& path = bigPicture(state);
    for (auto _ : state) {
        const Image full = decodeWhole(fs, path);
        const FramePlacement place = placeInFrame(full.size(), kPreviewFrame.width, kPreviewFrame.height);
        Image picture = resample(full, {place.width, place.height});
        benchmark::DoNotOptimize(picture.pixels.data());
    }
}
BENCHMARK(BM_PreviewFullDecodeThenScale)
    ->ArgName("detailed")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

void BM_GetStat1000(benchmark::State& state) {
    PosixFileSystem fs;
    const auto& files = pictures().small;
    for (auto _ : state) {
        for (const auto& path : files) {
            std::string stat = GetStat(fs, path);
            if (stat == "0x0") std::abort();
            benchmark::DoNotOptimize(stat.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(files.size()));
}
BENCHMARK(BM_GetStat1000)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
