#include "ui/OptionsDialog.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <iterator>
#include <string>
#include <utility>

#include "base/Rounding.h"
#include "platform/win32/Icons.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Dialogs.h"
#include "ui/Dpi.h"
#include "ui/PixelFont.h"

namespace ostrel::ui {
namespace {

constexpr const wchar_t* kClassName = L"TOptionsForm";
constexpr int kClientWidth = 432, kClientHeight = 338;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr const char* kPageNames[] = {"Общие", "Смена", "Интернет", "Удаление программы"};
// The page control lies this far inside the dialog, above its buttons.
constexpr int kPagesMargin = 6, kPagesHeight = 294;
// A control's page is kept in its user data, offset so that 0 stays for the
// windows of no page (the page control): 1 on every page, 2 + n on page n.
constexpr LONG_PTR kOnEveryPageTag = 1, kFirstPageTag = 2;

constexpr DWORD kCheck = WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kRadio = WS_TABSTOP | BS_RADIOBUTTON;  // the form decides which one is checked
constexpr DWORD kText = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kNumber = kText;  // filtered by numberFieldProc, which lets pasting through
constexpr DWORD kList = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;

struct ControlSpec {
    int id;
    const wchar_t* className;
    const char* text;
    DWORD style;
    int x, y, width, height;
    int page;  // -1: on every page
};

using C = OptionsDialog;
constexpr ControlSpec kControls[] = {
    // "Общие"
    {C::AutorunCheck, L"BUTTON", "Автозапуск при загрузке windows", kCheck | WS_GROUP, 20, 44, 380, 20, 0},
    {C::ChangeAndExitCheck, L"BUTTON", "Сменить обои и закрыть программу", kCheck | WS_DISABLED, 40, 66, 360, 20, 0},
    {C::ScrollRowsLabel, L"STATIC", "Количество прокручиваемых строчек при скроллинге мышкой:  ", 0, 20, 98, 300, 30,
     0},
    {C::Edit_kolprokr, L"EDIT", "1", kNumber | WS_GROUP, 330, 100, 48, 21, 0},
    {C::FullScreenLabel, L"STATIC", "Просмотр на весь экран", 0, 20, 140, 380, 16, 0},
    {C::KeepSizeRadio, L"BUTTON", "Сохранить разрешение", kRadio | WS_GROUP, 40, 160, 300, 20, 0},
    {C::FullScreenRadio, L"BUTTON", "На весь экран", kRadio, 40, 182, 300, 20, 0},
    {C::StretchRadio, L"BUTTON", "Растянуть", kRadio | WS_DISABLED | WS_GROUP, 60, 204, 280, 20, 0},
    {C::ProportionalRadio, L"BUTTON", "Пропорционально", kRadio | WS_DISABLED, 60, 226, 280, 20, 0},
    // "Смена"
    {C::infixtime, L"BUTTON", "Менять через фиксированные промежутки времени:", kRadio | WS_GROUP, 20, 42, 390, 20, 1},
    {C::IntervalEveryLabel, L"STATIC", "каждые", 0, 40, 69, 50, 16, 1},
    {C::Time, L"EDIT", "5", kNumber | WS_GROUP, 92, 66, 50, 21, 1},
    {C::IntervalUnitCombo, L"COMBOBOX", "", kList, 150, 66, 70, 120, 1},
    {C::inrandtime, L"BUTTON", "Менять через случайные промежутки времени:", kRadio | WS_GROUP, 20, 96, 390, 20, 1},
    {C::RangeFromLabel, L"STATIC", "от", 0, 40, 123, 20, 16, 1},
    {C::EditTimeFrom, L"EDIT", "", kNumber | WS_GROUP, 62, 120, 50, 21, 1},
    {C::RangeToLabel, L"STATIC", "до ", 0, 120, 123, 22, 16, 1},
    {C::EditTimeTo, L"EDIT", "", kNumber, 144, 120, 50, 21, 1},
    {C::RangeMinutesLabel, L"STATIC", "мин", 0, 202, 123, 40, 16, 1},
    {C::intime, L"BUTTON", "Менять один раз в день", kRadio | WS_GROUP, 20, 150, 390, 20, 1},
    {C::DailyAtLabel, L"STATIC", "в", 0, 40, 177, 12, 16, 1},
    {C::DailyHourCombo, L"COMBOBOX", "", kList | WS_GROUP, 56, 174, 50, 200, 1},
    {C::DailyHourLabel, L"STATIC", "час", 0, 112, 177, 28, 16, 1},
    {C::DailyMinuteCombo, L"COMBOBOX", "", kList, 142, 174, 50, 150, 1},
    {C::DailyMinuteLabel, L"STATIC", "мин", 0, 198, 177, 40, 16, 1},
    {C::PlacementLabel, L"STATIC", "Расположение обоев на экране:", 0, 20, 214, 380, 16, 1},
    {C::PlacementCombo, L"COMBOBOX", "", kList, 20, 234, 190, 120, 1},
    {C::ShuffleCheck, L"BUTTON", "Менять обои в случайном порядке", kCheck, 20, 268, 380, 20, 1},
    // "Интернет"
    {C::Checkproxy, L"BUTTON", "Использовать прокси-сервер для соединения с Internet", kCheck | WS_GROUP, 20, 44, 390,
     20, 2},
    {C::ProxyServerLabel, L"STATIC", "Сервер", WS_DISABLED, 40, 73, 50, 16, 2},
    {C::editIp, L"EDIT", "192.168.0.2", kText | WS_DISABLED, 92, 70, 120, 21, 2},
    {C::ProxyPortLabel, L"STATIC", "Порт", WS_DISABLED, 226, 73, 34, 16, 2},
    {C::Editport, L"EDIT", "3128", kText | WS_DISABLED, 262, 70, 60, 21, 2},
    {C::DownloadFolderLabel, L"STATIC", "Папка для сохранения скачанных обоев", 0, 20, 108, 380, 16, 2},
    {C::DownloadFolderEdit, L"EDIT", "", kText, 20, 128, 352, 21, 2},
    {C::ChooseFolderButton, L"BUTTON", "", WS_TABSTOP | BS_ICON, 378, 126, 26, 25, 2},
    {C::addInList, L"BUTTON", "Добавлять обои в файл лист после скачивания", kCheck, 20, 164, 390, 20, 2},
    {C::AutoDownloadCheck, L"BUTTON", "Автоматически скачивать новые обои при подключенном интернете",
     kCheck | BS_MULTILINE, 20, 188, 300, 30, 2},
    // "Удаление программы"
    {C::RemoveFilesButton, L"BUTTON", "Удалить файлы, созданные программой", WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 20,
     48, 260, 28, 3},
    // Below the pages.
    {C::OkButton, L"BUTTON", "ОК", WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 340, 306, 84, 26, -1},
};

constexpr int kNumberFields[] = {C::Edit_kolprokr, C::Time, C::EditTimeFrom, C::EditTimeTo};

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void setText(HWND window, const std::wstring& text) {
    if (windowText(window) != text) SetWindowTextW(window, text.c_str());  // keeps the caret of an unchanged field
}

bool checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void check(HWND button, bool on) { SendMessageW(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
int selection(HWND list) { return static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0)); }

void addItems(HWND list, std::initializer_list<std::string> items) {
    for (const std::string& text : items)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::utf8ToWide(text).c_str()));
}

}  // namespace

