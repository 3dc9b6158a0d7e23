// The wallpaper change on the target, stage by stage and whole, measured
// against libjpeg-turbo decoding the same bytes in this same process: at the
// scale the change picks for the screen, and the floor (the file read and a
// 1/8 decode, which still entropy-decodes every coefficient), interleaved
// round by round (see timeStages); the report gives the median of the
// per-round ratios.
//   change_bench.exe [--screen WxH] [rounds]          the report, fitting to a
//                                                      screen of W x H (1280x1024)
//   change_bench.exe --install file folder WxH         one change, for timing as a process
// Under Wine:
//   WINEPREFIX=<a copy of the prepared prefix> xvfb-run -a wine change_bench.exe 15
//   WINEPREFIX=... xvfb-run -a wine change_bench.exe --screen 3840x2160 15
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
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

// "WxH", each side 1 to 65535 pixels.
std::optional<ScreenSize> screenOf(const std::string& text) {
    int width = 0, height = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &end) != 2 || width < 1 || height < 1 || width > 65535 ||
        height > 65535)
        return std::nullopt;
    return ScreenSize{width, height};
}

std::string textOf(ScreenSize screen) {
    std::string text = std::to_string(screen.width);
    text += 'x';
    text += std::to_string(screen.height);
    return text;
}

int installOnce(const std::string& path, const std::string& folder, ScreenSize screen) {
    win32::Win32FileSystem files;
    win32::Win32Registry registry;
    BenchDesktop desktop(screen);
    ChangeRig rig(files, registry, desktop, folder);
    return rig.install(path) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--install") {
        const std::optional<ScreenSize> screen = screenOf(argv[4]);
        return screen ? installOnce(argv[2], argv[3], *screen) : 2;
    }
    ScreenSize screen = kBenchScreen;
    int next = 1;
    if (argc > 2 && std::string(argv[1]) == "--screen") {
        const std::optional<ScreenSize> given = screenOf(argv[2]);
        if (!given) {
            std::fprintf(stderr, "usage: change_bench.exe [--screen WxH] [rounds]\n");
            return 2;
        }
        screen = *given;
        next = 3;
    }
    const int runs = argc > next ? std::max(1, std::atoi(argv[next])) : 15;

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
    BenchDesktop desktop(screen);
    ChangeRig rig(files, registry, desktop, folder);
    const std::string bitmap = rig.bitmapPath();

    // Rows of the target's own beside the shared table.
    enum { Read1M, Reload, ChangeProc, ChangeProcTiny };
    constexpr int kOwnRows = 4;
    const char* const ownNames[kOwnRows] = {"read, 1 MiB blocks", "system wallpaper reload (not ours)",
                                            "change as a process", "change as a process, 64x48"};
    std::vector<double> samples[kStages][2], own[kOwnRows][2];  // smooth, detailed
    std::vector<double> toSame[2], toFloor[2];                  // per-round ratios of the whole change

    const std::string self = quoted(ownPath());
    std::string screenArgument(1, ' ');
    screenArgument += textOf(screen);
    for (int run = 0; run < runs; ++run) {
        for (int p = 0; p < 2; ++p) {
            const std::string& path = pictures[p];
            const StageRound round = timeStages(files, registry, rig, path, tiny, run);
            bool ok = round.ok;
            for (int s = 0; s < kStages; ++s) samples[s][p].push_back(round.ms[s]);
            toSame[p].push_back(round.ms[Change] / round.ms[LibjpegSame]);
            toFloor[p].push_back(round.ms[Change] / round.ms[LibjpegFloor]);
            own[Read1M][p].push_back(millis([&] { ok = ok && readStage(files, path, 1024 * 1024) > 0; }));
            own[Reload][p].push_back(millis([&] { system.reloadWallpaper(bitmap); }));
            own[ChangeProc][p].push_back(
                processMillis(self + " --install " + quoted(path) + " " + quoted(folder) + screenArgument));
            own[ChangeProcTiny][p].push_back(
                processMillis(self + " --install " + quoted(tiny) + " " + quoted(folder) + screenArgument));
            if (!ok) {
                std::fprintf(stderr, "a stage failed on %s\n", path.c_str());
                return 1;
            }
        }
    }

    for (const std::string& made : {pictures[0], pictures[1], tiny, bitmap}) DeleteFileA(made.c_str());
    RemoveDirectoryA(folder.c_str());

    std::printf("Wallpaper change of a 6000x4000 JPEG fitted to %dx%d, median of %d runs (ms)\n", screen.width,
                screen.height, runs);
    std::printf("%-40s %10s %10s\n", "stage", "smooth", "detailed");
    auto row = [](const char* name, std::vector<double>* v) {
        std::printf("%-40s %10.1f %10.1f\n", name, median(v[0]), median(v[1]));
    };
    for (int s = 0; s < kStages; ++s) row(kStageNames[s].description, samples[s]);
    for (int r = 0; r < kOwnRows; ++r) row(ownNames[r], own[r]);
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
