// The list in memory and in its file "Default.tav".
#include "list/WallpaperList.h"
#include "list/ListFile.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "fakes/TempDir.h"
#include "platform/posix/PosixFileSystem.h"

namespace ostrel {
namespace {

using Texts = std::vector<std::string>;

Texts column(const WallpaperList& list, int column) {
    Texts out;
    for (int row = 1; row < list.rowCount(); ++row) out.push_back(list.cell(column, row));
    return out;
}

WallpaperList listOf(const Texts& entries) {
    WallpaperList list;
    for (const auto& e : entries) list.appendRow(e);
    list.fixHeaderIfEntries();
    return list;
}

TEST(WallpaperListTest, HeaderRowStaysAndOutOfRangeCellsAreInert) {
    WallpaperList list = listOf({"a"}), cleared = listOf({"a", "b"});
    list.setCell(PathColumn, 5, "x");
    list.setCell(3, 1, "x");
    list.setCell(PathColumn, -1, "x");
    EXPECT_EQ(list.path(5) + list.cell(3, 1) + list.cell(-1, 1), "");
    EXPECT_EQ(column(list, PathColumn), Texts{"a"});
    list.setRowCount(0);  // never below one row, and no fixed row without a row under it
    cleared.clear();
    for (const WallpaperList& l : {WallpaperList(), list, cleared}) {
        EXPECT_EQ(l.rowCount(), 1);
        EXPECT_EQ(l.fixedRows(), 0);
        EXPECT_EQ(l.cell(NumberColumn, 0) + l.path(0) + l.resolution(0), "№ИмяРазрешение");
    }
}

TEST(WallpaperListTest, AppendEntryReusesAnEmptyLastRowAppendRowAlwaysGrows) {
    WallpaperList list;
    list.appendEntry("a");  // the header's path is not empty: grows
    list.setRowCount(3);
    list.setCell(ResolutionColumn, 2, "  1x1");
    list.appendEntry("b");  // takes row 2, keeping its resolution
    list.setRowCount(4);
    list.appendRow("c");
    EXPECT_EQ(column(list, PathColumn), (Texts{"a", "b", "", "c"}));
    EXPECT_EQ(column(list, NumberColumn), (Texts{"1", "2", "", "4"}));
    EXPECT_EQ(column(list, ResolutionColumn), (Texts{"", "  1x1", "", ""}));
}

TEST(WallpaperListTest, RemoveRowsRenumbersAndForgetsACurrentAtOrAfterTheRange) {
    // Rows "a" to "e": remove count rows from first while current is the current entry.
    const struct {
        const char* name;
        int first, count, current;
        Texts left;
        int currentAfter;
    } cases[] = {
        {"CurrentBeforeRangeKept", 2, 2, 1, {"a", "d", "e"}, 1},
        {"CurrentTakenOverByMovedRow", 2, 2, 3, {"a", "d", "e"}, -1},
        {"CurrentRemovedPositionTakenOver", 2, 1, 2, {"a", "c", "d", "e"}, -1},
        {"CurrentPushedPastTheEnd", 2, 2, 5, {"a", "d", "e"}, -1},
        {"RangePastEndClamped", 4, 10, 0, {"a", "b", "c"}, 0},
        {"HeaderNeverRemoved", 0, 2, 0, {"b", "c", "d", "e"}, 0},
        {"EverythingRemoved", 1, 5, 1, {}, -1},
        {"StartPastEndIsNoOp", 6, 1, 2, {"a", "b", "c", "d", "e"}, 2},
        {"ZeroCountIsNoOp", 3, 0, 3, {"a", "b", "c", "d", "e"}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WallpaperList list = listOf({"a", "b", "c", "d", "e"});
        list.setCell(ResolutionColumn, 4, "r4");
        int current = c.current;
        list.removeRows(c.first, c.count, current);
        EXPECT_EQ(column(list, PathColumn), c.left);
        EXPECT_EQ(current, c.currentAfter);
        EXPECT_EQ(list.path(0), "Имя");
        for (int row = 1; row < list.rowCount(); ++row) {
            EXPECT_EQ(list.cell(NumberColumn, row), std::to_string(row));
            EXPECT_EQ(list.resolution(row) == "r4", list.path(row) == "d");  // whole rows move
        }
    }
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs pairsOf(const WallpaperList& list) {
    Pairs out;
    for (int row = 1; row < list.rowCount(); ++row)
        out.emplace_back((list.cell(NumberColumn, row) == std::to_string(row) ? "" : "unnumbered ") + list.path(row),
                         list.resolution(row));
    return out;
}

WallpaperList pairList(const Pairs& entries) {
    WallpaperList list;
    for (const auto& [path, resolution] : entries) {
        list.appendRow(path);
        list.setCell(ResolutionColumn, list.rowCount() - 1, resolution);
    }
    return list;
}

struct ListFileTest : ::testing::Test {
    testing::TempDir dir;
    PosixFileSystem fs;
    const std::string file = dir.file("list.tav");
};

TEST_F(ListFileTest, SavesExactBytesOpensThemBackAndFailsWithoutHarm) {
    // Paths keep their CP1251 bytes ("Пик"), resolutions their blanks.
    const Pairs entries = {{"C:\\\xCF\xE8\xEA.jpg", "    1024x768"}, {"D:\\b.bmp", ""}, {"e.jpg", "       0x0"}};
    ASSERT_TRUE(saveF(fs, pairList(entries), file));
    EXPECT_EQ(testing::TempDir::read(file),
              "C:\\\xCF\xE8\xEA.jpg\r\n    1024x768\r\nD:\\b.bmp\r\n\r\ne.jpg\r\n       0x0\r\n\r\n\r\n");
    WallpaperList list = pairList({{"stale", "  1x1"}});
    ASSERT_EQ(openF(fs, file, list), ListRead::Loaded);
    EXPECT_EQ(pairsOf(list), entries);
    // A failed save answers so; a failed open leaves the list untouched.
    EXPECT_FALSE(saveF(fs, pairList({{"a", ""}}), dir.file("no/such/list.tav")));
    EXPECT_EQ(openF(fs, dir.file("missing.tav"), list), ListRead::NotOpened);
    EXPECT_EQ(openF(fs, dir.path(), list), ListRead::NotOpened);  // a folder is no list file
    EXPECT_EQ(pairsOf(list), entries);
}

TEST_F(ListFileTest, ParsesLineEndsTerminatorAndOnePairRules) {
    const std::string pic = dir.write("pic.jpg", "x"), longPath = "C:\\" + std::string(70000, 'p') + ".jpg";
    const struct {
        const char* name;
        std::string bytes;
        Pairs expected;
    } cases[] = {
        {"EmptyFile", "", {}},
        {"TerminatorOnly", "\r\n\r\n", {}},
        {"LfOnlyAndMixedLineEnds", "a\n  2x3\r\nb\r\n\n\n\r\n", {{"a", "  2x3"}, {"b", ""}}},
        {"CrNotBeforeLfIsKept", "a\rb\r\nr\r\n\r\n\r\n", {{"a\rb", "r"}}},
        {"NoTerminatorLastPairIsTakenForItNoFinalLineEnd", "a\r\nr1\r\nb\r\nr2", {{"a", "r1"}}},
        {"OddLastLineIsDroppedPair", "a\r\nr\r\nb\r\n", {{"a", "r"}}},
        {"OnePairFileMissing", dir.file("gone.jpg") + "\r\n  2x3\r\n", {}},
        {"OnePairFileExists", pic + "\r\n  2x3\r\n", {{pic, "  2x3"}}},
        {"OnePairOddLineGetsEmptyResolution", pic, {{pic, ""}}},
        {"ExtraEmptyLinesAfterTheTerminatorAreAnEntry", "a\r\nr\r\n\r\n\r\n\r\n", {{"a", "r"}, {"", ""}}},
        {"LongLine", longPath + "\r\nr\r\n\r\n\r\n", {{longPath, "r"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WallpaperList list = pairList({{"stale1", "r"}, {"stale2", "r"}, {"stale3", "r"}});
        parseListInto(fs, c.bytes, list);
        EXPECT_EQ(pairsOf(list), c.expected);
        EXPECT_EQ(list.fixedRows(), c.expected.empty() ? 0 : 1);
    }
}

}  // namespace
}  // namespace ostrel
