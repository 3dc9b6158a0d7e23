#include "app/SettingsStore.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

#include "base/ProgramName.h"

namespace ostrel {
namespace {

constexpr RegistryRoot kRoot = RegistryRoot::CurrentUser;
constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string boolText(bool value) { return value ? "1" : "0"; }

// Integers and booleans: the default when the value is absent, the fallback when
// it is present but not a number.
class ValueReader {
public:
    ValueReader(const Registry& registry, const FileSystem& files) : registry_(registry), files_(files) {}

    std::optional<std::string> text(const char* name) const { return registry_.readString(kRoot, kSettingsKey, name); }
    std::int32_t integer(const char* name, std::int32_t absent, std::int32_t invalid) const {
        std::optional<std::string> stored = text(name);
        if (!stored) return absent;
        return parseSettingInteger(*stored).value_or(invalid);
    }
    // Only the low eight bits are kept, as the byte fields always did.
    std::uint8_t byte(const char* name, std::int32_t absent, std::int32_t invalid) const {
        return static_cast<std::uint8_t>(integer(name, absent, invalid));
    }
    bool boolean(const char* name, bool absent, bool invalid) const {
        return integer(name, absent ? 1 : 0, invalid ? 1 : 0) != 0;
    }
    // A folder text, or for "lastsave" a list file's path, kept to the limit.
    std::string folder(const char* name, const std::string& absent) const {
        std::optional<std::string> stored = text(name);
        if (!stored || folderTextLength(*stored) > kFolderTextLimit) return absent;
        if (folderTextLength(*stored) == kFolderTextLimit && !folderExists(files_, *stored) &&
            !files_.fileExists(*stored))
            return absent;
        return *stored;
    }

private:
    const Registry& registry_;
    const FileSystem& files_;
};

}  // namespace

std::optional<std::int32_t> parseSettingInteger(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;

    // Accumulated as a magnitude in 64 bits; the limit lets "-2147483648" through.
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::string readDataFolder(const Registry& registry) {
    // Without a Personal folder the base is empty and the same rule applies: the
    // data folder becomes "\Ostrel Wallpapers" at the root of the current drive,
    // a usable folder rather than a refusal to start.
    std::string base = registry.readString(kRoot, kShellFoldersKey, "Personal").value_or(std::string());
    return base + "\\" + kProgramTitle;
}

bool SettingsStore::open() { return registry_.createKey(kRoot, kSettingsKey); }

Settings SettingsStore::readAll(const std::string& dataFolder) const {
    const ValueReader read(registry_, files_);
    Settings s;
    // "shufle" and "playstat" are held inverted here: start-up runs the toggle
    // commands once, which flip them back and update the buttons with them.
    s.changer.shuffle = !read.boolean("shufle", false, false);
    s.changer.fitToScreen = read.boolean("prop", false, false);
    s.download.addvlist = read.boolean("addvlist", true, false);
    s.schedule.playing = !read.boolean("playstat", false, false);
    s.schedule.intervalValue = read.integer("TimeInterval", 5, 1);
    s.schedule.intervalUnit = read.integer("secund", 2, 1);
    s.schedule.dailyHour = read.byte("intime1", 1, 1);
    s.schedule.dailyMinute = read.byte("intime2", 1, 1);
    s.schedule.timeFromMs = read.integer("TimeFrom", 60000, 1);
    s.schedule.timeToMs = read.integer("TimeTo", 3600000, 1);
    s.list.currentIndex = read.integer("selected", 0, 1);
    s.window.windowWidth = read.integer("wid", 800, 1);
    s.window.windowHeight = read.integer("hei", 472, 1);
    s.window.listLeft = read.integer("left", 311, 1);
    s.schedule.randomInterval = read.boolean("TimeRandom", false, true);
    s.download.loadnew = read.boolean("loadnew", false, true);
    s.schedule.autorunChangeAndExit = read.boolean("onload", false, true);
    s.schedule.autorunEnabled = read.boolean("onwinload", false, true);
    s.schedule.dailyMode = read.boolean("InTimeCh", false, true);
    s.list.kolprokr = read.byte("kolprokr", 1, 1);
    s.list.currentPath = read.text("PathToSelected").value_or(std::string());

    // The style is a single digit. An empty stored text would leave no style at
    // all, so it reads as the default "2" (stretched) instead.
    std::optional<std::string> where = read.text("where");
    s.changer.wallpaperStyle = where && !where->empty() ? where->substr(0, 1) : std::string("2");

    s.list.lastopen = read.folder("lastopen", dataFolder);
    s.list.lastsave = read.folder("lastsave", dataFolder);
    return s;
}

void SettingsStore::readDownloadFolder(Settings& settings, const std::string& dataFolder) const {
    const ValueReader read(registry_, files_);
    settings.download.downfoad = withTrailingBackslash(read.folder("downfoad", dataFolder + "\\walls"));
}

bool SettingsStore::saveoptions(const Settings& s, ScreenSize screen) {
    // A window wider or taller than 0.9 of the screen is not restored as is:
    // the next start would put it partly off-screen on a smaller display.
    auto fitted = [](std::int32_t size, int screenSize, int fallback) {
        return 10 * static_cast<std::int64_t>(size) > 9 * static_cast<std::int64_t>(screenSize) ? fallback : size;
    };
    const std::pair<const char*, std::string> values[] = {
        {"shufle", boolText(s.changer.shuffle)},
        {"addvlist", boolText(s.download.addvlist)},
        {"playstat", boolText(s.schedule.playing)},
        {"prop", boolText(s.changer.fitToScreen)},
        {"TimeInterval", std::to_string(s.schedule.intervalValue)},
        {"secund", std::to_string(s.schedule.intervalUnit)},
        {"selected", std::to_string(s.list.currentIndex)},
        {"kolprokr", std::to_string(s.list.kolprokr)},
        {"intime1", std::to_string(s.schedule.dailyHour)},
        {"intime2", std::to_string(s.schedule.dailyMinute)},
        {"wid", std::to_string(fitted(s.window.windowWidth, screen.width, 800))},
        {"hei", std::to_string(fitted(s.window.windowHeight, screen.height, 472))},
        {"left", std::to_string(s.window.listLeft)},
        {"TimeFrom", std::to_string(s.schedule.timeFromMs)},
        {"TimeTo", std::to_string(s.schedule.timeToMs)},
        {"TimeRandom", boolText(s.schedule.randomInterval)},
        {"loadnew", boolText(s.download.loadnew)},
        {"onload", boolText(s.schedule.autorunChangeAndExit)},
        {"onwinload", boolText(s.schedule.autorunEnabled)},
        {"InTimeCh", boolText(s.schedule.dailyMode)},
        {"downfoad", s.download.downfoad},
        {"where", s.changer.wallpaperStyle},
        {"lastopen", s.list.lastopen},
        {"PathToSelected", s.list.currentPath},
        {"lastsave", s.list.lastsave},
    };
    for (const auto& [name, value] : values)
        if (!registry_.writeString(kRoot, kSettingsKey, name, value)) return false;
    return true;
}

void SettingsStore::deleteAll() { registry_.deleteKey(kRoot, kSettingsKey); }

}  // namespace ostrel
