#pragma once
// The settings under HKEY_CURRENT_USER\RZ, every value a REG_SZ.
#include <string>

#include "app/Settings.h"
#include "base/FolderText.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"

namespace ostrel {

inline constexpr const char* kSettingsKey = "RZ";

// The Personal shell folder + "\Ostrel Wallpapers", whole: a cut name would
// be another folder (at worst one the download folder shares).
std::string readDataFolder(const Registry& registry);

class SettingsStore {
public:
    // files: to tell whether a stored folder is there (see readAll).
    SettingsStore(Registry& registry, const FileSystem& files) : registry_(registry), files_(files) {}

    // Opens the key, creating it when missing.
    bool open();

    // Reads every value in the program's fixed order. "shufle" and "playstat" come
    // back inverted; the start-up toggles flip them again. "downfoad" is left to
    // readDownloadFolder, which start-up calls later.
    // The stored folders ("lastopen", "lastsave", "downfoad") are at most 100
    // characters long. A longer one would have to be cut and would then name
    // another folder, so it counts as absent and takes its default, which is
    // derived from dataFolder and never cut; so does one of exactly 100 that is
    // not there (it may be such a cut, saved by an earlier version). A final
    // "\" does not count.
    Settings readAll(const std::string& dataFolder) const;
    void readDownloadFolder(Settings& settings, const std::string& dataFolder) const;

    // Writes all 25 values in table order; stops at the first failed write and
    // answers false. Window sizes above 0.9 of the screen are written as 800 / 472.
    [[nodiscard]] bool saveoptions(const Settings& settings, ScreenSize screen);

    // Removes the whole key (used when the program's files are removed).
    void deleteAll();

private:
    Registry& registry_;
    const FileSystem& files_;
};

// Decimal integer text as the settings store reads it: optional sign and digits,
// fitting 32 bits; nullopt for anything else, the empty text included.
std::optional<std::int32_t> parseSettingInteger(const std::string& text);

}  // namespace ostrel
