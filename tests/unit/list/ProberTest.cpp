#include "list/Prober.h"

#include <gtest/gtest.h>

#include <vector>

#include "fakes/TempDir.h"
#include "fakes/TestImages.h"
#include "list/ResolutionText.h"
#include "platform/posix/PosixFileSystem.h"

namespace ostrel {
namespace {

using Result = Prober::TickResult;
using Texts = std::vector<std::string>;
using Rows = std::vector<std::pair<std::string, std::string>>;

struct ProberTest : ::testing::Test {
    // Each row: a 2x3 BMP made under the test folder ("-" for a file that does not
    // exist) and the resolution text the row starts with.
    WallpaperList listOf(const Rows& rows) {
        WallpaperList list;
        for (const auto& [name, resolution] : rows) {
            list.appendRow(name == "-" ? dir.file("gone.bmp") : dir.write(name + ".bmp", bmp));
            list.setCell(ResolutionColumn, list.rowCount() - 1, resolution);
        }
        return list;
    }
    static Texts resolutions(const WallpaperList& list) {
        Texts out;
        for (int row = 1; row < list.rowCount(); ++row) out.push_back(list.resolution(row));
        return out;
    }

    testing::TempDir dir;
    PosixFileSystem fs;
    Prober prober;
    const std::string bmp = testing::buildBmp({.width = 2, .height = 3, .pixels = std::string(24, '\x7F')});
    const std::string probed = padResolution("2x3"), failed = padResolution("0x0");
};

TEST_F(ProberTest, EmptyListOrProbeRowAtOrPastTheEndDoesNothing) {
    WallpaperList empty, list = listOf({{"a", ""}});
    for (auto [target, row] : {std::pair{&empty, 0}, {&list, 2}, {&list, 7}}) {
        prober.setProbeRow(row);
        EXPECT_EQ(prober.tick(fs, *target), Result::Nothing);
        EXPECT_EQ(prober.probeRow(), row);
    }
}

TEST_F(ProberTest, RunFillsMissingAndFailedCellsAndFinishesOnceOnTheLastEntry) {
    constexpr Result A = Result::Advanced, F = Result::Finished;
    const struct {
        Rows rows;
        int from;
        std::vector<Result> results;
        Texts after;
    } cases[] = {
        // The header and each missing file take a tick of their own, a known row shares one. A
        // missing file keeps its text, a failed probe is retried, a known size is not probed again.
        {{{"a", ""}, {"-", "      0x0"}, {"b", "       0x0"}, {"-", ""}, {"c", "    9x9"}, {"d", ""}},
         0,
         {A, A, A, A, A, F},
         {probed, "      0x0", probed, "", "    9x9", probed}},
        // A last entry passed over as known or missing never finishes.
        {{{"a", "  1x1"}, {"b", ""}, {"c", "  1x1"}}, 1, {A, A}, {"  1x1", probed, "  1x1"}},
        {{{"a", ""}, {"-", ""}}, 1, {A, A}, {probed, ""}},
    };
    for (const auto& c : cases) {
        WallpaperList list = listOf(c.rows);
        prober.setProbeRow(c.from);
        std::vector<Result> results;
        for (Result r; results.size() < 100 && (r = prober.tick(fs, list)) != Result::Nothing;) results.push_back(r);
        EXPECT_EQ(results, c.results);
        EXPECT_EQ(resolutions(list), c.after);
        EXPECT_EQ(list.resolution(0), "Разрешение");
    }
}

TEST_F(ProberTest, OneTickSkipsAtMostThreeKnownRowsAndChecksOnlyItsFirstRowExists) {
    const struct {
        Rows rows;
        int probeRowAfter;
        Texts after;
    } cases[] = {
        {{{"a", "  1x1"}, {"b", "  1x1"}, {"c", "  1x1"}, {"d", "  1x1"}, {"e", ""}},
         4,
         {"  1x1", "  1x1", "  1x1", "  1x1", ""}},
        // A failed cell among the skipped rows is probed in the same tick.
        {{{"a", "  1x1"}, {"b", "  1x1"}, {"c", "   0x0"}, {"d", ""}}, 4, {"  1x1", "  1x1", probed, ""}},
        {{{"a", "  1x1"}, {"-", ""}, {"b", ""}}, 3, {"  1x1", failed, ""}},
    };
    for (const auto& c : cases) {
        WallpaperList list = listOf(c.rows);
        prober.setProbeRow(1);
        EXPECT_EQ(prober.tick(fs, list), Result::Advanced);
        EXPECT_EQ(prober.probeRow(), c.probeRowAfter);
        EXPECT_EQ(resolutions(list), c.after);
    }
}

}  // namespace
}  // namespace ostrel