bool OptionsDialog::create(HWND owner) {
    owner_ = owner;
    if (!registerWindowClass(instance_, {kClassName, &windowProc, GetSysColorBrush(COLOR_BTNFACE)})) return false;
    CreateWindowExW(kExStyle, kClassName, win32::utf8ToWide("Настройки").c_str(), kStyle, 0, 0, 0, 0, owner, nullptr,
                    instance_, this);
    if (!hwnd_) return false;
    scale_ = windowScale(hwnd_);
    sizeClientArea(hwnd_, scale_(kClientWidth), scale_(kClientHeight));
    return createControls();
}

bool OptionsDialog::createControls() {
    HWND tabs = controls_.add(
        CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, 0, 0, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(PageControl)), instance_, nullptr),
        {kPagesMargin, kPagesMargin, kClientWidth - kPagesMargin, kPagesMargin + kPagesHeight});
    if (!tabs) return false;
    for (int i = 0; i < static_cast<int>(std::size(kPageNames)); ++i) {
        std::wstring name = win32::utf8ToWide(kPageNames[i]);
        TCITEMW page{};
        page.mask = TCIF_TEXT;
        page.pszText = name.data();
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&page));
    }
    for (const ControlSpec& c : kControls) {
        HWND control =
            controls_.add(CreateWindowExW(c.className == std::wstring(L"EDIT") ? WS_EX_CLIENTEDGE : 0, c.className,
                                          win32::utf8ToWide(c.text).c_str(), WS_CHILD | c.style, 0, 0, 0, 0, hwnd_,
                                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr),
                          {c.x, c.y, c.x + c.width, c.y + c.height});
        if (!control) return false;
        SetWindowLongPtrW(control, GWLP_USERDATA, kFirstPageTag + c.page);  // tells selectPage where it belongs
    }
    placeControls();
    // The pages' controls lie on the page control, which stays beneath them.
    SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (int id : kNumberFields) SetWindowSubclass(item(id), &OptionsDialog::numberFieldProc, 0, 0);
    addItems(item(IntervalUnitCombo), {kIntervalUnitItems[0], kIntervalUnitItems[1], kIntervalUnitItems[2]});
    for (int hour = 0; hour < kDailyHourItems; ++hour) addItems(item(DailyHourCombo), {std::to_string(hour)});
    for (const char* minute : kDailyMinuteItems) addItems(item(DailyMinuteCombo), {minute});
    addItems(item(PlacementCombo), {kPlacementItems[0], kPlacementItems[1], kPlacementItems[2]});
    SendMessageW(item(DownloadFolderEdit), EM_SETCUEBANNER, TRUE,
                 reinterpret_cast<LPARAM>(win32::utf8ToWide("пусто: останется прежняя папка").c_str()));
    check(item(KeepSizeRadio), true);
    check(item(StretchRadio), true);
    selectPage(0);
    return true;
}

