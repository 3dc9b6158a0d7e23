// The whole wallpaper change as the program makes it (SetWall with fitting, a
// 6000 x 4000 JPEG on a 1280 x 1024 screen), stage by stage, next to libjpeg
// decoding the same file as the change decodes it, in this process (see
// timeStages). Each iteration runs every stage once; the counters are medians
// in milliseconds, and the time column is the whole change.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "BenchPictures.h"
#include "ChangeStages.h"
#include "fakes/FakeRegistry.h"
#include "fakes/TempDir.h"
#include "platform/posix/PosixFileSystem.h"

namespace {

using namespace ostrel;
using namespace ostrel::bench;

struct ChangePictures {
    ostrel::testing::TempDir dir;
    std::string big[2];  // smooth, detailed
    std::string tiny;

    ChangePictures() {
        big[0] = dir.file("smooth.jpg");
        writeSmooth(big[0]);
        big[1] = dir.file("detailed.jpg");
        writeDetailed(big[1]);
        tiny = dir.file("tiny.jpg");
        writeJpeg(tiny, 64, 48, 90, 3, 8);
    }
};

ChangePictures& changePictures() {
    static ChangePictures p;
    return p;
}

void BM_Change(benchmark::State& state) {
    auto& pictures = changePictures();
    const std::string& path = pictures.big[state.range(0)];
    PosixFileSystem files;
    ostrel::testing::FakeRegistry registry;
    BenchDesktop desktop;
    ChangeRig rig(files, registry, desktop, pictures.dir.path());

    std::vector<double> samples[kStages], toSame;
    int round = 0;
    for (auto _ : state) {
        const StageRound r = timeStages(files, registry, rig, path, pictures.tiny, round++);
        if (!r.ok) std::abort();
        state.SetIterationTime(r.ms[Change] / 1000);
        for (int i = 0; i < kStages; ++i) samples[i].push_back(r.ms[i]);
        toSame.push_back(r.ms[Change] / r.ms[LibjpegSame]);
    }
    // Medians: a disk flush now and then takes many times its usual time.
    for (int i = 0; i < kStages; ++i) state.counters[kStageNames[i].key] = median(samples[i]);
    // The goal is at most 1.3: the median of the per-round ratios.
    state.counters["ratio_same"] = median(toSame);
}
BENCHMARK(BM_Change)
    ->ArgName("detailed")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(11)
    ->UseManualTime();

}  // namespace
