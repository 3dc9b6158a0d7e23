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
    for (int row = 1; row < list.rowCount(); ++row) {
        EXPECT_EQ(list.cell(NumberColumn, row), std::to_string(row));
        out.emplace_back(list.path(row), list.resolution(row));
    }
    return out;
}

WallpaperList listOf(const Pairs& entries) {
    WallpaperList list;
    for (const auto& [path, resolution] : entries) {
        list.appendRow(path);
        list.setCell(ResolutionColumn, list.rowCount() - 1, resolution);
    }
    list.fixHeaderIfEntries();
    return list;
}

// "$" in a case stands for the test's folder, so one-pair files can name a real file.
std::string expand(std::string text, const std::string& dir) {
    for (std::size_t at; (at = text.find('$')) != std::string::npos;) text.replace(at, 1, dir);
    return text;
}

class ListFileTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    PosixFileSystem fs;
};

TEST_F(ListFileTest, EmptyListIsOneEmptyPairAndLoadsBackEmpty) {
    WallpaperList empty;
    EXPECT_EQ(serializeList(empty), "\r\n\r\n");
    const std::string file = dir.file("Default.tav");
    ASSERT_TRUE(saveF(fs, empty, file));
    EXPECT_EQ(testing::TempDir::read(file), "\r\n\r\n");

    WallpaperList loaded = listOf({{"old", "  1x1"}});
    ASSERT_TRUE(openF(fs, file, loaded));
    EXPECT_EQ(loaded.rowCount(), 1);
    EXPECT_EQ(loaded.fixedRows(), 0);
}

TEST_F(ListFileTest, RoundTripIsByteExact) {
    // CP1251 "Пик" and a resolution padded with blanks, as the prober writes them.
    const Pairs entries{{"C:\\\xCF\xE8\xEA.jpg", "    1024x768"}, {"D:\\b.bmp", ""}, {"e.jpg", "       0x0"}};
    const std::string bytes = "C:\\\xCF\xE8\xEA.jpg\r\n    1024x768\r\nD:\\b.bmp\r\n\r\ne.jpg\r\n       0x0\r\n\r\n\r\n";
    WallpaperList list = listOf(entries);
    EXPECT_EQ(serializeList(list), bytes);

    const std::string file = dir.file("list.tav");
    ASSERT_TRUE(saveF(fs, list, file));
    EXPECT_EQ(testing::TempDir::read(file), bytes);
    WallpaperList loaded;
    ASSERT_TRUE(openF(fs, file, loaded));
    EXPECT_EQ(pairsOf(loaded), entries);
    EXPECT_EQ(loaded.fixedRows(), 1);
    EXPECT_EQ(serializeList(loaded), bytes);
}

TEST_F(ListFileTest, SaveIntoMissingFolderFailsWithoutCreatingAnything) {
    EXPECT_FALSE(saveF(fs, listOf({{"a", ""}}), dir.file("no/such/list.tav")));
    EXPECT_FALSE(fs.fileExists(dir.file("no/such/list.tav")));
}

TEST_F(ListFileTest, UnreadableFileLeavesListUntouched) {
    WallpaperList list = listOf({{"a", "  1x1"}});
    EXPECT_FALSE(openF(fs, dir.file("missing.tav"), list));
    EXPECT_FALSE(openF(fs, dir.path(), list));  // a folder is no list file
    EXPECT_EQ(pairsOf(list), (Pairs{{"a", "  1x1"}}));
    EXPECT_EQ(list.fixedRows(), 1);
}

struct ParseCase {
    const char* name;
    std::string bytes;
    Pairs expected;
};

class ParseListTest : public ListFileTest, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(ParseListTest, Parses) {
    const ParseCase& c = GetParam();
    dir.write("pic.jpg", "x");
    WallpaperList list = listOf({{"stale1", "r"}, {"stale2", "r"}, {"stale3", "r"}});
    parseListInto(fs, expand(c.bytes, dir.path()), list);
    Pairs expected = c.expected;
    for (auto& [path, resolution] : expected) path = expand(path, dir.path());
    EXPECT_EQ(pairsOf(list), expected);
    EXPECT_EQ(list.fixedRows(), expected.empty() ? 0 : 1);
    EXPECT_EQ(list.path(0), "Имя");
}

const std::string kLongPath = "C:\\" + std::string(70000, 'p') + ".jpg";

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseListTest,
    ::testing::Values(
        ParseCase{"EmptyFile", "", {}},
        ParseCase{"TerminatorOnly", "\r\n\r\n", {}},
        ParseCase{"CrLf", "a\r\n  2x3\r\nb\r\n\r\n\r\n\r\n", {{"a", "  2x3"}, {"b", ""}}},
        ParseCase{"LfOnly", "a\n  2x3\nb\n\n\n\n", {{"a", "  2x3"}, {"b", ""}}},
        ParseCase{"MixedLineEnds", "a\n  2x3\r\nb\r\n\n\n\r\n", {{"a", "  2x3"}, {"b", ""}}},
        ParseCase{"CrNotBeforeLfIsKept", "a\rb\r\nr\r\n\r\n\r\n", {{"a\rb", "r"}}},
        // Without a terminator the last real pair is taken for one.
        ParseCase{"NoTerminatorDropsLastPair", "a\r\nr1\r\nb\r\nr2\r\n", {{"a", "r1"}}},
        ParseCase{"NoFinalLineEnd", "a\r\nr1\r\nb\r\nr2", {{"a", "r1"}}},
        ParseCase{"OddLastLineIsDroppedPair", "a\r\nr\r\nb\r\n", {{"a", "r"}}},
        ParseCase{"OnePairFileMissing", "$/gone.jpg\r\n  2x3\r\n", {}},
        ParseCase{"OnePairFileExists", "$/pic.jpg\r\n  2x3\r\n", {{"$/pic.jpg", "  2x3"}}},
        ParseCase{"OnePairOddLineGetsEmptyResolution", "$/pic.jpg", {{"$/pic.jpg", ""}}},
        // Extra empty lines after the terminator become an empty entry.
        ParseCase{"ExtraEmptyPair", "a\r\nr\r\n\r\n\r\n\r\n", {{"a", "r"}, {"", ""}}},
        ParseCase{"LongLine", kLongPath + "\r\nr\r\n\r\n\r\n", {{kLongPath, "r"}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ostrel
