#pragma once
// The settings under HKEY_CURRENT_USER\RZ, every value a REG_SZ.
#include <string>

#include "app/Settings.h"
#include "platform/Desktop.h"
#include "platform/Registry.h"

namespace ostrel {

inline constexpr const char* kSettingsKey = "RZ";

// The Personal shell folder + "\Ostrel Wallpapers", cut to 100 characters.
std::string readDataFolder(const Registry& registry);

class SettingsStore {
public:
    explicit SettingsStore(Registry& registry) : registry_(registry) {}

    // Opens the key, creating it when missing.
    bool open();

    // Reads every value in the program's fixed order. "shufle" and "playstat" come
    // back inverted; the start-up toggles flip them again. "downfoad" is left to
    // readDownloadFolder, which start-up calls later.
    Settings readAll(const std::string& dataFolder) const;
    void readDownloadFolder(Settings& settings, const std::string& dataFolder) const;

    // Writes all 25 values in table order; stops at the first failed write and
    // answers false. Window sizes above 0.9 of the screen are written as 800 / 472.
    [[nodiscard]] bool saveoptions(const Settings& settings, ScreenSize screen);

    // Removes the whole key (used when the program's files are removed).
    void deleteAll();

private:
    Registry& registry_;
};

// Decimal integer text as the settings store reads it: optional sign and digits,
// fitting 32 bits; nullopt for anything else, the empty text included.
std::optional<std::int32_t> parseSettingInteger(const std::string& text);

}  // namespace ostrel
