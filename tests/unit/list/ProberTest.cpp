#include "list/Prober.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "fakes/TempDir.h"
#include "list/ImageProbe.h"
#include "platform/posix/PosixFileSystem.h"

namespace ostrel {
namespace {

using Result = Prober::TickResult;

// A 24-bit 2x3 BMP: 54 header bytes, then three rows of 2 pixels padded to 8 bytes.
std::string tinyBmp() {
    std::string b;
    auto u16 = [&](std::uint16_t v) { b += char(v & 0xFF), b += char(v >> 8); };
    auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    b += "BM";
    u32(54 + 24), u32(0), u32(54);
    u32(40), u32(2), u32(3), u16(1), u16(24), u32(0), u32(24), u32(2835), u32(2835), u32(0), u32(0);
    b.append(24, '\x7F');
    return b;
}

class ProberTest : public ::testing::Test {
protected:
    // Each entry: a file name made under the test folder ("-" for one that does
    // not exist) and the resolution text the row starts with.
    void makeList(const std::vector<std::pair<std::string, std::string>>& rows) {
        for (const auto& [name, resolution] : rows) {
            const std::string path = name == "-" ? dir.file("gone" + std::to_string(list.rowCount()) + ".bmp")
                                                 : dir.write(name + ".bmp", tinyBmp());
            list.appendRow(path);
            list.setCell(ResolutionColumn, list.rowCount() - 1, resolution);
        }
        list.fixHeaderIfEntries();
    }
    std::vector<Result> runUntilNothing() {
        std::vector<Result> results;
        for (int guard = 0; guard < 100; ++guard) {
            Result r = prober.tick(fs, list);
            if (r == Result::Nothing) return results;
            results.push_back(r);
        }
        ADD_FAILURE() << "prober never settled";
        return results;
    }

    testing::TempDir dir;
    PosixFileSystem fs;
    WallpaperList list;
    Prober prober;
    const std::string probed = padResolution("2x3");
    const std::string failed = padResolution("0x0");
};

TEST_F(ProberTest, EmptyListOrProbeRowAtOrPastEndDoesNothing) {
    prober.setProbeRow(0);
    EXPECT_EQ(prober.tick(fs, list), Result::Nothing);
    makeList({{"a", ""}});
    for (int row : {2, 7}) {
        prober.setProbeRow(row);
        EXPECT_EQ(prober.tick(fs, list), Result::Nothing);
        EXPECT_EQ(prober.probeRow(), row);
    }
    EXPECT_EQ(list.resolution(1), "");
}

TEST_F(ProberTest, HeaderRowIsSkippedAloneThenFirstEntryProbed) {
    makeList({{"a", ""}, {"b", ""}});
    prober.setProbeRow(0);
    EXPECT_EQ(prober.tick(fs, list), Result::Advanced);
    EXPECT_EQ(prober.probeRow(), 1);
    EXPECT_EQ(list.resolution(1), "");
    EXPECT_EQ(list.resolution(0), "Разрешение");
    EXPECT_EQ(prober.tick(fs, list), Result::Advanced);
    EXPECT_EQ(list.resolution(1), probed);
    EXPECT_EQ(list.resolution(2), "");
}

TEST_F(ProberTest, FillsMissingAndFailedCellsAndFinishesOnce) {
    makeList({{"-", "      0x0"}, {"a", "       0x0"}, {"-", ""}, {"b", ""}, {"c", "    9x9"}, {"d", ""}});
    prober.setProbeRow(0);
    std::vector<Result> results = runUntilNothing();
    ASSERT_FALSE(results.empty());
    EXPECT_EQ(results.back(), Result::Finished);
    EXPECT_EQ(std::count(results.begin(), results.end(), Result::Finished), 1);

    EXPECT_EQ(list.resolution(1), "      0x0");  // missing file keeps its text
    EXPECT_EQ(list.resolution(2), probed);       // a failed probe is retried
    EXPECT_EQ(list.resolution(3), "");
    EXPECT_EQ(list.resolution(4), probed);
    EXPECT_EQ(list.resolution(5), "    9x9");    // known sizes are not probed again
    EXPECT_EQ(list.resolution(6), probed);
    EXPECT_EQ(prober.tick(fs, list), Result::Nothing);
}

TEST_F(ProberTest, SkipsAtMostThreeKnownRowsPerTick) {
    makeList({{"a", "  1x1"}, {"b", "  1x1"}, {"c", "  1x1"}, {"d", "  1x1"}, {"e", ""}});
    EXPECT_EQ(prober.tick(fs, list), Result::Advanced);
    EXPECT_EQ(prober.probeRow(), 4);
    EXPECT_EQ(list.resolution(5), "");
    EXPECT_EQ(prober.tick(fs, list), Result::Finished);
    EXPECT_EQ(list.resolution(5), probed);
    EXPECT_EQ(list.resolution(4), "  1x1");
}

TEST_F(ProberTest, FailedCellAmongSkippedRowsIsRecomputedInSameTick) {
    makeList({{"a", "  1x1"}, {"b", "  1x1"}, {"c", "   0x0"}, {"d", ""}});
    EXPECT_EQ(prober.tick(fs, list), Result::Advanced);
    EXPECT_EQ(list.resolution(3), probed);
    EXPECT_EQ(list.resolution(4), "");
    EXPECT_EQ(prober.probeRow(), 4);
}

TEST_F(ProberTest, OnlyFirstRowOfTickIsCheckedForExistence) {
    makeList({{"a", "  1x1"}, {"-", ""}, {"b", ""}});
    EXPECT_EQ(prober.tick(fs, list), Result::Advanced);
    EXPECT_EQ(list.resolution(2), failed);
}

TEST_F(ProberTest, SkippingPastLastEntryNeverFinishes) {
    makeList({{"a", "  1x1"}, {"b", ""}, {"c", "  1x1"}});
    EXPECT_EQ(prober.tick(fs, list), Result::Advanced);  // fills row 2
    EXPECT_EQ(prober.tick(fs, list), Result::Advanced);  // skips row 3, off the end
    EXPECT_EQ(prober.probeRow(), 4);
    EXPECT_EQ(list.rowCount(), 4);
    EXPECT_EQ(prober.tick(fs, list), Result::Nothing);
}

TEST_F(ProberTest, LastEntryWithMissingFileNeverFinishes) {
    makeList({{"a", ""}, {"-", ""}});
    EXPECT_EQ(runUntilNothing(), (std::vector<Result>{Result::Advanced, Result::Advanced}));
    EXPECT_EQ(list.resolution(2), "");
}

}  // namespace
}  // namespace ostrel
