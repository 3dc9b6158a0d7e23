#include "download/LocalName.h"

#include <algorithm>
#include <array>

namespace ostrel {
namespace {

char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool isDeviceName(std::string_view name) {
    std::string stem(name.substr(0, name.find('.')));
    std::transform(stem.begin(), stem.end(), stem.begin(), asciiUpper);
    static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' &&
           stem[3] <= '9';
}

}  // namespace

std::string localName(std::string_view serverPath, std::size_t n) {
    std::string name(serverPath);
    std::replace(name.begin(), name.end(), '/', '_');
    name.erase(0, std::min(n, name.size()));
    return name;
}

bool safeLocalName(std::string_view name) {
    if (name.empty() || name.back() == ' ' || name.back() == '.') return false;  // also "." and ".."
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            return false;
    return !isDeviceName(name);
}

}  // namespace ostrel
