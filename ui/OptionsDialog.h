#pragma once
// The options dialog `TOptionsForm`: a fixed-size window with four pages and
// "ОК", made once at start-up and shown non-modally over the main window,
// which owns it and so never covers it. It shows an OptionsForm and reports
// the user's edits to the options' logic.
#include <windows.h>

#include "app/OptionsController.h"
#include "app/OptionsView.h"
#include "platform/win32/UniqueHandle.h"
#include "ui/Dpi.h"
#include "ui/WindowBase.h"

namespace ostrel::ui {

class OptionsDialog final : public OptionsView, public WindowBase<OptionsDialog> {
public:
    // Control ids (the tests address controls by them).
    enum Control : int {
        OkButton = IDOK,  // "ОК": Enter presses it
        PageControl = 1000,
        AutorunCheck,
        ChangeAndExitCheck,
        ScrollRowsLabel,
        Edit_kolprokr,
        FullScreenLabel,
        KeepSizeRadio,
        FullScreenRadio,
        StretchRadio,
        ProportionalRadio,
        infixtime,
        IntervalEveryLabel,
        Time,
        IntervalUnitCombo,
        inrandtime,
        RangeFromLabel,
        EditTimeFrom,
        RangeToLabel,
        EditTimeTo,
        RangeMinutesLabel,
        intime,
        DailyAtLabel,
        DailyHourCombo,
        DailyHourLabel,
        DailyMinuteCombo,
        DailyMinuteLabel,
        PlacementLabel,
        PlacementCombo,
        ShuffleCheck,
        Checkproxy,
        ProxyServerLabel,
        editIp,
        ProxyPortLabel,
        Editport,
        DownloadFolderLabel,
        DownloadFolderEdit,
        ChooseFolderButton,
        addInList,
        AutoDownloadCheck,
        RemoveFilesButton,
    };

    explicit OptionsDialog(HINSTANCE instance) : instance_(instance) {}

    [[nodiscard]] bool create(HWND owner);
    void attach(OptionsController* controller) { controller_ = controller; }
    // Keyboard navigation between the controls; true when the message was used.
    bool isDialogMessage(MSG& msg) { return hwnd_ && IsWindowVisible(hwnd_) && IsDialogMessageW(hwnd_, &msg); }

    void showOptions(const OptionsForm& form) override;
    void displayOptions(const OptionsForm& form) override;
    void closeOptions() override;

private:
    friend class WindowBase<OptionsDialog>;
    static LRESULT CALLBACK numberFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool createControls();
    void placeControls();  // at scale_, in its font
    void onCommand(int id, int code);
    void selectPage(int page);
    void collect();
    // Puts the form into the controls; the edits it makes report nothing. A
    // refill writes every text; otherwise a text the logic left as it was keeps
    // the field's own, which the form holds as "" when the ANSI code page lacks
    // a character of it.
    void display(const OptionsForm& form, bool refill);
    bool downloadFolderFits();
    void chooseDownloadFolder();
    HWND item(int id) const { return GetDlgItem(hwnd_, id); }

    HINSTANCE instance_;
    HWND owner_ = nullptr;
    OptionsController* controller_ = nullptr;
    DpiScale scale_;  // the dialog's DPI, known once it is made
    ScaledControls controls_;
    win32::UniqueFont font_;
    win32::UniqueIcon folderIcon_;
    bool displaying_ = false;
};

}  // namespace ostrel::ui
