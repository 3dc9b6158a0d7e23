#include "list/ListFile.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "fakes/TempDir.h"
#include "platform/posix/PosixFileSystem.h"

namespace ostrel {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs pairsOf(const WallpaperList& list) {
    Pairs out;
    for (int row = 1; row < list.rowCount(); ++row)
        out.emplace_back((list.cell(NumberColumn, row) == std::to_string(row) ? "" : "unnumbered ") + list.path(row),
                         list.resolution(row));
    return out;
}

WallpaperList listOf(const Pairs& entries) {
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
    // An empty list is one empty pair. Paths keep their CP1251 bytes ("Пик"), resolutions their blanks.
    const std::pair<Pairs, std::string> cases[] = {
        {{}, "\r\n\r\n"},
        {{{"C:\\\xCF\xE8\xEA.jpg", "    1024x768"}, {"D:\\b.bmp", ""}, {"e.jpg", "       0x0"}},
         "C:\\\xCF\xE8\xEA.jpg\r\n    1024x768\r\nD:\\b.bmp\r\n\r\ne.jpg\r\n       0x0\r\n\r\n\r\n"}};
    for (const auto& [entries, bytes] : cases) {
        ASSERT_TRUE(saveF(fs, listOf(entries), file));
        EXPECT_EQ(testing::TempDir::read(file), bytes);
        WallpaperList loaded = listOf({{"stale", "  1x1"}});
        ASSERT_EQ(openF(fs, file, loaded), ListRead::Loaded);
        EXPECT_EQ(pairsOf(loaded), entries);
    }
    // A failed save answers so; a failed open leaves the list untouched.
    EXPECT_FALSE(saveF(fs, listOf({{"a", ""}}), dir.file("no/such/list.tav")));
    WallpaperList list = listOf({{"a", "  1x1"}});
    EXPECT_EQ(openF(fs, dir.file("missing.tav"), list), ListRead::NotOpened);
    EXPECT_EQ(openF(fs, dir.path(), list), ListRead::NotOpened);  // a folder is no list file
    EXPECT_EQ(pairsOf(list), (Pairs{{"a", "  1x1"}}));
}

TEST_F(ListFileTest, ParsesLineEndsTerminatorAndOnePairRules) {
    const std::string pic = dir.write("pic.jpg", "x"), longPath = "C:\\" + std::string(70000, 'p') + ".jpg";
    const struct { const char* name; std::string bytes; Pairs expected; } cases[] = {
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
        WallpaperList list = listOf({{"stale1", "r"}, {"stale2", "r"}, {"stale3", "r"}});
        parseListInto(fs, c.bytes, list);
        EXPECT_EQ(pairsOf(list), c.expected);
        EXPECT_EQ(list.fixedRows(), c.expected.empty() ? 0 : 1);
    }
}

}  // namespace
}  // namespace ostrel
