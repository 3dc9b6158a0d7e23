#include "changer/WallpaperChanger.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "changer/FitToScreen.h"
#include "imaging/BmpCodec.h"

namespace ostrel {
namespace {

constexpr const char* kDesktopKey = "Control Panel\\desktop";

// The wallpaper bitmap, written as the picture's rows are made: no copy of the
// fitted picture is kept. Its temporary file is made once the picture's size
// is known, and goes unless commit() moves it over the bitmap. A write that
// fails takes the remaining rows quietly, so that a picture that cannot be
// decoded is still told from a bitmap that cannot be written.
class BitmapRows final : public PictureRows {
public:
    BitmapRows(FileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}
    void begin(ImageSize size) override {
        out_ = files_.openReplace(path_);
        if (out_) writer_.emplace(*out_, size);
    }
    // While a second thread decodes, the bitmap goes on to the disk in
    // quarters, so that the flush before it replaces the old one has little
    // left to do. A few parts only: on Windows each flush also empties the
    // drive's own cache.
    void beginAlongside(ImageSize size) override {
        begin(size);
        rowsPerFlush_ = std::max(1, (size.height + kParts - 1) / kParts);
        height_ = size.height;
    }
    void row(const std::uint8_t* bgr) override {
        if (!writer_) return;
        writer_->row(bgr);
        // The last part is flushed by the commit.
        if (rowsPerFlush_ > 0 && ++rows_ % rowsPerFlush_ == 0 && rows_ < height_ && !out_->flushWritten())
            writer_.reset();
    }
    [[nodiscard]] bool commit() { return writer_ && writer_->finish() && out_->commit(); }

private:
    FileSystem& files_;
    std::string path_;
    std::unique_ptr<WriteStream> out_;
    std::optional<BmpRowWriter> writer_;
    static constexpr int kParts = 4;
    int rowsPerFlush_ = 0;  // 0: one flush, at commit
    int height_ = 0;
    int rows_ = 0;
};

}  // namespace

void WallpaperChanger::ChWall() {
    int count = list_.entryCount();
    if (count <= 0) return;
    if (currentIndex() <= 0 || currentIndex() > count) setCurrentIndex(1);
    history_.push(currentIndex());
    if (settings_.shuffle) {
        if (count >= 2) {
            std::int32_t next;
            do {
                next = 1 + s_.random.below(count);
            } while (next == currentIndex());
            setCurrentIndex(next);
        } else {
            setCurrentIndex(1);
        }
        SetWall();
    } else {
        setCurrentIndex(currentIndex() + 1 > count ? 1 : currentIndex() + 1);
        // An entry with an empty path installs nothing; the next step moves on from it.
        if (!list_.path(currentIndex()).empty()) SetWall();
    }
}

bool WallpaperChanger::stepBack() {
    int q = history_.previousSlot();
    if (history_.slot(q) == 0) return false;
    history_.setPosition(q);
    setCurrentIndex(history_.slot(q));
    return true;
}

void WallpaperChanger::golast() {
    if (stepBack()) SetWall();
}

void WallpaperChanger::installEntry(int row) {
    if (list_.path(row).empty()) return;
    history_.push(currentIndex());
    setCurrentIndex(row);
    SetWall();
}

void WallpaperChanger::SetWall() {
    // An unusable entry falls back to the one before it in the history. One turn
    // of the ring at most: a history full of unusable entries must not loop forever.
    for (int fallbacks = 0;; ++fallbacks) {
        if (tryInstallCurrent()) break;
        view_.showPlaceholderPreview();
        if (fallbacks >= ChangeHistory::kSlots || !stepBack()) break;
    }
    view_.listChanged();
}

// True when the entry was installed, or when an error was shown that must not
// lead on to the history; false when its file is missing or cannot be decoded.
bool WallpaperChanger::tryInstallCurrent() {
    const std::string path = list_.path(currentIndex());
    if (path.empty() || !s_.files.fileExists(path)) return false;
    current_.currentPath = path;
    const std::string bitmapPath = wallpaperBitmapPath();
    BitmapRows bitmap(s_.files, bitmapPath);
    if (!loadWallpaperRows(s_.files, path, settings_.fitToScreen, s_.desktop.screenSize(), bitmap)) return false;
    if (!bitmap.commit()) {
        s_.dialogs.message("Не удалось записать файл обоев.");
        return true;
    }
    if (!s_.registry.writeString(RegistryRoot::CurrentUser, kDesktopKey, "Wallpaper", bitmapPath) ||
        !s_.registry.writeString(RegistryRoot::CurrentUser, kDesktopKey, "TileWallpaper", "0") ||
        !s_.registry.writeString(RegistryRoot::CurrentUser, kDesktopKey, "WallpaperStyle", settings_.wallpaperStyle)) {
        s_.dialogs.message("Не удалось записать параметры рабочего стола в реестр.");
        return true;
    }
    s_.desktop.reloadWallpaper(bitmapPath);
    if (activeDesktop_) AcTiveDescTop();
    return true;
}

void WallpaperChanger::AcTiveDescTop() {
    activeDesktop_ = s_.desktop.activeDesktopPresent();
    if (activeDesktop_) s_.desktop.notifyShellAssocChanged();
}

void WallpaperChanger::shufleBtnClick() {
    settings_.shuffle = !settings_.shuffle;
    view_.setShuffleButtonPressed(settings_.shuffle);
}

}  // namespace ostrel
