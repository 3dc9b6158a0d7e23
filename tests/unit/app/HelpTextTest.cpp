#include "app/HelpText.h"

#include <gtest/gtest.h>

#include <set>
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

// Minimal UTF-8 decoder: the test's own reading of what the control will hold.
std::u32string decode(const std::string& utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out += c;
        i += 1 + extra;
    }
    return out;
}

TEST(HelpTextTest, FiftyTwoLinesWithTheirBlankAndEmptyLines) {
    const std::vector<std::string> lines = splitLines(helpText("\n"));
    ASSERT_EQ(lines.size(), 52u);  // also: no line holds a break of its own
    const std::set<int> empty{0, 2, 7, 8, 23, 39}, twoBlanks{13, 16, 20, 30, 36};
    for (int i = 0; i < 52; ++i) {
        const std::string& line = lines[i];
        if (empty.count(i)) EXPECT_EQ(line, "") << "line " << i;
        else if (twoBlanks.count(i)) EXPECT_EQ(line, "  ") << "line " << i;
        else EXPECT_TRUE(!line.empty() && line.back() != ' ') << "line " << i << ": '" << line << "'";
        EXPECT_EQ(line.find('\r'), std::string::npos) << "line " << i;
    }
}

TEST(HelpTextTest, IndentationIsKept) {
    struct Block {
        int first, last;
        std::size_t blanks;
    };
    const Block blocks[] = {{1, 1, 0},   {3, 6, 5},   {9, 9, 0},   {10, 12, 3},  {14, 15, 3},
                            {17, 19, 3}, {21, 22, 3}, {24, 24, 0}, {25, 29, 3},  {31, 31, 0},
                            {32, 35, 3}, {37, 38, 3}, {40, 40, 0}, {41, 49, 10}, {50, 51, 13}};
    const std::vector<std::string> lines = splitLines(helpText("\n"));
    ASSERT_EQ(lines.size(), 52u);
    for (const Block& block : blocks)
        for (int i = block.first; i <= block.last; ++i)
            EXPECT_EQ(lines[i].find_first_not_of(' '), block.blanks) << "line " << i;
    // The one line with two blanks inside.
    EXPECT_EQ(lines[51], "             без подтверждения -  Ctrl + Shift + Del");
}

TEST(HelpTextTest, HeadingStartsLandOnTheHeadingsWhenABreakCountsOnce) {
    const std::u32string text = decode(helpText("\n"));
    for (char32_t c : text) ASSERT_LT(c, 0x10000u) << "code points and UTF-16 units would differ";

    const std::u32string expected[] = {U"Содержание", U"1 Файл лист", U"2 Установка обоев",
                                       U"3 Смена обоев", U"4 Горячие клавиши"};
    ASSERT_EQ(kHelpHeadingLines, (std::array<int, 5>{1, 9, 24, 31, 40}));
    for (std::size_t k = 0; k < kHelpHeadingLines.size(); ++k) {
        const int line = kHelpHeadingLines[k];
        const std::size_t start = helpLineStart(line);
        ASSERT_LE(start + helpLineLength(line), text.size());
        EXPECT_EQ(text.substr(start, helpLineLength(line)), expected[k]) << "line " << line;
        EXPECT_EQ(text[start - 1], U'\n') << "line " << line << " must start after a break";
        EXPECT_EQ(text[start + helpLineLength(line)], U'\n') << "line " << line << " must end at a break";
    }
    EXPECT_EQ(helpLineStart(0), 0u);
    EXPECT_EQ(helpLineStart(51) + helpLineLength(51), text.size());
}

struct PlacementCase {
    WindowBounds mainWindow;
    int width, height;
    WindowOrigin help, about;
};

class HelpPlacementTest : public testing::TestWithParam<PlacementCase> {};

TEST_P(HelpPlacementTest, CentresOverTheMainWindowWithHalvesToEven) {
    const PlacementCase& c = GetParam();
    EXPECT_EQ(helpWindowOrigin(c.mainWindow, c.width, c.height), c.help);
    EXPECT_EQ(aboutBoxOrigin(c.mainWindow, c.width, c.height), c.about);
}

INSTANTIATE_TEST_SUITE_P(
    Help, HelpPlacementTest,
    testing::Values(
        // Even differences: both ways agree.
        PlacementCase{{100, 50, 800, 600}, 660, 480, {170, 110}, {170, 110}},
        // Help: 141 / 2 = 70.5 goes down to 70; About: 400.5 goes down to 400.
        PlacementCase{{100, 50, 801, 601}, 660, 480, {170, 110}, {170, 110}},
        // Help: 142 / 2 = 71 on top; About: 401.5 → 402 less 330.5 → 330.
        PlacementCase{{0, 0, 803, 803}, 660, 661, {72, 71}, {72, 72}},
        // 434 / 2 = 217 for Help; About rounds 401.5 up and 184.5 down.
        PlacementCase{{0, 0, 803, 803}, 369, 369, {217, 217}, {218, 218}},
        // A main window smaller than the box, on a monitor left of the primary:
        // -161 / 2 = -80.5 goes to -80.
        PlacementCase{{-1000, -20, 500, 300}, 661, 300, {-1080, -20}, {-1080, -20}}));

}  // namespace
}  // namespace ostrel
