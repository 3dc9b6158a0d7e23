#include "ui/MainMenus.h"

#include <span>
#include <vector>

#include "platform/win32/Text.h"

namespace ostrel::ui {
namespace {

struct MenuEntry {
    Command command;
    const char* caption;  // UTF-8; nullptr for a separator
    Shortcut shortcut;
};

constexpr MenuEntry separator() { return {Command{}, nullptr, {}}; }

constexpr BYTE kCtrl = FCONTROL;
constexpr BYTE kCtrlShift = FCONTROL | FSHIFT;

// Captions are exact, trailing blanks included.
constexpr MenuEntry kWallpapersMenu[] = {
    {Command::Next, "Сменить", {kCtrlShift, 'W'}},
    {Command::Back, "Сменить назад", {kCtrlShift, 'Q'}},
    {Command::OpenDownloads, "Скачать новые   ", {kCtrl, 'D'}},
    separator(),
    {Command::SaveList, "Сохранить лист", {kCtrl, 'S'}},
    {Command::LoadList, "Загрузить лист", {kCtrl, 'O'}},
    {Command::ClearList, "Очистить лист", {kCtrl, 'N'}},
    separator(),
    // Alt+F4 is a shortcut of Exit, so it ends the program while the close
    // button only hides the window.
    {Command::Exit, "Выход", {FALT, VK_F4}},
};
constexpr MenuEntry kOptionsMenu[] = {
    {Command::Options, "Настроить   ", {0, VK_F10}},
};
constexpr MenuEntry kHelpMenu[] = {
    {Command::Help, "Помощь   ", {0, VK_F1}},
    {Command::About, "О программе   ", {}},
};

struct Popup {
    const char* caption;
    std::span<const MenuEntry> entries;
};
constexpr Popup kMainMenu[] = {
    {"Обои", kWallpapersMenu},
    {"Настройки", kOptionsMenu},
    {"?", kHelpMenu},
};

void appendEntry(HMENU menu, const MenuEntry& entry, UINT flags = MF_STRING) {
    if (!entry.caption) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        return;
    }
    std::wstring text = win32::utf8ToWide(entry.caption);
    if (std::wstring keys = shortcutText(entry.shortcut); !keys.empty()) text += L'\t' + keys;
    AppendMenuW(menu, flags, static_cast<UINT_PTR>(entry.command), text.c_str());
}

UINT enabledIf(bool enabled) { return MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED); }

}  // namespace

std::wstring shortcutText(Shortcut shortcut) {
    if (shortcut.key == 0) return {};
    std::wstring text;
    if (shortcut.modifiers & FCONTROL) text += L"Ctrl+";
    if (shortcut.modifiers & FSHIFT) text += L"Shift+";
    if (shortcut.modifiers & FALT) text += L"Alt+";
    if (shortcut.key >= VK_F1 && shortcut.key <= VK_F24)
        text += L"F" + std::to_wstring(shortcut.key - VK_F1 + 1);
    else
        text += static_cast<wchar_t>(shortcut.key);  // letters and digits are their own key codes
    return text;
}

win32::UniqueMenu createMainMenu() {
    win32::UniqueMenu bar(CreateMenu());
    if (!bar) return bar;
    for (const Popup& popup : kMainMenu) {
        HMENU sub = CreatePopupMenu();
        if (!sub) continue;
        for (const MenuEntry& entry : popup.entries) appendEntry(sub, entry);
        // The bar owns its popups from here on.
        AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(sub), win32::utf8ToWide(popup.caption).c_str());
    }
    return bar;
}

win32::UniqueAccelerators createMainAccelerators() {
    std::vector<ACCEL> table;
    for (const Popup& popup : kMainMenu)
        for (const MenuEntry& entry : popup.entries)
            if (entry.caption && entry.shortcut.key != 0)
                table.push_back({static_cast<BYTE>(FVIRTKEY | entry.shortcut.modifiers), entry.shortcut.key,
                                 static_cast<WORD>(entry.command)});
    return win32::UniqueAccelerators(CreateAcceleratorTableW(table.data(), static_cast<int>(table.size())));
}

bool isMainShortcut(Shortcut keys) {
    for (const Popup& popup : kMainMenu)
        for (const MenuEntry& entry : popup.entries)
            if (entry.caption && entry.shortcut.key == keys.key && entry.shortcut.modifiers == keys.modifiers)
                return true;
    return false;
}

win32::UniqueMenu createTrayMenu(const MainController& controller) {
    std::vector<MenuEntry> entries;
    if (controller.autoDownloading()) entries.push_back({Command::StopDownload, "Остановить скачивание", {}});
    entries.push_back({Command::PlayToggle, controller.runStopCaption().c_str(), {}});
    entries.push_back({Command::ShowHide, controller.showHideCaption().c_str(), {}});
    entries.push_back({Command::Options, "Настройки", {}});
    entries.push_back(separator());
    entries.push_back({Command::Next, "Сменить обои", {}});
    entries.push_back({Command::Back, "Сменить назад", {}});
    entries.push_back(separator());
    entries.push_back({Command::Exit, "Выход", {}});

    win32::UniqueMenu menu(CreatePopupMenu());
    if (menu)
        for (const MenuEntry& entry : entries) appendEntry(menu.get(), entry);
    return menu;
}

win32::UniqueMenu createAddMenu() {
    win32::UniqueMenu menu(CreatePopupMenu());
    if (!menu) return menu;
    appendEntry(menu.get(), {Command::AddFolder, "Папку", {}});
    appendEntry(menu.get(), {Command::AddFile, "Файл", {}});
    return menu;
}

win32::UniqueMenu createListMenu(const ListController& list) {
    win32::UniqueMenu menu(CreatePopupMenu());
    if (!menu) return menu;
    if (HMENU sort = CreatePopupMenu()) {
        appendEntry(sort, {Command::SortByName, "По имени", {}});
        appendEntry(sort, {Command::SortByResolution, "По разрешению", {}});
        appendEntry(sort, separator());
        const bool ascending = list.ascendingChecked();
        appendEntry(sort, {Command::SortAscending, "По возрастанию", {}}, MF_STRING | (ascending ? MF_CHECKED : 0));
        appendEntry(sort, {Command::SortDescending, "По убыванию", {}}, MF_STRING | (ascending ? 0 : MF_CHECKED));
        AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(sort), win32::utf8ToWide("Сортировка").c_str());
    }
    appendEntry(menu.get(), separator());
    appendEntry(menu.get(), {Command::LoadList, "Загрузить", {}});
    appendEntry(menu.get(), {Command::SaveList, "Сохранить", {}}, enabledIf(list.saveEnabled()));
    appendEntry(menu.get(), {Command::ClearList, "Очистить", {}});
    return menu;
}

win32::UniqueMenu createRowMenu(const RowMenu& state) {
    win32::UniqueMenu menu(CreatePopupMenu());
    if (!menu) return menu;
    appendEntry(menu.get(), {Command::InstallSelected, "Установить", {}}, enabledIf(state.installEnabled));
    appendEntry(menu.get(), separator());
    appendEntry(menu.get(), {Command::RemoveFromList, "Удалить из списка", {}});
    appendEntry(menu.get(), {Command::DeleteFile, "Удалить файл", {}}, enabledIf(state.deleteFileEnabled));
    return menu;
}

}  // namespace ostrel::ui
