#include "list/WallpaperList.h"

#include <gtest/gtest.h>

#include <vector>

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
    const struct { const char* name; int first, count, current; Texts left; int currentAfter; } cases[] = {
        {"CurrentBeforeRangeKept", 2, 2, 1, {"a", "d", "e"}, 1},
        {"CurrentTakenOverByMovedRow", 2, 2, 3, {"a", "d", "e"}, -1},
        {"CurrentRemovedPositionTakenOver", 2, 1, 2, {"a", "c", "d", "e"}, -1},
        // A current row left past the end is forgotten too.
        {"CurrentPushedPastTheEnd", 2, 2, 5, {"a", "d", "e"}, -1},
        {"CurrentLastRowRemoved", 5, 1, 5, {"a", "b", "c", "d"}, -1},
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

}  // namespace
}  // namespace ostrel
