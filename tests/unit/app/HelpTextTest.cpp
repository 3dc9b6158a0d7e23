#include "app/HelpText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ostrel {
namespace {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n') lines.emplace_back();
        else lines.back() += c;
    }
    return lines;
}

// Each line's leading blanks, by blocks of lines; the lines between the
// blocks are empty, or two blanks where marked.
TEST(HelpTextTest, FiftyTwoLinesWithTheirIndentationAndTheHeadings) {
    const struct { int first, last; std::size_t blanks; } blocks[] = {
        {1, 1, 0}, {3, 6, 5}, {9, 9, 0}, {10, 12, 3}, {14, 15, 3}, {17, 19, 3}, {21, 22, 3}, {24, 24, 0},
        {25, 29, 3}, {31, 31, 0}, {32, 35, 3}, {37, 38, 3}, {40, 40, 0}, {41, 49, 10}, {50, 51, 13}};
    const std::vector<std::string> lines = splitLines(helpText("\n"));
    ASSERT_EQ(lines.size(), 52u);  // also: no line holds a break of its own
    std::vector<std::string> between(52);  // what a line outside the blocks holds
    for (int i : {13, 16, 20, 30, 36}) between[i] = "  ";
    for (const auto& block : blocks)
        for (int i = block.first; i <= block.last; ++i) {
            EXPECT_EQ(lines[i].find_first_not_of(' '), block.blanks) << "line " << i;
            EXPECT_TRUE(lines[i].back() != ' ' && lines[i].find('\r') == std::string::npos) << "line " << i;
            between[i] = lines[i];
        }
    for (int i = 0; i < 52; ++i) EXPECT_EQ(lines[i], between[i]) << "line " << i;
    // The one line with two blanks inside.
    EXPECT_EQ(lines[51], "             без подтверждения -  Ctrl + Shift + Del");

    const char* headings[] = {"Содержание", "1 Файл лист", "2 Установка обоев", "3 Смена обоев", "4 Горячие клавиши"};
    for (std::size_t k = 0; k < kHelpHeadingLines.size(); ++k) EXPECT_EQ(lines[kHelpHeadingLines[k]], headings[k]);
}

TEST(HelpPlacementTest, CentresOverTheMainWindowWithHalvesToEven) {
    const struct { WindowBounds mainWindow; int width, height; WindowOrigin help, about; } cases[] = {
        {{100, 50, 800, 600}, 660, 480, {170, 110}, {170, 110}},  // even differences: both ways agree
        // Help: 141 / 2 = 70.5 goes down to 70; About: 400.5 goes down to 400.
        {{100, 50, 801, 601}, 660, 480, {170, 110}, {170, 110}},
        // Help: 142 / 2 = 71 on top; About: 401.5 → 402 less 330.5 → 330.
        {{0, 0, 803, 803}, 660, 661, {72, 71}, {72, 72}},
        // 434 / 2 = 217 for Help; About rounds 401.5 up and 184.5 down.
        {{0, 0, 803, 803}, 369, 369, {217, 217}, {218, 218}},
        // A main window smaller than the box, on a monitor left of the primary:
        // -161 / 2 = -80.5 goes to -80.
        {{-1000, -20, 500, 300}, 661, 300, {-1080, -20}, {-1080, -20}}};
    for (const auto& c : cases) {
        EXPECT_EQ(helpWindowOrigin(c.mainWindow, c.width, c.height), c.help) << c.width << "x" << c.height;
        EXPECT_EQ(aboutBoxOrigin(c.mainWindow, c.width, c.height), c.about) << c.width << "x" << c.height;
    }
}

}  // namespace
}  // namespace ostrel
