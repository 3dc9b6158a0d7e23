#include "app/OptionsController.h"

#include <algorithm>
#include <stdexcept>

#include "app/Autorun.h"
#include "base/Rounding.h"
#include "app/SettingsStore.h"

namespace ostrel {
namespace {

// A field read as a number held something else. It stops the confirmation
// or the apply at the step that read it, like any failed conversion.
struct NotANumber : std::runtime_error {
    NotANumber(const std::string& text, const std::string& field)
        : std::runtime_error("«" + text + "» не является числом (поле «" + field + "»).") {}
};

std::int32_t number(const std::string& text, const std::string& field) {
    if (auto value = parseSettingInteger(text)) return *value;
    throw NotANumber(text, field);
}

// "0" (or "00"…), the empty text and a number below 1 (pasted: the key filter
// sees typed keys only) read as no interval at all.
bool belowOne(const std::string& text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return c == '0'; })) return true;
    const auto value = parseSettingInteger(text);
    return value && *value < 1;
}

std::int32_t minutesToMs(std::int32_t minutes) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{minutes} * 60000, 0, INT32_MAX));
}

// A radio button checked by the program unchecks the others of its group;
// unchecked, it leaves them alone.
void checkMode(OptionsForm& f, bool OptionsForm::*mode, bool checked) {
    if (checked) f.fixedMode = f.randomMode = f.dailyMode = false;
    f.*mode = checked;
}

}  // namespace

void OptionsController::option(OptionsPage page) {
    OptionsForm& f = form_;
    f.page = page;
    f.interval = std::to_string(settings_.schedule.intervalValue);
    f.autorunChangeAndExit = settings_.schedule.autorunChangeAndExit;
    f.autorun = settings_.schedule.autorunEnabled;
    f.autorunChangeAndExitEnabled = settings_.schedule.autorunEnabled;
    f.addToList = settings_.download.addvlist;
    f.scrollRows = std::to_string(settings_.list.kolprokr);
    f.downloadFolder = settings_.download.downfoad;
    f.placementItem = settings_.changer.wallpaperStyle == "0" ? 0 : 1;
    if (settings_.changer.fitToScreen) f.placementItem = 2;
    if (settings_.schedule.intervalUnit >= 1 && settings_.schedule.intervalUnit <= 3)
        f.intervalUnitItem = settings_.schedule.intervalUnit - 1;
    f.shuffle = settings_.changer.shuffle;
    checkMode(f, &OptionsForm::dailyMode, settings_.schedule.dailyMode);
    f.dailyHourItem = settings_.schedule.dailyHour < kDailyHourItems ? settings_.schedule.dailyHour : -1;
    const auto minuteItem = roundHalfEven(settings_.schedule.dailyMinute, 10);
    f.dailyMinuteItem = minuteItem < 6 ? static_cast<int>(minuteItem) : -1;
    checkMode(f, &OptionsForm::randomMode,
              settings_.schedule.randomInterval);  // the random mode wins over the daily one
    f.timeFrom = std::to_string(roundHalfEven(settings_.schedule.timeFromMs, 60000));
    f.timeTo = std::to_string(roundHalfEven(settings_.schedule.timeToMs, 60000));
    f.autoDownload = settings_.download.loadnew;
    if (!settings_.schedule.dailyMode && !settings_.schedule.randomInterval)
        checkMode(f, &OptionsForm::fixedMode, true);
    view_.showOptions(f);
}

void OptionsController::applyModeRule() {
    OptionsForm& f = form_;
    // In the order intime, infixtime, inrandtime, each rule for its button when checked.
    if (f.dailyMode) f.dailyFieldsEnabled = true, f.intervalFieldsEnabled = f.rangeFieldsEnabled = false;
    if (f.fixedMode) f.intervalFieldsEnabled = true, f.dailyFieldsEnabled = f.rangeFieldsEnabled = false;
    if (f.randomMode) f.rangeFieldsEnabled = true, f.intervalFieldsEnabled = f.dailyFieldsEnabled = false;
}

void OptionsController::FormActivate() {
    applyModeRule();
    form_.autorunChangeAndExitEnabled = form_.autorun;
    show();
}

void OptionsController::onModeClicked() {
    applyModeRule();
    show();
}

void OptionsController::onAutorunClicked() {
    form_.autorunChangeAndExitEnabled = form_.autorun;
    show();
}

void OptionsController::onViewModeClicked() {
    form_.viewFitChoiceEnabled = !form_.viewKeepSize;
    show();
}

void OptionsController::onProxyChanged() {
    form_.proxyFieldsEnabled = form_.useProxy;
    s_.proxy.set(form_.useProxy ? std::optional(form_.proxyHost + ":" + form_.proxyPort) : std::nullopt);
    show();
}

