#include "list/WallpaperList.h"

#include <gtest/gtest.h>

#include <vector>

namespace ostrel {
namespace {

std::vector<std::string> paths(const WallpaperList& list) {
    std::vector<std::string> out;
    for (int row = 1; row < list.rowCount(); ++row) out.push_back(list.path(row));
    return out;
}

void expectNumbered(const WallpaperList& list) {
    for (int row = 1; row < list.rowCount(); ++row)
        EXPECT_EQ(list.cell(NumberColumn, row), std::to_string(row)) << "row " << row;
}

WallpaperList listOf(const std::vector<std::string>& entries) {
    WallpaperList list;
    for (const auto& e : entries) list.appendRow(e);
    list.fixHeaderIfEntries();
    return list;
}

TEST(WallpaperListTest, NewListIsHeaderOnly) {
    WallpaperList list;
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.fixedRows(), 0);
    EXPECT_EQ(list.cell(NumberColumn, 0), "№");
    EXPECT_EQ(list.path(0), "Имя");
    EXPECT_EQ(list.resolution(0), "Разрешение");
}

TEST(WallpaperListTest, RowCountNeverBelowOneAndOutOfRangeCellsAreInert) {
    WallpaperList list = listOf({"a"});
    list.setRowCount(0);
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.fixedRows(), 0);  // no fixed row without a row under it
    list.setCell(PathColumn, 5, "x");
    list.setCell(3, 0, "x");
    list.setCell(PathColumn, -1, "x");
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.path(5), "");
    EXPECT_EQ(list.cell(-1, 0), "");
    EXPECT_EQ(list.path(0), "Имя");
}

TEST(WallpaperListTest, AppendEntryGrowsPastTheHeaderOfAnEmptyList) {
    WallpaperList list;
    list.appendEntry("C:\\a.jpg");
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.path(1), "C:\\a.jpg");
    EXPECT_EQ(list.cell(NumberColumn, 1), "1");
    EXPECT_EQ(list.path(0), "Имя");
}

TEST(WallpaperListTest, AppendEntryReusesTrailingEmptyRowAndKeepsItsResolution) {
    WallpaperList list = listOf({"a"});
    list.setRowCount(3);
    list.setCell(ResolutionColumn, 2, "  1x1");
    list.appendEntry("b");
    ASSERT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.path(2), "b");
    EXPECT_EQ(list.cell(NumberColumn, 2), "2");
    EXPECT_EQ(list.resolution(2), "  1x1");
}

TEST(WallpaperListTest, AppendRowAlwaysGrows) {
    WallpaperList list = listOf({"a"});
    list.setRowCount(3);
    list.appendRow("b");
    ASSERT_EQ(list.rowCount(), 4);
    EXPECT_EQ(paths(list), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(list.cell(NumberColumn, 3), "3");
}

struct RemoveCase {
    const char* name;
    int first, count, current;
    std::vector<std::string> left;
    int currentAfter;
};

class RemoveRowsTest : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveRowsTest, RemovesRenumbersAndForgetsTakenOverCurrent) {
    const RemoveCase& c = GetParam();
    WallpaperList list = listOf({"a", "b", "c", "d", "e"});
    list.setCell(ResolutionColumn, 4, "r4");
    int current = c.current;
    list.removeRows(c.first, c.count, current);
    EXPECT_EQ(paths(list), c.left);
    EXPECT_EQ(current, c.currentAfter);
    EXPECT_EQ(list.path(0), "Имя");
    expectNumbered(list);
    // Whole rows move, the resolution with its path.
    for (int row = 1; row < list.rowCount(); ++row)
        EXPECT_EQ(list.resolution(row) == "r4", list.path(row) == "d");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RemoveRowsTest,
    ::testing::Values(
        RemoveCase{"CurrentBeforeRangeKept", 2, 2, 1, {"a", "d", "e"}, 1},
        RemoveCase{"CurrentTakenOverByMovedRow", 2, 2, 3, {"a", "d", "e"}, -1},
        RemoveCase{"CurrentRemovedPositionTakenOver", 2, 1, 2, {"a", "c", "d", "e"}, -1},
        // Only renumbered positions count; a number now past the end stays.
        RemoveCase{"CurrentPastNewEndKept", 2, 2, 5, {"a", "d", "e"}, 5},
        RemoveCase{"LastRowRemovedNothingRenumbered", 5, 1, 5, {"a", "b", "c", "d"}, 5},
        RemoveCase{"RangePastEndClamped", 4, 10, 0, {"a", "b", "c"}, 0},
        RemoveCase{"HeaderNeverRemoved", 0, 2, 0, {"b", "c", "d", "e"}, 0},
        RemoveCase{"EverythingRemoved", 1, 5, 1, {}, 1},
        RemoveCase{"StartPastEndIsNoOp", 6, 1, 2, {"a", "b", "c", "d", "e"}, 2},
        RemoveCase{"ZeroCountIsNoOp", 3, 0, 3, {"a", "b", "c", "d", "e"}, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WallpaperListTest, ClearKeepsHeaderOnly) {
    WallpaperList list = listOf({"a", "b"});
    list.setCell(ResolutionColumn, 1, "  1x1");
    list.clear();
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.fixedRows(), 0);
    EXPECT_EQ(list.path(0), "Имя");
    // Rows grown again afterwards must not bring old cells back.
    list.setRowCount(3);
    EXPECT_EQ(list.path(1), "");
    EXPECT_EQ(list.resolution(1), "");
}

}  // namespace
}  // namespace ostrel
