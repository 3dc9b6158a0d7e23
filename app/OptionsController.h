#pragma once
// The options dialog's logic: `option` fills the form from the settings,
// the click handlers apply the enabling rules, and "ОК" validates the form
// and applies it step by step (`optionset`), then saves the settings.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/OptionsForm.h"
#include "app/OptionsView.h"
#include "app/Settings.h"
#include "platform/WindowTimer.h"
#include "changer/ChangeScheduler.h"
#include "changer/FullScreenViewer.h"
#include "changer/WallpaperChanger.h"
#include "download/ProxySettings.h"
#include "platform/Dialogs.h"
#include "platform/Registry.h"

namespace ostrel {

struct OptionsServices {
    Registry& registry;
    Dialogs& dialogs;
    ChangeScheduler& scheduler;
    WallpaperChanger& changer;
    FullScreenViewer& viewer;
    WindowTimer& downloadTimer;
    ProxySettings& proxy;
    std::optional<std::string> programPath;  // for the autorun entry (see Services)
    std::function<void()> saveoptions;       // writes the settings, reporting a failure
    std::function<void()> removeFiles;       // the removal button
};

// The number fields take digits and Backspace only as typed keys.
constexpr bool numberFieldAccepts(unsigned character) {
    return character == 8 || (character >= '0' && character <= '9');
}

class OptionsController {
public:
    OptionsController(OptionsServices services, Settings& settings, OptionsView& view)
        : s_(std::move(services)), settings_(settings), view_(view) {}

    // Fills the form from the settings and shows it on the page given.
    void option(OptionsPage page);
    // The dialog's state; the dialog writes the user's edits here before each handler.
    OptionsForm& form() { return form_; }

    // `FormActivate`: the enabling rules of the mode buttons, then of autorun.
    void FormActivate();
    void onModeClicked();  // infixtime, inrandtime, intime
    void onAutorunClicked();
    void onViewModeClicked();
    void onProxyChanged();  // Checkproxy clicked, editIp or Editport edited
    // "ОК": validation, then closing and applying; false when the dialog stays open.
    bool confirm();
    // "Удалить файлы, созданные программой".
    void removeProgramFiles();

private:
    void applyModeRule();
    // The download folder the form asks for, ending in "\".
    std::string downloadFolder() const;
    void optionset();
    void show() { view_.displayOptions(form_); }

    OptionsServices s_;
    Settings& settings_;
    OptionsView& view_;
    OptionsForm form_;
};

}  // namespace ostrel
