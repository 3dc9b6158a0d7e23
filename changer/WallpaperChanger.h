#pragma once
// Installing a list entry as the wallpaper and stepping through the list:
// `SetWall`, `ChWall` (Next), `golast` (Back), Install the selected entry,
// the 50-slot history, the shuffle toggle and the Active Desktop check.
#include <cstdint>
#include <string>
#include <string_view>

#include "changer/ChangerSettings.h"
#include "list/ListSettings.h"
#include "changer/ChangeHistory.h"
#include "changer/ChangerView.h"
#include "list/WallpaperList.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Random.h"
#include "platform/Registry.h"

namespace ostrel {

// The bitmap a fitted or converted picture is installed from, in the data folder.
inline constexpr std::string_view kWallpaperBitmapName = "Ostrel Wallpaper.bmp";

struct ChangerServices {
    FileSystem& files;
    Registry& registry;
    Desktop& desktop;
    Random& random;
    Dialogs& dialogs;
};

class WallpaperChanger {
public:
    // The list, the settings and the data folder belong to the caller and
    // outlive the changer. The changer moves the list's current row (and
    // records its file) as it puts wallpapers up.
    WallpaperChanger(ChangerServices services, const WallpaperList& list, ListSettings& current,
                     ChangerSettings& settings, ChangerView& view, const std::string& dataFolder)
        : s_(services), list_(list), current_(current), settings_(settings), view_(view), dataFolder_(dataFolder) {}

    void ChWall();               // Next
    void golast();               // Back
    void installEntry(int row);  // Install the selected entry, row being the selection's top
    void SetWall();              // install the entry at currentIndex
    void AcTiveDescTop();
    void shufleBtnClick();

    const ChangeHistory& history() const { return history_; }
    void resetHistory() { history_ = ChangeHistory(); }
    bool activeDesktop() const { return activeDesktop_; }
    std::string wallpaperBitmapPath() const { return dataFolder_ + "\\" + std::string(kWallpaperBitmapName); }

private:
    bool tryInstallCurrent();
    bool stepBack();
    std::int32_t currentIndex() const { return current_.currentIndex; }
    void setCurrentIndex(std::int32_t row) { current_.currentIndex = row; }

    ChangerServices s_;
    const WallpaperList& list_;
    ListSettings& current_;
    ChangerSettings& settings_;
    ChangerView& view_;
    const std::string& dataFolder_;
    ChangeHistory history_;
    bool activeDesktop_ = false;
};

}  // namespace ostrel
