#pragma once
// The list's saved settings.
#include <cstdint>
#include <string>

namespace ostrel {

struct ListSettings {
    std::int32_t currentIndex = 0;  // "selected": the row of the wallpaper put up last
    std::string currentPath;        // "PathToSelected": that wallpaper's file
    std::uint8_t kolprokr = 1;      // "kolprokr": rows the wheel moves per step
    std::string lastopen;           // "lastopen": the folder chooser's last folder
    std::string lastsave;           // "lastsave": the last list file saved or opened
};

}  // namespace ostrel
