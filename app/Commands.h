#pragma once
// Commands of the main window's menus and the tray menu.
namespace ostrel {

enum class Command : unsigned {
    Next = 100,        // "Сменить", tray "Сменить обои"
    Back,              // "Сменить назад"
    OpenDownloads,     // "Скачать новые   "
    SaveList,          // "Сохранить лист"
    LoadList,          // "Загрузить лист"
    ClearList,         // "Очистить лист"
    Exit,              // "Выход"
    Options,           // "Настроить   ", tray "Настройки"
    Help,              // "Помощь   "
    About,             // "О программе   "
    PlayToggle,        // tray "Запустить/остановить"
    ShowHide,          // tray "Свернуть" / "Развернуть"
    StopDownload,      // tray "Остановить скачивание"
    InstallSelected,   // preview click, list "Установить"
    ShuffleToggle,     // toolbar "В случайном порядке"
    AddFolder,         // add menu "Папку"
    AddFile,           // add menu "Файл"
    SortByName,        // list menu "По имени"
    SortByResolution,  // list menu "По разрешению"
    SortAscending,     // list menu "По возрастанию"
    SortDescending,    // list menu "По убыванию"
    RemoveFromList,    // row menu "Удалить из списка"
    DeleteFile,        // row menu "Удалить файл"
    FullScreen,        // toolbar "Просмотр на весь экран"
    ScheduleOptions,   // toolbar "Настройки смены": the options on their changing page
    DownloadButton,    // toolbar "Скачать новые обои": ignored while an automatic download runs
};

}  // namespace ostrel
