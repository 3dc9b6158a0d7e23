#include "list/ResolutionText.h"

#include "imaging/ImageProbe.h"

namespace ostrel {

std::string padResolution(const std::string& stat) {
    std::size_t x = stat.find('x');
    if (x == std::string::npos) return "   " + stat;
    std::size_t k = x + 1;  // counted from one
    std::size_t blanks = 3 + (k <= 5 ? 6 - k : 0);
    return std::string(blanks, ' ') + stat;
}

std::optional<std::string> resolutionText(const FileSystem& fs, const std::string& path) {
    std::string stat = GetStat(fs, path);
    // Whether the file is there is asked only when it gave no size, and a file
    // that is not there is not tried again: on a share that is off, every
    // try is a wait of its own.
    if (stat == "0x0" && !fs.fileExists(path)) return std::nullopt;
    // A file still being written (a download in progress) may read as 0x0 at first.
    for (int call = 2; call <= 3 && stat == "0x0"; ++call) stat = GetStat(fs, path);
    return padResolution(stat);
}

std::string screenResolutionText(int width, int height) {
    return padResolution(std::to_string(width) + "x" + std::to_string(height));
}

}  // namespace ostrel