bool OptionsController::confirm() {
    OptionsForm& f = form_;
    try {
        if (belowOne(f.interval)) {
            f.interval = std::string("1");  // (a new string: gcc 12 warns falsely on assigning a literal)
            show();
            return false;
        }
        if (f.randomMode) {
            const auto from = number(f.timeFrom, "от");
            if (number(f.timeTo, "до") <= from) {
                s_.dialogs.message("Неправильный интервал");
                return false;
            }
        }
        if (f.dailyMode && (f.dailyHourItem < 0 || f.dailyMinuteItem < 0)) {
            s_.dialogs.message("Неправильный задано время");
            return false;
        }
        // A new folder the settings could not keep whole is refused here: cut,
        // it would name another folder.
        if (downloadFolder() != settings_.download.downfoad && folderTextLength(downloadFolder()) > kFolderTextLimit) {
            s_.dialogs.message("Путь к папке для скачанных обоев длиннее " + std::to_string(kFolderTextLimit) +
                               " знаков, и программа не сможет его запомнить. Выберите папку с путём покороче.");
            return false;
        }
        if (belowOne(f.scrollRows)) f.scrollRows = std::string("1");
        s_.viewer.setDisplay({.stretch = !f.viewKeepSize, .proportional = f.viewProportional});
        if (number(dailyHourText(f.dailyHourItem), "час") >= 24) f.dailyHourItem = 0;
        if (number(dailyMinuteText(f.dailyMinuteItem), "мин") >= 60) f.dailyMinuteItem = 0;
    } catch (const NotANumber& error) {
        show();
        s_.dialogs.message(error.what());
        return false;
    }
    view_.closeOptions();
    try {
        optionset();
    } catch (const NotANumber& error) {
        s_.dialogs.message(error.what());  // what was applied before the field stays applied, unsaved
    }
    return true;
}

void OptionsController::optionset() {
    const OptionsForm& f = form_;
    settings_.schedule.randomInterval = f.randomMode;
    const auto from = number(f.timeFrom, "от");
    settings_.schedule.timeFromMs = minutesToMs(from);
    settings_.schedule.timeToMs = minutesToMs(number(f.timeTo, "до"));
    settings_.download.loadnew = f.autoDownload;
    s_.downloadTimer.setEnabled(settings_.download.loadnew);
    const std::string folder = downloadFolder();
    settings_.changer.wallpaperStyle = std::string(f.placementItem == 1 ? "2" : "0");
    settings_.changer.fitToScreen = f.placementItem == 2;
    if (f.autorun) {
        // Set only once the entry is there: a failed write must not leave the
        // setting (saved at exit) claiming an entry that does not exist.
        if (!s_.programPath) {
            s_.dialogs.message(
                "Путь к файлу программы содержит знаки, которых нет в кодировке Windows, а "
                "короткого имени у него нет, поэтому автозапуск не записан. Остальные настройки не "
                "применены и не сохранены.");
            return;
        }
        if (!writeAutorun(s_.registry, autorunCommand(*s_.programPath, f.autorunChangeAndExit))) {
            s_.dialogs.message("Не удалось записать в реестр значение автозапуска «" + std::string(kAutorunValue) +
                               "». Остальные настройки не применены и не сохранены.");
            return;
        }
        settings_.schedule.autorunEnabled = true;
    } else {
        deleteAutorun(s_.registry);
        settings_.schedule.autorunEnabled = false;
    }
    // A wheel step of 0 rows would do nothing: the count is held to 1..255.
    settings_.list.kolprokr = static_cast<std::uint8_t>(std::clamp(number(f.scrollRows, "Количество строчек"), 1, 255));
    if (f.intervalUnitItem >= 0 && f.intervalUnitItem <= 2) settings_.schedule.intervalUnit = f.intervalUnitItem + 1;
    if (!settings_.schedule.randomInterval) settings_.schedule.intervalValue = number(f.interval, "каждые");
    s_.scheduler.applyChangeInterval();
    settings_.schedule.autorunChangeAndExit = f.autorunChangeAndExit;
    settings_.download.downfoad = folder;
    s_.scheduler.setDailyMode(f.dailyMode);
    if (settings_.schedule.dailyMode) {
        const auto hour = number(dailyHourText(f.dailyHourItem), "час");
        const auto minute = number(dailyMinuteText(f.dailyMinuteItem), "мин");
        s_.scheduler.applyDailyTime(static_cast<std::uint8_t>(hour), static_cast<std::uint8_t>(minute));
    } else {
        s_.scheduler.stopDailyCheck();
    }
    settings_.download.addvlist = f.addToList;
    // The countdown restarted with the change timer above if its interval changed;
    // otherwise both go on, so that the tip tells the time to the change the timer will make.
    settings_.changer.shuffle = !f.shuffle;
    s_.changer.shufleBtnClick();
    s_.saveoptions();
}

std::string OptionsController::downloadFolder() const {
    // An empty field keeps the folder there was: "\" would put downloads at the drive's root.
    return withTrailingBackslash(form_.downloadFolder.empty() ? settings_.download.downfoad : form_.downloadFolder);
}

void OptionsController::removeProgramFiles() {
    view_.closeOptions();
    s_.removeFiles();
}

}  // namespace ostrel
