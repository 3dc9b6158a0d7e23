#include "download/LocalName.h"

#include <algorithm>
#include <array>

#include "changer/WallpaperChanger.h"
#include "download/CatalogueUrls.h"
#include "list/ListFile.h"
#include "platform/TemporaryFiles.h"

namespace ostrel {
namespace {

char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), asciiUpper);
    return result;
}

bool isDeviceName(std::string_view name) {
    const std::string stem = upper(name.substr(0, name.find('.')));
    static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

std::string localName(std::string_view serverPath, std::size_t n) {
    std::string name(serverPath);
    std::replace(name.begin(), name.end(), '/', '_');
    name.erase(0, std::min(n, name.size()));
    return name;
}

bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

bool safeLocalName(std::string_view name) {
    if (name.empty() || name.back() == ' ' || name.back() == '.') return false;  // also "." and ".."
    if (hasControlCharacter(name) || name.find_first_of("\\/:*?\"<>|") != std::string_view::npos) return false;
    for (std::size_t tilde = name.find('~'); tilde != std::string_view::npos; tilde = name.find('~', tilde + 1))
        if (tilde + 1 < name.size() && name[tilde + 1] >= '0' && name[tilde + 1] <= '9') return false;
    // The name of a transfer's temporary file would reach that file, and be
    // removed as a left-over at the next start.
    return !isDeviceName(name) && !isTemporaryName(name);
}

bool isProgramFileName(std::string_view name) {
    const std::string key = upper(name);
    return key == upper(kIndexName) || key == upper(kLoadedName) || key == upper(kDefaultListName) ||
           key == upper(kWallpaperBitmapName);
}

}  // namespace ostrel
