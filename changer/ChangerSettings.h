#pragma once
// How the changer makes the wallpaper: saved settings.
#include <string>

namespace ostrel {

struct ChangerSettings {
    bool shuffle = false;              // "shufle"
    bool fitToScreen = false;          // "prop"
    std::string wallpaperStyle = "2";  // "where", one character
};

}  // namespace ostrel
