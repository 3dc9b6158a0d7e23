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
    const std::string bitmap = rig.bitmapPath();

    enum {
        Checks,
        Read,
        Decode,
        Fit,
        Load,
        Write,
        WriteOpen,
        WriteData,
        WriteCommit,
        Registry,
        Change,
        ChangeTiny,
        Djpeg,
        DjpegTiny,
        Preview,
        Djpeg18,
        LibjpegSame,
        LibjpegFloor,
        kStages
    };
    static const char* const names[kStages] = {"checks",   "read",         "decode",     "fit",          "decode+fit",
                                               "write",    "write_open",   "write_data", "write_commit", "registry",
                                               "change",   "change_64x48", "djpeg",      "djpeg_64x48",  "preview",
                                               "djpeg1/8", "libjpeg_same", "floor"};
    std::vector<double> samples[kStages];
    for (auto _ : state) {
        double ms[kStages];
        bool ok = true;
        ms[Checks] = millis([&] { ok = checkStage(files, path); });
        ms[Read] = millis([&] { ok = ok && readStage(files, path, 64 * 1024) > 0; });
        Decoded decoded;
        ms[Decode] = millis([&] { decoded = decodeStage(files, path, kBenchScreen); });
        Image fitted;
        ms[Fit] = millis([&] { fitted = fitStage(decoded, kBenchScreen); });
        ms[Load] = millis([&] { fitted = loadStage(files, path, kBenchScreen); });
        const auto written = writeStage(files, bitmap, fitted);
        ok = ok && written;
        ms[Write] = written ? written->total() : 0;
        ms[WriteOpen] = written ? written->open : 0;
        ms[WriteData] = written ? written->write : 0;
        ms[WriteCommit] = written ? written->commit : 0;
        ms[Registry] = millis([&] { ok = ok && registryStage(registry, bitmap); });
        ms[Change] = millis([&] { ok = ok && rig.install(path); });
        ms[ChangeTiny] = millis([&] { ok = ok && rig.install(pictures.tiny); });
        ms[Djpeg] = djpegMillis("3/8", ppm, path);
        ms[DjpegTiny] = djpegMillis("3/8", ppm, pictures.tiny);
        ms[Preview] = millis([&] { benchmark::DoNotOptimize(previewStage(files, path, kBenchPreviewFrame).width); });
        ms[Djpeg18] = djpegMillis("1/8", ppm, path);
        ms[LibjpegSame] = millis([&] { ok = ok && libjpegDecode(files, path, kBenchScreen) > 0; });
        ms[LibjpegFloor] = millis([&] { ok = ok && libjpegFloor(files, path) > 0; });
        if (!ok || ms[Djpeg] < 0 || ms[DjpegTiny] < 0 || ms[Djpeg18] < 0) std::abort();
        state.SetIterationTime(ms[Change] / 1000);
        for (int i = 0; i < kStages; ++i) samples[i].push_back(ms[i]);
    }
    // Medians: a disk flush now and then takes many times its usual time.
    double m[kStages];
    for (int i = 0; i < kStages; ++i) state.counters[names[i]] = m[i] = median(samples[i]);
    // The goal is at most 1.3: the change against djpeg's own decode, net of
    // starting its process.
    state.counters["ratio"] = m[Change] / (m[Djpeg] - m[DjpegTiny]);
    // The preview against djpeg -scale 1/8, the same way.
    state.counters["ratio_preview"] = m[Preview] / (m[Djpeg18] - m[DjpegTiny]);
    // The same bytes decoded by libjpeg in this process, at the change's scale.
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
