#include "list/Prober.h"

#include <gtest/gtest.h>

#include <vector>

#include "fakes/FakeHeaderReader.h"
#include "fakes/FakeServices.h"
#include "fakes/TempDir.h"
#include "fakes/TestFileSystem.h"
#include "fakes/TestImages.h"
#include "list/ListModel.h"
#include "list/ResolutionText.h"

namespace ostrel {
namespace {

using Texts = std::vector<std::string>;
using Rows = std::vector<std::pair<std::string, std::string>>;

struct ProberTest : ::testing::Test {
    ProberTest() {
        model.onResolutionsWritten([this](int first, int last) { written.emplace_back(first, last); });
        model.openWorkingList();  // none there: the list is the program's to write
    }
    // Each row: a file made under the test folder and the resolution text the
    // row starts with. "a".."z" are 2x3 BMPs, "wide" a 4x5 one, "text" no
    // picture, "-" a file that does not exist.
    void listOf(const Rows& rows) {
        WallpaperList& list = model.mutableList();
        list.clear();
        for (const auto& [name, resolution] : rows) {
            const std::string bytes = name == "wide" ? wideBmp : name == "text" ? "not a picture" : bmp;
            list.appendRow(name == "-" ? dir.file("gone.bmp") : dir.write(name + ".bmp", bytes));
            list.setCell(ResolutionColumn, list.rowCount() - 1, resolution);
        }
    }
    Texts resolutions() const {
        Texts out;
        for (int row = 1; row < model.list().rowCount(); ++row) out.push_back(model.list().resolution(row));
        return out;
    }
    bool saved() const { return files.fileExists(model.defaultListPath()); }

