#pragma once
// A wallpaper change as the program makes it, whole and stage by stage, for the
// benchmarks of the host and of the Windows build.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "changer/WallpaperChanger.h"
#include "imaging/Image.h"
#include "list/WallpaperList.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"

namespace ostrel::bench {

// The screen the benchmarks fit to, unless given another.
inline constexpr ScreenSize kBenchScreen{1280, 1024};

// A fixed screen. The system's reload of the wallpaper is the desktop's work,
// not the program's; it happens only when a real desktop is given.
class BenchDesktop final : public Desktop {
public:
    explicit BenchDesktop(ScreenSize screen = kBenchScreen, Desktop* system = nullptr)
        : screen_(screen), system_(system) {}
    ScreenSize screenSize() const override { return screen_; }
    void reloadWallpaper(const std::string& path) override {
        ++reloads;
        if (system_) system_->reloadWallpaper(path);
    }
    bool activeDesktopPresent() const override { return false; }
    void notifyShellAssocChanged() override {}
    int reloads = 0;

private:
    ScreenSize screen_;
    Desktop* system_;
};

// SetWall of a one-entry list with fitting on, through the real changer.
class ChangeRig {
public:
    ChangeRig(FileSystem& files, Registry& registry, Desktop& desktop, std::string dataFolder);
    // True when the changer installed the file (and wrote the bitmap).
    bool install(const std::string& path);
    std::string bitmapPath() const { return changer_.wallpaperBitmapPath(); }
    // The screen the change fits to, which the other stages fit to as well.
    ScreenSize screen() const { return desktop_.screenSize(); }

private:
    struct QuietView final : ChangerView {
        void setPlayButtonPressed(bool) override {}
        void setShuffleButtonPressed(bool) override {}
        void showPlaceholderPreview() override { ++placeholders; }
        void listChanged() override {}
        int placeholders = 0;
    };
    struct FirstRandom final : Random {
        std::int32_t below(std::int32_t) override { return 0; }
    };
    struct CountingDialogs final : Dialogs {
        void message(const std::string&) override { ++messages; }
        std::string pathForMessage(const std::string& path) const override { return path; }
        bool askYesNo(const std::string&, const std::string&) override { return false; }
        std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }
        std::optional<std::string> openFile(const FileDialogRequest&) override { return std::nullopt; }
        int messages = 0;
    };

    const Desktop& desktop_;
    std::string dataFolder_;
    WallpaperList list_;
    Settings settings_;
    QuietView view_;
    FirstRandom random_;
    CountingDialogs dialogs_;
    WallpaperChanger changer_;
};

// The stages one at a time, each as the change does it.
// The file's existence and the kind probe.
bool checkStage(const FileSystem& files, const std::string& path);
// The whole file read through a stream in blocks of blockSize; answers the bytes read.
std::size_t readStage(const FileSystem& files, const std::string& path, std::size_t blockSize);
// The decode at the scale the fitted change picks, on this thread alone.
struct Decoded {
    ImageSize own;
    Image picture;
};
Decoded decodeStage(const FileSystem& files, const std::string& path, ScreenSize screen);
// The decoded picture brought to the fitted size.
Image fitStage(const Decoded& decoded, ScreenSize screen);
// Decode and fit together, as the change runs them.
Image loadStage(const FileSystem& files, const std::string& path, ScreenSize screen);
// The bitmap written to a temporary file and moved over the old one, each step
// timed; nullopt when a step failed.
struct WriteTimes {
    double open = 0, write = 0, commit = 0;
    double total() const { return open + write + commit; }
};
std::optional<WriteTimes> writeStage(FileSystem& files, const std::string& bitmapPath, const Image& picture);
// The preview of the selected row: the file brought to the frame, as the
// main window shows it.
inline constexpr ImageSize kBenchPreviewFrame{320, 240};
Image previewStage(const FileSystem& files, const std::string& path, ImageSize frame);
// The desktop's three registry values.
bool registryStage(Registry& registry, const std::string& bitmapPath);

// The yardsticks: libjpeg-turbo alone decoding the same file as the change
// decodes it and doing nothing else: read through the same stream in the same
// 64 KiB blocks, the accurate integer transform, the plain chroma upsampling of
// a reduced picture, B G R rows asked for 16 at a time. At the scale the
// change picks for the screen ("same scale"), or at 1/8, where libjpeg still
// entropy-decodes every coefficient (the floor of any change). Answers the
// decoded width, 0 when it failed.
int libjpegDecode(const FileSystem& files, const std::string& path, ScreenSize screen);
int libjpegFloor(const FileSystem& files, const std::string& path);

// The table both change benchmarks report: every stage on its own, the whole
// change in process, and the two libjpeg yardsticks.
enum Stage {
    Checks,
    Read,
    Decode,
    Fit,
    Load,
    Write,
    WriteOpen,
    WriteData,
    WriteCommit,
    RegistryValues,
    Change,
    ChangeTiny,
    LibjpegSame,
    LibjpegFloor,
    Preview,
    kStages
};
struct StageName {
    const char* key;  // a counter's name
    const char* description;
};
extern const StageName kStageNames[kStages];

// One round of every stage on path (tiny: a 64 x 48 JPEG), in milliseconds.
// The whole change and its two yardsticks run one after the other in an order
// that rotates with round, so that what slows the machine meanwhile slows all
// three; ok is false when a stage failed.
struct StageRound {
    double ms[kStages] = {};
    bool ok = true;
};
StageRound timeStages(FileSystem& files, Registry& registry, ChangeRig& rig, const std::string& path,
                      const std::string& tiny, int round);

// Milliseconds one call of f takes, by the wall clock.
template <typename F>
double millis(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

}  // namespace ostrel::bench
