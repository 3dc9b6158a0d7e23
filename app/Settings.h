#pragma once
// Every persistent setting, as held while the program runs: one slice per
// subsystem, each owned by its folder. Only SettingsStore maps them to the
// registry values.
#include <cstdint>

#include "base/DpiScale.h"

#include "changer/ChangerSettings.h"
#include "changer/ScheduleSettings.h"
#include "download/DownloadSettings.h"
#include "list/ListSettings.h"

namespace ostrel {

// The main window's saved size and the list's left edge. They are stored in
// designed units (96 DPI), so that a user who changes the display's scaling
// keeps the same window, and held in the window's pixels while it runs.
struct WindowSettings {
    std::int32_t windowWidth = 800;   // "wid"
    std::int32_t windowHeight = 472;  // "hei"
    std::int32_t listLeft = 311;      // "left"

    WindowSettings inPixels(DpiScale s) const { return {s(windowWidth), s(windowHeight), s(listLeft)}; }
    WindowSettings inDesignedUnits(DpiScale s) const {
        return {s.designed(windowWidth), s.designed(windowHeight), s.designed(listLeft)};
    }
};

struct Settings {
    ScheduleSettings schedule;
    ListSettings list;
    ChangerSettings changer;
    DownloadSettings download;
    WindowSettings window;
};

}  // namespace ostrel
