// The whole wallpaper change as the program makes it (SetWall with fitting, a
// 6000 x 4000 JPEG on a 1280 x 1024 screen), stage by stage, next to
// `djpeg -scale 3/8` of the same file, all in one run; and the preview of the
// row next to `djpeg -scale 1/8`. Each iteration runs every stage once; the
// counters are medians in milliseconds, and the time column is the whole change.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchPictures.h"
#include "ChangeStages.h"
#include "fakes/FakeRegistry.h"
#include "fakes/TempDir.h"
#include "platform/posix/PosixFileSystem.h"

extern char** environ;

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

// Wall time of a whole process; negative when it cannot run or fails.
double processMillis(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int status = -1;
    bool started = false;
    const double ms = millis([&] {
        pid_t pid;
        started = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0;
        if (started) waitpid(pid, &status, 0);
    });
    return started && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

// The output goes to a new file each time: truncating the last run's output
// would make this run wait for that one's data to reach the disk.
double djpegMillis(const char* scale, const std::string& out, const std::string& in) {
    std::remove(out.c_str());
    return processMillis({"djpeg", "-scale", scale, "-outfile", out, in});
}

void BM_Change(benchmark::State& state) {
    auto& pictures = changePictures();
    const std::string& path = pictures.big[state.range(0)];
    const std::string ppm = pictures.dir.file("djpeg.ppm");
    if (djpegMillis("3/8", ppm, pictures.tiny) < 0) {
        state.SkipWithError("no djpeg to compare with (Debian: libjpeg-turbo-progs)");
        return;
    }
    PosixFileSystem files;
    ostrel::testing::FakeRegistry registry;
    BenchDesktop desktop;
    ChangeRig rig(files, registry, desktop, pictures.dir.path());

    // djpeg's rows beside the shared table.
    enum { Djpeg, DjpegTiny, Djpeg18 };
    constexpr int kOwnRows = 3;
    static const char* const ownNames[kOwnRows] = {"djpeg", "djpeg_64x48", "djpeg1/8"};
    std::vector<double> samples[kStages + kOwnRows];
    int round = 0;
    for (auto _ : state) {
        const StageRound r = timeStages(files, registry, rig, path, pictures.tiny, round++);
        const double djpeg[kOwnRows] = {djpegMillis("3/8", ppm, path), djpegMillis("3/8", ppm, pictures.tiny),
                                        djpegMillis("1/8", ppm, path)};
        if (!r.ok || djpeg[Djpeg] < 0 || djpeg[DjpegTiny] < 0 || djpeg[Djpeg18] < 0) std::abort();
        state.SetIterationTime(r.ms[Change] / 1000);
        for (int i = 0; i < kStages; ++i) samples[i].push_back(r.ms[i]);
        for (int i = 0; i < kOwnRows; ++i) samples[kStages + i].push_back(djpeg[i]);
    }
    // Medians: a disk flush now and then takes many times its usual time.
    double m[kStages], d[kOwnRows];
    for (int i = 0; i < kStages; ++i) state.counters[kStageNames[i].key] = m[i] = median(samples[i]);
    for (int i = 0; i < kOwnRows; ++i) state.counters[ownNames[i]] = d[i] = median(samples[kStages + i]);
    // The change against djpeg's own decode, net of starting its process.
    state.counters["ratio"] = m[Change] / (d[Djpeg] - d[DjpegTiny]);
    // The preview against djpeg -scale 1/8, the same way.
    state.counters["ratio_preview"] = m[Preview] / (d[Djpeg18] - d[DjpegTiny]);
    // The goal is at most 1.3: the same bytes decoded by libjpeg in this
    // process, at the change's scale, as the change decodes them.
    state.counters["ratio_same"] = m[Change] / m[LibjpegSame];
}
BENCHMARK(BM_Change)
    ->ArgName("detailed")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(11)
    ->UseManualTime();

}  // namespace
