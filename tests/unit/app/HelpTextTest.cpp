#include "app/HelpText.h"

#include <gtest/gtest.h>

#include <string>

namespace ostrel {
namespace {

// The lines the window makes bold are the headings, and every line is there
// whole, to the last; the layout's blanks are the text's own.
TEST(HelpTextTest, TheBoldLinesAreTheHeadingsAndEveryLineIsWhole) {
    const char* headings[] = {"Содержание", "1 Файл лист", "2 Установка обоев", "3 Смена обоев", "4 Горячие клавиши"};
    for (std::size_t k = 0; k < kHelpHeadingLines.size(); ++k) EXPECT_EQ(kHelpLines[kHelpHeadingLines[k]], headings[k]);
    for (std::string_view line : kHelpLines) EXPECT_EQ(line.find_first_of("\r\n"), std::string_view::npos) << line;
    EXPECT_EQ(kHelpLines.back(), "             без подтверждения -  Ctrl + Shift + Del");
}

TEST(HelpPlacementTest, CentresOverTheMainWindowWithHalvesToEven) {
    const struct {
        WindowBounds mainWindow;
        int width, height;
        WindowOrigin help, about;
    } cases[] = {
        // Even differences: both ways agree.
        {{100, 50, 800, 600}, 660, 480, {170, 110}, {170, 110}},
        // Help: 141 / 2 = 70.5 goes down to 70; About: 400.5 goes down to 400.
        {{100, 50, 801, 601}, 660, 480, {170, 110}, {170, 110}},
        // Help: 142 / 2 = 71 on top; About: 401.5 → 402 less 330.5 → 330.
        {{0, 0, 803, 803}, 660, 661, {72, 71}, {72, 72}},
        // 434 / 2 = 217 for Help; About rounds 401.5 up and 184.5 down.
        {{0, 0, 803, 803}, 369, 369, {217, 217}, {218, 218}},
        // A main window smaller than the box, on a monitor left of the primary:
        // -161 / 2 = -80.5 goes to -80.
        {{-1000, -20, 500, 300}, 661, 300, {-1080, -20}, {-1080, -20}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(helpWindowOrigin(c.mainWindow, c.width, c.height), c.help) << c.width << "x" << c.height;
        EXPECT_EQ(aboutBoxOrigin(c.mainWindow, c.width, c.height), c.about) << c.width << "x" << c.height;
    }
}

}  // namespace
}  // namespace ostrel
