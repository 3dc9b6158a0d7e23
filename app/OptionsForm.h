#pragma once
// What the options dialog `TOptionsForm` shows: the state of every control
// that edits a setting, as the user left it. The dialog copies its controls
// into this before each handler and shows it again after.
#include <string>

namespace ostrel {

enum class OptionsPage { General = 0, Changing = 1, Internet = 2, Removal = 3 };

struct OptionsForm {
    OptionsPage page = OptionsPage::General;

    // "Общие"
    bool autorun = false;               // AutorunCheck
    bool autorunChangeAndExit = false;  // ChangeAndExitCheck
    bool autorunChangeAndExitEnabled = false;
    std::string scrollRows = "1";       // Edit_kolprokr
    bool viewKeepSize = true;           // KeepSizeRadio; FullScreenRadio is its opposite
    bool viewProportional = false;      // ProportionalRadio; StretchRadio ("Растянуть") is its opposite
    bool viewFitChoiceEnabled = false;  // ProportionalRadio and StretchRadio

    // "Смена"
    bool fixedMode = false;      // infixtime
    bool randomMode = false;     // inrandtime
    bool dailyMode = false;      // intime
    std::string interval = "5";  // Time
    int intervalUnitItem = 1;    // IntervalUnitCombo: "Сек.", "Мин.", "Час."
    std::string timeFrom;        // EditTimeFrom, minutes
    std::string timeTo;          // EditTimeTo, minutes
    int dailyHourItem = -1;      // DailyHourCombo: "0".."23"; -1 without a selection
    int dailyMinuteItem = -1;    // DailyMinuteCombo: "0", "10", ... "50"
    int placementItem = 0;  // PlacementCombo: "По центру", "Растянуть", "Пропорционально"
    bool shuffle = false;               // ShuffleCheck
    bool intervalFieldsEnabled = true;  // Time, IntervalUnitCombo
    bool rangeFieldsEnabled = true;     // EditTimeFrom, EditTimeTo
    bool dailyFieldsEnabled = true;     // DailyHourCombo, DailyMinuteCombo

    // "Интернет"
    bool useProxy = false;                  // Checkproxy
    std::string proxyHost = "192.168.0.2";  // editIp
    std::string proxyPort = "3128";         // Editport
    bool proxyFieldsEnabled = false;        // ProxyServerLabel, ProxyPortLabel, editIp, Editport
    std::string downloadFolder;             // DownloadFolderEdit
    bool addToList = false;                 // addInList
    bool autoDownload = false;              // AutoDownloadCheck
};

// The texts of the drop-down lists, in item order.
inline constexpr const char* kIntervalUnitItems[] = {"Сек.", "Мин.", "Час."};
inline constexpr const char* kDailyMinuteItems[] = {"0", "10", "20", "30", "40", "50"};
inline constexpr const char* kPlacementItems[] = {"По центру", "Растянуть", "Пропорционально"};
inline constexpr int kDailyHourItems = 24;  // "0" to "23"

// The text a drop-down list shows for an item; "" without a selection.
inline std::string dailyHourText(int item) { return item >= 0 && item < kDailyHourItems ? std::to_string(item) : ""; }
inline std::string dailyMinuteText(int item) { return item >= 0 && item < 6 ? kDailyMinuteItems[item] : ""; }

}  // namespace ostrel
