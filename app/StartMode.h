#pragma once
// The two start modes carried by the raw command line.
#include <string_view>

namespace ostrel {

struct StartMode {
    bool hiddenStart = false;    // last character "-": tray only
    bool changeAndExit = false;  // third character from the end "-": change and end
};

inline StartMode parseCommandLine(std::string_view raw) {
    StartMode mode;
    mode.hiddenStart = !raw.empty() && raw.back() == '-';
    mode.changeAndExit = raw.size() >= 3 && raw[raw.size() - 3] == '-';
    return mode;
}

}  // namespace ostrel
