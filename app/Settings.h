#pragma once
// Every persistent setting, as held while the program runs: one slice per
// subsystem, each owned by its folder. Only SettingsStore maps them to the
// registry values.
#include <cstdint>

#include "changer/ChangerSettings.h"
#include "changer/ScheduleSettings.h"
#include "download/DownloadSettings.h"
#include "list/ListSettings.h"

namespace ostrel {

// The main window's saved size and the list's left edge.
struct WindowSettings {
    std::int32_t windowWidth = 800;   // "wid"
    std::int32_t windowHeight = 472;  // "hei"
    std::int32_t listLeft = 311;      // "left"
};

struct Settings {
    ScheduleSettings schedule;
    ListSettings list;
    ChangerSettings changer;
    DownloadSettings download;
    WindowSettings window;
};

}  // namespace ostrel
