// The wallpaper change on the target, stage by stage and whole, measured
// against libjpeg-turbo decoding the same bytes in this same process: at the
// scale the change picks for the screen, and the floor (the file read and a
// 1/8 decode, which still entropy-decodes every coefficient). The three are
// interleaved round by round, in a rotating order, so that what slows the
// machine meanwhile slows all three; the report gives the median of the
// per-round ratios.
//   change_bench.exe [rounds]               the report
//   change_bench.exe --install file folder  one change, for timing as a process
// Under Wine:
//   WINEPREFIX=<a copy of the prepared prefix> xvfb-run -a wine change_bench.exe 15
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchPictures.h"
#include "ChangeStages.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"

using namespace ostrel;
using namespace ostrel::bench;

namespace {

std::string ownPath() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

// Wall time of a whole process, from its creation to its end; ends this
// program when it cannot start or fails.
double processMillis(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    win32::UniqueKernelHandle process;
    const double ms = millis([&] {
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            std::fprintf(stderr, "cannot start: %s\n", commandLine.c_str());
            std::exit(2);
        }
        process.reset(info.hProcess);
        CloseHandle(info.hThread);
        WaitForSingleObject(process.get(), INFINITE);
    });
    DWORD code = 1;
    GetExitCodeProcess(process.get(), &code);
    if (code != 0) {
        std::fprintf(stderr, "failed (%lu): %s\n", static_cast<unsigned long>(code), commandLine.c_str());
        std::exit(2);
    }
    return ms;
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

int installOnce(const std::string& path, const std::string& folder) {
    win32::Win32FileSystem files;
    win32::Win32Registry registry;
    BenchDesktop desktop;
    ChangeRig rig(files, registry, desktop, folder);
    return rig.install(path) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--install") return installOnce(argv[2], argv[3]);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "ostrel-change-bench";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string pictures[2] = {folder + "\\smooth.jpg", folder + "\\detailed.jpg"};
    const std::string tiny = folder + "\\tiny.jpg";
    writeSmooth(pictures[0]);
    writeDetailed(pictures[1]);
    writeJpeg(tiny, 64, 48, 90, 3, 8);

    win32::Win32FileSystem files;
    win32::Win32Registry registry;
    win32::Win32Desktop system;
    BenchDesktop desktop;
    ChangeRig rig(files, registry, desktop, folder);
    const std::string bitmap = rig.bitmapPath();

    enum {
        Checks,
        Read64,
        Read1M,
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
        Reload,
        ChangeProc,
        ChangeProcTiny,
        LibjpegSame,
        LibjpegFloor,
        Preview,
        kRows
    };
    const char* const names[kRows] = {"checks (exists, kind probe)",
                                      "read, 64 KiB blocks",
                                      "read, 1 MiB blocks",
                                      "decode at the fitted scale, 1 thread",
                                      "fit (resample) alone",
                                      "decode + fit as the change does",
                                      "bitmap write + replace",
                                      "  open the temporary file",
                                      "  write the bitmap",
                                      "  flush, close, move over",
                                      "registry values",
                                      "SetWall, whole, in process",
                                      "SetWall of a 64x48 JPEG",
                                      "system wallpaper reload (not ours)",
                                      "change as a process",
                                      "change as a process, 64x48",
                                      "libjpeg alone, the same scale",
                                      "floor: read + libjpeg 1/8",
                                      "preview in a 320x240 frame"};
    std::vector<double> samples[kRows][2];      // smooth, detailed
    std::vector<double> toSame[2], toFloor[2];  // per-round ratios of the whole change

    const std::string self = quoted(ownPath());
    for (int run = 0; run < runs; ++run) {
        for (int p = 0; p < 2; ++p) {
            const std::string& path = pictures[p];
            auto add = [&](int row, double ms) { samples[row][p].push_back(ms); };
            bool ok = true;
            add(Checks, millis([&] { ok = checkStage(files, path); }));
            add(Read64, millis([&] { ok = ok && readStage(files, path, 64 * 1024) > 0; }));
            add(Read1M, millis([&] { ok = ok && readStage(files, path, 1024 * 1024) > 0; }));
            Decoded decoded;
            add(Decode, millis([&] { decoded = decodeStage(files, path, kBenchScreen); }));
            Image fitted;
            add(Fit, millis([&] { fitted = fitStage(decoded, kBenchScreen); }));
            add(Load, millis([&] { fitted = loadStage(files, path, kBenchScreen); }));
            const auto written = writeStage(files, bitmap, fitted);
            ok = ok && written;
            add(Write, written ? written->total() : 0);
            add(WriteOpen, written ? written->open : 0);
            add(WriteData, written ? written->write : 0);
            add(WriteCommit, written ? written->commit : 0);
            add(Registry, millis([&] { ok = ok && registryStage(registry, bitmap); }));
            // The whole change and its two yardsticks, in an order that rotates.
            double change = 0, same = 0, floor = 0;
            for (int k = 0; k < 3; ++k) {
                switch ((run + k) % 3) {
                case 0: change = millis([&] { ok = ok && rig.install(path); }); break;
                case 1: same = millis([&] { ok = ok && libjpegDecode(files, path, kBenchScreen) > 0; }); break;
                default: floor = millis([&] { ok = ok && libjpegFloor(files, path) > 0; }); break;
                }
            }
            add(Change, change);
            add(LibjpegSame, same);
            add(LibjpegFloor, floor);
            toSame[p].push_back(change / same);
            toFloor[p].push_back(change / floor);
            add(ChangeTiny, millis([&] { ok = ok && rig.install(tiny); }));
            add(Reload, millis([&] { system.reloadWallpaper(bitmap); }));
            add(ChangeProc, processMillis(self + " --install " + quoted(path) + " " + quoted(folder)));
            add(ChangeProcTiny, processMillis(self + " --install " + quoted(tiny) + " " + quoted(folder)));
            add(Preview, millis([&] { ok = ok && previewStage(files, path, kBenchPreviewFrame).width > 0; }));
            if (!ok) {
                std::fprintf(stderr, "a stage failed on %s\n", path.c_str());
                return 1;
            }
        }
    }

    for (const std::string& made : {pictures[0], pictures[1], tiny, bitmap}) DeleteFileA(made.c_str());
    RemoveDirectoryA(folder.c_str());

    std::printf("Wallpaper change of a 6000x4000 JPEG fitted to %dx%d, median of %d runs (ms)\n", kBenchScreen.width,
                kBenchScreen.height, runs);
    std::printf("%-40s %10s %10s\n", "stage", "smooth", "detailed");
    double m[kRows][2];
    for (int r = 0; r < kRows; ++r) {
        for (int p = 0; p < 2; ++p) m[r][p] = median(samples[r][p]);
        std::printf("%-40s %10.1f %10.1f\n", names[r], m[r][0], m[r][1]);
    }
    std::printf("\nthe whole change in process, median of the per-round ratios [lowest, highest]\n");
    auto ratio = [&](const char* what, std::vector<double>* ratios) {
        std::printf("%-40s", what);
        for (int p = 0; p < 2; ++p) {
            const auto [low, high] = std::minmax_element(ratios[p].begin(), ratios[p].end());
            std::printf("  %5.2f [%4.2f, %4.2f]", median(ratios[p]), *low, *high);
        }
        std::printf("\n");
    };
    ratio("to libjpeg at the same scale (goal 1.3)", toSame);
    ratio("to the floor", toFloor);
    return 0;
}
