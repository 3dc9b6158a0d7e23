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

// The part of a window's outer size that is its frame, caption and menu bar.
struct FrameSize {
    int width = 0, height = 0;
};

// The main window's saved size and the list's left edge. They are stored in
// designed units (96 DPI), so that a user who changes the display's scaling
// keeps the same window, and held in the window's pixels while it runs. The
// size is the outer one, but only its client area is designed: the frame is
// the system's at either DPI, so that the client area scales exactly.
struct WindowSettings {
    std::int32_t windowWidth = 800;   // "wid"
    std::int32_t windowHeight = 472;  // "hei"
    std::int32_t listLeft = 311;      // "left"

    // designedFrame is the frame at 96 DPI, frame the one at the scale's DPI.
    WindowSettings inPixels(DpiScale s, FrameSize designedFrame, FrameSize frame) const {
        return {s(windowWidth - designedFrame.width) + frame.width,
                s(windowHeight - designedFrame.height) + frame.height, s(listLeft)};
    }
    WindowSettings inDesignedUnits(DpiScale s, FrameSize designedFrame, FrameSize frame) const {
        return {s.designed(windowWidth - frame.width) + designedFrame.width,
                s.designed(windowHeight - frame.height) + designedFrame.height, s.designed(listLeft)};
    }
    // The smallest outer size the window can be dragged to, held like "wid"
    // and "hei": only its client part scales, so a window of the default
    // height is never made taller by it at any scaling.
    static WindowSettings smallest(DpiScale s, FrameSize designedFrame, FrameSize frame) {
        return WindowSettings{515, 472, 0}.inPixels(s, designedFrame, frame);
    }
    friend bool operator==(const WindowSettings&, const WindowSettings&) = default;
};

struct Settings {
    ScheduleSettings schedule;
    ListSettings list;
    ChangerSettings changer;
    DownloadSettings download;
    WindowSettings window;
};

}  // namespace ostrel