void OptionsDialog::placeControls() {
    font_ = pixelFont(L"Tahoma", scale_(11));
    controls_.place(scale_, font_.get());
    // The shell's own small folder picture, at this DPI's size.
    if (win32::UniqueIcon icon{win32::loadFolderIcon(scale_.dpi())}) {
        SendMessageW(item(ChooseFolderButton), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.get()));
        folderIcon_ = std::move(icon);  // the old one goes once the button no longer shows it
    } else if (!folderIcon_) {
        SetWindowTextW(item(ChooseFolderButton), L"...");
    }
}

void OptionsDialog::selectPage(int page) {
    SendMessageW(item(PageControl), TCM_SETCURSEL, page, 0);
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR tag = GetWindowLongPtrW(child, GWLP_USERDATA);
        if (tag >= kOnEveryPageTag)
            ShowWindow(child, tag == kOnEveryPageTag || tag - kFirstPageTag == page ? SW_SHOWNA : SW_HIDE);
    }
}

void OptionsDialog::showOptions(const OptionsForm& form) {
    if (!hwnd_) return;
    display(form, true);
    // Centred over the main window, halves to the even neighbour.
    RECT main{}, self{};
    GetWindowRect(owner_, &main);
    GetWindowRect(hwnd_, &self);
    const auto half = [](long value) { return static_cast<int>(roundHalfEven(value, 2)); };
    const int left = main.left + half(main.right - main.left) - half(self.right - self.left);
    const int top = main.top + half(main.bottom - main.top) - half(self.bottom - self.top);
    SetWindowPos(hwnd_, HWND_TOP, left, top, 0, 0, SWP_NOSIZE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
}

void OptionsDialog::closeOptions() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void OptionsDialog::displayOptions(const OptionsForm& form) { display(form, false); }

void OptionsDialog::display(const OptionsForm& f, bool refill) {
    displaying_ = true;
    auto enable = [this](std::initializer_list<int> ids, bool on) {
        for (int id : ids) EnableWindow(item(id), on);
    };
    // A field whose text the ANSI code page cannot write reaches the form as
    // "": it keeps what the user typed or chose, unless the logic put another
    // text there or the form is filled anew. "ОК" refuses it.
    auto text = [this, refill](int id, const std::string& ansi) {
        if (!refill && win32::wideToAnsi(windowText(item(id))).value_or("") == ansi) return;
        setText(item(id), win32::ansiToWide(ansi));
    };
    auto choose = [this](int id, int index) { SendMessageW(item(id), CB_SETCURSEL, index, 0); };
    if (static_cast<int>(SendMessageW(item(PageControl), TCM_GETCURSEL, 0, 0)) != static_cast<int>(f.page))
        selectPage(static_cast<int>(f.page));

    check(item(AutorunCheck), f.autorun);
    check(item(ChangeAndExitCheck), f.autorunChangeAndExit);
    enable({ChangeAndExitCheck}, f.autorunChangeAndExitEnabled);
    text(Edit_kolprokr, f.scrollRows);
    check(item(KeepSizeRadio), f.viewKeepSize);
    check(item(FullScreenRadio), !f.viewKeepSize);
    check(item(ProportionalRadio), f.viewProportional);
    check(item(StretchRadio), !f.viewProportional);
    enable({ProportionalRadio, StretchRadio}, f.viewFitChoiceEnabled);

    check(item(infixtime), f.fixedMode);
    check(item(inrandtime), f.randomMode);
    check(item(intime), f.dailyMode);
    text(Time, f.interval);
    choose(IntervalUnitCombo, f.intervalUnitItem);
    text(EditTimeFrom, f.timeFrom);
    text(EditTimeTo, f.timeTo);
    choose(DailyHourCombo, f.dailyHourItem);
    choose(DailyMinuteCombo, f.dailyMinuteItem);
    choose(PlacementCombo, f.placementItem);
    check(item(ShuffleCheck), f.shuffle);
    enable({Time, IntervalUnitCombo}, f.intervalFieldsEnabled);
    enable({EditTimeFrom, EditTimeTo}, f.rangeFieldsEnabled);
    enable({DailyHourCombo, DailyMinuteCombo}, f.dailyFieldsEnabled);

    check(item(Checkproxy), f.useProxy);
    text(editIp, f.proxyHost);
    text(Editport, f.proxyPort);
    enable({ProxyServerLabel, ProxyPortLabel, editIp, Editport}, f.proxyFieldsEnabled);
    text(DownloadFolderEdit, f.downloadFolder);
    check(item(addInList), f.addToList);
    check(item(AutoDownloadCheck), f.autoDownload);
    displaying_ = false;
}

void OptionsDialog::collect() {
    if (!controller_) return;
    OptionsForm& f = controller_->form();
    auto text = [this](int id) { return win32::wideToAnsi(windowText(item(id))).value_or(""); };
    f.page = static_cast<OptionsPage>(SendMessageW(item(PageControl), TCM_GETCURSEL, 0, 0));
    f.autorun = checked(item(AutorunCheck));
    f.autorunChangeAndExit = checked(item(ChangeAndExitCheck));
    f.scrollRows = text(Edit_kolprokr);
    f.viewKeepSize = checked(item(KeepSizeRadio));
    f.viewProportional = checked(item(ProportionalRadio));
    f.fixedMode = checked(item(infixtime));
    f.randomMode = checked(item(inrandtime));
    f.dailyMode = checked(item(intime));
    f.interval = text(Time);
    f.intervalUnitItem = selection(item(IntervalUnitCombo));
    f.timeFrom = text(EditTimeFrom);
    f.timeTo = text(EditTimeTo);
    f.dailyHourItem = selection(item(DailyHourCombo));
    f.dailyMinuteItem = selection(item(DailyMinuteCombo));
    f.placementItem = selection(item(PlacementCombo));
    f.shuffle = checked(item(ShuffleCheck));
    f.useProxy = checked(item(Checkproxy));
    f.proxyHost = text(editIp);
    f.proxyPort = text(Editport);
    f.downloadFolder = text(DownloadFolderEdit);
    f.addToList = checked(item(addInList));
    f.autoDownload = checked(item(AutoDownloadCheck));
}

// A folder name the ANSI code page cannot write would name another folder.
bool OptionsDialog::downloadFolderFits() {
    const std::wstring folder = windowText(item(DownloadFolderEdit));
    if (win32::wideToAnsi(folder)) return true;
    win32::refuseUnwritableName(hwnd_, folder, true);
    return false;
}

void OptionsDialog::chooseDownloadFolder() {
    const std::string title = win32::wideToAnsi(win32::utf8ToWide("Укажите папку для скачивания")).value_or("");
    char name[MAX_PATH] = {};
    BROWSEINFOA browse{};
    browse.hwndOwner = hwnd_;
    browse.pszDisplayName = name;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&browse);
    if (!chosen) return;
    // Taken in UTF-16, so that a name the ANSI code page lacks is caught on
    // "ОК" rather than turned into question marks here.
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(chosen, path)) SetWindowTextW(item(DownloadFolderEdit), path);
    CoTaskMemFree(chosen);
}

