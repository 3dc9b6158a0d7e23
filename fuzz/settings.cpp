// The settings read from the registry: whatever the values, what is read is
// usable (folders within their limit, a folder ending in "\", one character
// of placement), and settings read, saved and read again are the same.
#include <tuple>

#include "FuzzSupport.h"
#include "app/SettingsStore.h"
#include "fakes/FakeRegistry.h"

using namespace ostrel;

namespace {

const char* const kNames[] = {"shufle",   "prop",     "addvlist",   "playstat", "TimeInterval", "secund",
                              "intime1",  "intime2",  "TimeFrom",   "TimeTo",   "selected",     "wid",
                              "hei",      "left",     "TimeRandom", "loadnew",  "onload",       "onwinload",
                              "InTimeCh", "kolprokr", "PathToSelected", "where", "lastopen",    "lastsave",
                              "downfoad"};
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr ScreenSize kScreen{1280, 1024};

auto fieldsOf(const Settings& s) {
    return std::tie(s.shuffle, s.addvlist, s.playing, s.fitToScreen, s.intervalValue, s.intervalUnit, s.currentIndex,
                    s.kolprokr, s.dailyHour, s.dailyMinute, s.windowWidth, s.windowHeight, s.listLeft, s.timeFromMs,
                    s.timeToMs, s.randomInterval, s.loadnew, s.autorunChangeAndExit, s.autorunEnabled, s.dailyMode,
                    s.downfoad, s.wallpaperStyle, s.lastopen, s.currentPath, s.lastsave);
}

Settings readSettings(const Registry& registry, const FileSystem& files) {
    const std::string dataFolder = readDataFolder(registry);
    SettingsStore store(const_cast<Registry&>(registry), files);
    Settings s = store.readAll(dataFolder);
    store.readDownloadFolder(s, dataFolder);
    // Start-up's toggles turn the two inverted values back.
    s.shuffle = !s.shuffle;
    s.playing = !s.playing;
    return s;
}

bool folderKept(const std::string& folder, const std::string& fallback, std::size_t limit) {
    return folder == fallback || folder.size() <= limit;
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
    FUZZ_CHECK(first.wallpaperStyle.size() == 1);
    FUZZ_CHECK(!first.downfoad.empty() && first.downfoad.back() == '\\');
    FUZZ_CHECK(folderKept(first.lastopen, dataFolder, kFolderTextLimit));
    FUZZ_CHECK(folderKept(first.lastsave, dataFolder, kFolderTextLimit));
    FUZZ_CHECK(folderKept(first.downfoad, dataFolder + "\\walls\\", kFolderTextLimit + 1));  // its "\" not counted

    // Saved as the program saves them (a window too large for the screen
    // is saved at its default size), then read again at the next start.
    Settings saved = first;
    if (10 * static_cast<std::int64_t>(saved.windowWidth) > 9 * kScreen.width) saved.windowWidth = 800;
    if (10 * static_cast<std::int64_t>(saved.windowHeight) > 9 * kScreen.height) saved.windowHeight = 472;
    testing::FakeRegistry next;
    if (present(0)) next.set(RegistryRoot::CurrentUser, kShellFolders, "Personal", values[0]);
    SettingsStore store(next, files);
    FUZZ_CHECK(store.open());
    FUZZ_CHECK(store.saveoptions(first, kScreen));
    FUZZ_CHECK(fieldsOf(readSettings(next, files)) == fieldsOf(saved));
    return 0;
}
