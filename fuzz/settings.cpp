// The settings read from the registry: whatever the values, what is read is
// usable (folders within their limit, a folder ending in "\", one character
// of placement), and settings read, saved and read again are the same.
#include <tuple>

#include "FuzzSupport.h"
#include "app/SettingsStore.h"
#include "fakes/FakeRegistry.h"

using namespace ostrel;

namespace {

const char* const kNames[] = {"shufle",         "prop",    "addvlist",  "playstat", "TimeInterval",
                              "secund",         "intime1", "intime2",   "TimeFrom", "TimeTo",
                              "selected",       "wid",     "hei",       "left",     "TimeRandom",
                              "loadnew",        "onload",  "onwinload", "InTimeCh", "kolprokr",
                              "PathToSelected", "where",   "lastopen",  "lastsave", "downfoad"};
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr ScreenSize kScreen{1280, 1024};

auto fieldsOf(const Settings& s) {
    return std::tie(s.changer.shuffle, s.download.addvlist, s.schedule.playing, s.changer.fitToScreen,
                    s.schedule.intervalValue, s.schedule.intervalUnit, s.list.currentIndex, s.list.kolprokr,
                    s.schedule.dailyHour, s.schedule.dailyMinute, s.window.windowWidth, s.window.windowHeight,
                    s.window.listLeft, s.schedule.timeFromMs, s.schedule.timeToMs, s.schedule.randomInterval,
                    s.download.loadnew, s.schedule.autorunChangeAndExit, s.schedule.autorunEnabled,
                    s.schedule.dailyMode, s.download.downfoad, s.changer.wallpaperStyle, s.list.lastopen,
                    s.list.currentPath, s.list.lastsave);
}

Settings readSettings(const Registry& registry, const FileSystem& files) {
    const std::string dataFolder = readDataFolder(registry);
    SettingsStore store(const_cast<Registry&>(registry), files);
    Settings s = store.readAll(dataFolder);
    store.readDownloadFolder(s, dataFolder);
    // Start-up's toggles turn the two inverted values back.
    s.changer.shuffle = !s.changer.shuffle;
    s.schedule.playing = !s.schedule.playing;
    return s;
}

// A final "\" does not count against the limit.
bool folderKept(const std::string& folder, const std::string& fallback) {
    return folder == fallback || folderTextLength(folder) <= kFolderTextLimit;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One value per name, cut at NUL bytes, the Personal folder first; a value
    // that starts with 0xFF, or one the input does not reach, is absent. An
    // odd first byte makes every stored folder exist.
    const std::vector<std::string> values = fuzz::fields(fuzz::bytesOf(data, size), '\0');
    testing::FakeRegistry registry;
    fuzz::MemoryFileSystem files;
    const auto present = [&](std::size_t i) { return i < values.size() && !values[i].starts_with('\xFF'); };
    if (present(0)) registry.set(RegistryRoot::CurrentUser, kShellFolders, "Personal", values[0]);
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
        if (!present(i + 1)) continue;
        registry.set(RegistryRoot::CurrentUser, kSettingsKey, kNames[i], values[i + 1]);
        if (size > 0 && data[0] % 2 == 1) files.folders.insert(values[i + 1]);
    }

    const Settings first = readSettings(registry, files);
    const std::string dataFolder = readDataFolder(registry);
    FUZZ_CHECK(first.changer.wallpaperStyle.size() == 1);
    FUZZ_CHECK(!first.download.downfoad.empty() && first.download.downfoad.back() == '\\');
    FUZZ_CHECK(folderKept(first.list.lastopen, dataFolder));
    FUZZ_CHECK(folderKept(first.list.lastsave, dataFolder));
    FUZZ_CHECK(folderKept(first.download.downfoad, dataFolder + "\\walls\\"));

    // Saved as the program saves them (a window too large for the screen
    // is saved at its default size), then read again at the next start.
    Settings saved = first;
    if (10 * static_cast<std::int64_t>(saved.window.windowWidth) > 9 * kScreen.width) saved.window.windowWidth = 800;
    if (10 * static_cast<std::int64_t>(saved.window.windowHeight) > 9 * kScreen.height) saved.window.windowHeight = 472;
    testing::FakeRegistry next;
    if (present(0)) next.set(RegistryRoot::CurrentUser, kShellFolders, "Personal", values[0]);
    SettingsStore store(next, files);
    FUZZ_CHECK(store.open());
    FUZZ_CHECK(store.saveoptions(first, kScreen));
    FUZZ_CHECK(fieldsOf(readSettings(next, files)) == fieldsOf(saved));
    return 0;
}