void OptionsDialog::onCommand(int id, int code) {
    if (!controller_ || displaying_) return;
    OptionsForm& f = controller_->form();
    switch (id) {
    case IDOK:
        if (!downloadFolderFits()) return;
        collect();
        controller_->confirm();
        return;
    case IDCANCEL:  // Escape: like the close box, the edits are dropped
        closeOptions();
        return;
    case AutorunCheck:
        collect();
        controller_->onAutorunClicked();
        return;
    case KeepSizeRadio:
    case FullScreenRadio:
        collect();
        f.viewKeepSize = id == KeepSizeRadio;
        controller_->onViewModeClicked();
        return;
    case ProportionalRadio:
    case StretchRadio:
        collect();
        f.viewProportional = id == ProportionalRadio;
        display(f, false);
        return;
    case infixtime:
    case inrandtime:
    case intime:
        collect();
        f.fixedMode = id == infixtime;
        f.randomMode = id == inrandtime;
        f.dailyMode = id == intime;
        controller_->onModeClicked();
        return;
    case Checkproxy:
        collect();
        controller_->onProxyChanged();
        return;
    case editIp:
    case Editport:
        if (code != EN_CHANGE) return;
        collect();
        controller_->onProxyChanged();
        return;
    case ChooseFolderButton: chooseDownloadFolder(); return;
    case RemoveFilesButton: controller_->removeProgramFiles(); return;
    }
}