    testing::TempDir dir;
    testing::TestFileSystem files;
    testing::FakeDialogs dialogs;
    testing::FakeHeaderReader headers{files};
    ListModel model{files, dialogs, headers, dir.path()};
    std::vector<std::pair<int, int>> written;
    const std::string bmp = testing::buildBmp({.width = 2, .height = 3, .pixels = std::string(24, '\x7F')});
    const std::string wideBmp = testing::buildBmp({.width = 4, .height = 5, .pixels = std::string(80, '\x7F')});
    const std::string small = padResolution("2x3"), wide = padResolution("4x5"), failed = padResolution("0x0");
};

// A missing file keeps its text, a failed probe is read again, a known size
// is not. The list is saved when the walk wrote something or read the last
// entry, and the walk then ends by itself: no timer ticks on.
TEST_F(ProberTest, AWalkFillsMissingAndFailedCellsThenSavesAndEnds) {
    const struct {
        Rows rows;
        int from;
        Texts after;
        bool saved;
    } cases[] = {
        {{{"a", ""}, {"-", "      0x0"}, {"b", "       0x0"}, {"-", ""}, {"c", "    9x9"}, {"d", ""}},
         0,
         {small, "      0x0", small, "", "    9x9", small},
         true},
        {{{"a", "  1x1"}, {"-", ""}}, 1, {"  1x1", ""}, false},
        // The last entry read again: saved, as it always was, although its text stays.
        {{{"a", "  1x1"}, {"text", failed}}, 1, {"  1x1", failed}, true},
        {{}, 1, {}, false},
    };
    for (const auto& c : cases) {
        (void)files.deleteFile(model.defaultListPath());
        listOf(c.rows);
        model.restartProber(c.from);
        headers.deliverAll();
        EXPECT_EQ(resolutions(), c.after);
        EXPECT_EQ(model.list().resolution(0), "Разрешение");
        EXPECT_EQ(saved(), c.saved) << c.rows.size();
        EXPECT_FALSE(model.probing());
        EXPECT_TRUE(headers.pending.empty());
    }
}

// Rows fill in top to bottom, a batch at a time, and each batch reports the
// rows it changed.
TEST_F(ProberTest, ALongListIsReadInBatchesTopToBottom) {
    Rows rows(600, {"a", ""});
    rows[0].second = "  5x5";
    listOf(rows);
    model.restartProber(1);
    ASSERT_TRUE(headers.deliverOne());
    const auto [first, last] = written.at(0);
    EXPECT_EQ(first, 2);
    EXPECT_LT(last, 600);
    EXPECT_EQ(model.list().resolution(last), small);
    EXPECT_EQ(model.list().resolution(last + 1), "");
    EXPECT_TRUE(model.probing());
    headers.deliverAll();
    EXPECT_EQ(written.back().second, 600);
    for (std::size_t i = 1; i < written.size(); ++i) EXPECT_EQ(written[i].first, written[i - 1].second + 1);
    EXPECT_EQ(model.list().resolution(600), small);
}

// Two batches are read at a time. One held up by a file that blocks leaves
// the rest of the walk to the other, and a restart reads its rows again.
TEST_F(ProberTest, ABatchThatNeverReturnsHoldsUpOnlyItsOwnRows) {
    listOf(Rows(600, {"a", ""}));
    model.restartProber(1);
    ASSERT_EQ(headers.pending.size(), 2u);
    const auto heldUp = std::move(headers.pending.front());
    headers.pending.erase(headers.pending.begin());
    headers.deliverAll();
    EXPECT_EQ(model.list().resolution(heldUp.batch.back().row), "");
    EXPECT_EQ(model.list().resolution(heldUp.batch.back().row + 1), small);
    EXPECT_EQ(model.list().resolution(600), small);
    EXPECT_TRUE(model.probing());  // not ended: the held-up rows are still unknown
    EXPECT_FALSE(saved());

    const int looksBefore = files.counts().fileExists;
    model.restartProber(1);
    headers.deliverAll();
    EXPECT_EQ(resolutions(), Texts(600, small));
    EXPECT_FALSE(model.probing());
    EXPECT_TRUE(saved());
    // A picture that is there costs one opening and no separate look (the
    // few looks left are the save's).
    EXPECT_LT(files.counts().fileExists - looksBefore, 10);
}

// What was read for a row is written only while the row still holds that
// file: the list may be sorted, edited or cleared while a batch is read, and
// a stopped walk writes nothing.
TEST_F(ProberTest, FindingsForRowsThatChangedMeanwhileAreNotWritten) {
    listOf({{"a", ""}, {"wide", ""}});
    model.restartProber(1);
    model.sort(SortKey::Name);  // descending: "wide" first, and the walk from row 1 again
    ASSERT_TRUE(headers.deliverOne());
    EXPECT_EQ(resolutions(), (Texts{"", ""}));
    headers.deliverAll();
    EXPECT_EQ(resolutions(), (Texts{wide, small}));

    listOf(Rows(600, {"a", ""}));
    model.restartProber(1);
    ASSERT_TRUE(headers.deliverOne());
    (void)files.deleteFile(model.defaultListPath());
    model.clear();
    headers.deliverAll();
    EXPECT_EQ(model.list().rowCount(), 1);
    EXPECT_FALSE(saved());  // clearing the list does not write it

    (void)files.deleteFile(model.defaultListPath());
    listOf({{"a", ""}});
    model.restartProber(1);
    model.stopProber();
    headers.deliverAll();
    EXPECT_EQ(resolutions(), (Texts{""}));
    EXPECT_FALSE(saved());
    EXPECT_FALSE(model.probing());
}

// A selected row is read beside the walk, without waiting for it. Unlike the
// walk, it stores "0x0" for a file that is not there.
TEST_F(ProberTest, ARowReadSoonIsWrittenAlone) {
    listOf({{"a", ""}, {"wide", ""}, {"b", "  1x1"}, {"-", ""}});
    model.probeSoon(3);  // known: nothing to read
    EXPECT_TRUE(headers.pending.empty());
    model.probeSoon(2);
    ASSERT_TRUE(headers.deliverOne());
    EXPECT_EQ(resolutions(), (Texts{"", wide, "  1x1", ""}));
    EXPECT_EQ(written, (std::vector<std::pair<int, int>>{{2, 2}}));
    model.probeSoon(4);
    ASSERT_TRUE(headers.deliverOne());
    EXPECT_EQ(resolutions(), (Texts{"", wide, "  1x1", padResolution("0x0")}));
    EXPECT_FALSE(saved());
}

}  // namespace
}  // namespace ostrel
