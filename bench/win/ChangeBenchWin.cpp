// The wallpaper change on the target, stage by stage and whole, next to
// libjpeg-turbo's djpeg -scale 3/8 of the same file run the same way; and the
// preview of the row next to djpeg -scale 1/8.
//   change_bench.exe [runs] [djpeg.exe]     the report
//   change_bench.exe --install file folder  one change, for timing as a process
// Under Wine, with libjpeg-turbo's djpeg.exe copied next to it:
//   WINEPREFIX=<a copy of the prepared prefix> xvfb-run -a wine change_bench.exe 9 djpeg.exe
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
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::string djpeg = argc > 2 ? argv[2] : "djpeg.exe";

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
        Djpeg,
        DjpegTiny,
        Preview,
        Djpeg18,
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
                                      "djpeg -scale 3/8 as a process",
                                      "djpeg -scale 3/8, 64x48",
                                      "preview in a 320x240 frame",
                                      "djpeg -scale 1/8 as a process"};
    std::vector<double> samples[kRows][2];  // smooth, detailed

    const std::string self = quoted(ownPath());
    const std::string ppm = folder + "\\djpeg.ppm";
    // The output goes to a new file each time: truncating the last run's
    // output would make this run wait for that one's data to reach the disk.
    auto djpegMillis = [&](const char* scale, const std::string& in) {
        DeleteFileA(ppm.c_str());
        return processMillis(quoted(djpeg) + " -scale " + scale + " -outfile " + quoted(ppm) + " " + quoted(in));
    };
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
            add(Change, millis([&] { ok = ok && rig.install(path); }));
            add(ChangeTiny, millis([&] { ok = ok && rig.install(tiny); }));
            add(Reload, millis([&] { system.reloadWallpaper(bitmap); }));
            add(ChangeProc, processMillis(self + " --install " + quoted(path) + " " + quoted(folder)));
            add(ChangeProcTiny, processMillis(self + " --install " + quoted(tiny) + " " + quoted(folder)));
            add(Djpeg, djpegMillis("3/8", path));
            add(DjpegTiny, djpegMillis("3/8", tiny));
            add(Preview, millis([&] { ok = ok && previewStage(files, path, kBenchPreviewFrame).width > 0; }));
            add(Djpeg18, djpegMillis("1/8", path));
            if (!ok) {
                std::fprintf(stderr, "a stage failed on %s\n", path.c_str());
                return 1;
            }
        }
    }

    for (const std::string& made : {pictures[0], pictures[1], tiny, ppm, bitmap}) DeleteFileA(made.c_str());
    RemoveDirectoryA(folder.c_str());

    std::printf("Wallpaper change of a 6000x4000 JPEG fitted to %dx%d, median of %d runs (ms)\n", kBenchScreen.width,
                kBenchScreen.height, runs);
    std::printf("%-40s %10s %10s\n", "stage", "smooth", "detailed");
    double m[kRows][2];
    for (int r = 0; r < kRows; ++r) {
        for (int p = 0; p < 2; ++p) m[r][p] = median(samples[r][p]);
        std::printf("%-40s %10.1f %10.1f\n", names[r], m[r][0], m[r][1]);
    }
    std::printf("\nratios to djpeg -scale 3/8 (goal: at most 1.3)\n");
    auto ratio = [&](const char* what, auto f) { std::printf("%-40s %10.2f %10.2f\n", what, f(0), f(1)); };
    ratio("in process / djpeg net of start", [&](int p) { return m[Change][p] / (m[Djpeg][p] - m[DjpegTiny][p]); });
    ratio("process net / djpeg net (big - 64x48)",
          [&](int p) { return (m[ChangeProc][p] - m[ChangeProcTiny][p]) / (m[Djpeg][p] - m[DjpegTiny][p]); });
    ratio("process / djpeg, whole processes", [&](int p) { return m[ChangeProc][p] / m[Djpeg][p]; });
    ratio("preview / djpeg -scale 1/8 net", [&](int p) { return m[Preview][p] / (m[Djpeg18][p] - m[DjpegTiny][p]); });
    return 0;
}
