#include "app/HelpText.h"

#include <cstdint>

#include "app/Rounding.h"

namespace ostrel {

const std::array<std::string_view, kHelpLineCount> kHelpLines{
    "",
    "Содержание",
    "",
    "     1. Файл лист",
    "     2. Установка обоев",
    "     3. Смена обоев",
    "     4. Горячие клавиши",
    "",
    "",
    "1 Файл лист",
    "   Файл лист содержит список графических файлов с которыми программа может работать.",
    "   Красным отмечена текущая картинка. Если разрешение выделено зеленым, то это означает",
    "   что оно совпадает с разрешением вашего монитора и картинка будет наиболее хорошо смотреться на экране.",
    "  ",
    "   Добавление файлов в список.",
    "   Добавить файлы можно используя кнопку \"добавить\" в меню. Либо просто перетащив картинку на окно программы.",
    "  ",
    "   Удаление файлов из списка.",
    "   Для удаления файлов из списка необходимо выделить нужное количество файлов и нажать клавишу \"Delete\".",
    "   Также файл можно удалить нажав правую кнопку мыши на элементе и выбрав пункт \"Удалить из списка\".",
    "  ",
    "   Сортировка файлов в списке",
    "   Отсортировать список можно по имени или разрешению обоев кликнув на заголовке списка",
    "",
    "2 Установка обоев",
    "   Установить обои на рабочий стол можно следующими способами:",
    "   - Кликнув на картинке предпросмотра",
    "   - Дважды кликнув на элементе в списке",
    "   - Выделив нужный элемент в файл листе и нажав клавишу \"Enter\"",
    "   - Нажав правую кнопку мыши на элементе и выбрав пункт \"Установить\"",
    "  ",
    "3 Смена обоев",
    "   Смена обоев может происходить вручную и автоматически. Менять вручную можно следующими способами:",
    "   - Нажав кнопку с двумя стрелочками в меню",
    "   - Нажав одновременно сочетание клавиш Ctrl+Shift+W",
    "   - Нажав правой кнопкой на иконке в трее и выбрав пункт \"Сменить обои\"",
    "  ",
    "   Автоматическая смена обоев происходит в двух режимах - по порядку и в случайном порядке.",
    "   Для изменения порядка смены обоев в меню есть кнопка \"1->3->2\"",
    "",
    "4 Горячие клавиши",
    "          Сменить обои - Ctrl+Shift+W",
    "          Сменить на предыдущую - Ctrl+Shift+Q",
    "          Скачать новые обои - Ctrl+D",
    "          Сохранить файл лист - Ctrl+S",
    "          Загрузить файл лист - Ctrl+O",
    "          Очистить файл лист - Ctrl+N",
    "          Настройки - F10",
    "          Удалить файл из списка - Del",
    "          Удалить файл с диска:",
    "             с подтверждением - Shift + Del",
    "             без подтверждения -  Ctrl + Shift + Del",
};

namespace {

// UTF-16 units of a UTF-8 text: one per character, two for those beyond the
// Basic Multilingual Plane (lead bytes 0xF0 and above).
std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (unsigned char byte : utf8) {
        if ((byte & 0xC0) != 0x80) ++units;  // continuation bytes add nothing
        if (byte >= 0xF0) ++units;
    }
    return units;
}

int half(std::int64_t value) { return static_cast<int>(roundHalfEven(value, 2)); }

}  // namespace

std::string helpText(std::string_view lineBreak) {
    std::string text;
    for (int i = 0; i < kHelpLineCount; ++i) {
        if (i > 0) text += lineBreak;
        text += kHelpLines[i];
    }
    return text;
}

std::size_t helpLineStart(int line) {
    std::size_t start = 0;
    for (int i = 0; i < line && i < kHelpLineCount; ++i) start += utf16Length(kHelpLines[i]) + 1;
    return start;
}

std::size_t helpLineLength(int line) {
    return line >= 0 && line < kHelpLineCount ? utf16Length(kHelpLines[line]) : 0;
}

WindowOrigin helpWindowOrigin(const WindowBounds& mainWindow, int width, int height) {
    return {mainWindow.left + half(std::int64_t{mainWindow.width} - width),
            mainWindow.top + half(std::int64_t{mainWindow.height} - height)};
}

WindowOrigin aboutBoxOrigin(const WindowBounds& mainWindow, int width, int height) {
    return {mainWindow.left + half(mainWindow.width) - half(width),
            mainWindow.top + half(mainWindow.height) - half(height)};
}

}  // namespace ostrel