LRESULT CALLBACK OptionsDialog::numberFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR) {
    // Typed characters only: text pasted from the menu comes as WM_PASTE and passes.
    if (message == WM_CHAR && !numberFieldAccepts(static_cast<unsigned>(wParam))) return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &OptionsDialog::numberFieldProc, 0);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT OptionsDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: onCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->idFrom == PageControl &&
            reinterpret_cast<const NMHDR*>(lParam)->code == TCN_SELCHANGE)
            selectPage(static_cast<int>(SendMessageW(item(PageControl), TCM_GETCURSEL, 0, 0)));
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && controller_) {
            collect();
            controller_->FormActivate();
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        // Labels, check boxes and radio buttons on a page take the page's white,
        // not the window's grey; edits (a disabled one reports here too) keep theirs.
        HWND control = reinterpret_cast<HWND>(lParam);
        wchar_t kind[8] = {};
        GetClassNameW(control, kind, static_cast<int>(std::size(kind)));
        if (GetWindowLongPtrW(control, GWLP_USERDATA) < kFirstPageTag || _wcsicmp(kind, L"Edit") == 0) break;
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_CLOSE:  // the close box drops the edits: the next opening fills the form anew
        closeOptions();
        return 0;
    case WM_DPICHANGED: {
        const DpiChange change = dpiChangeOf(wParam, lParam);
        scale_ = change.scale;
        placeControls();
        moveForDpi(hwnd_, change.suggested, scale_(kClientWidth), scale_(kClientHeight));
        InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    }
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace ostrel::ui
