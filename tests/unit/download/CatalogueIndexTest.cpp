#include "download/CatalogueIndex.h"
#include "download/DelOldPrev.h"
#include "download/IndexTokenizer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "fakes/TempDir.h"
#include "fakes/TestFileSystem.h"

namespace ostrel {
namespace {

using Texts = std::vector<std::string>;

std::string indexOf(int n) {
    std::string bytes;
    for (int i = 0; i < n; ++i) {
        const std::string p = std::to_string(1000 + i).substr(1);
        bytes += "dir" + p + "/p" + p + ".jpg prv01/p" + p + ".jpg 12-01-06\n";
    }
    return bytes;
}

TEST(CatalogueIndexTest, FieldsEndAtSpacesAtTheEndAndAfterAFullDate) {
    const std::pair<std::string, Texts> cases[] = {
        {"a/1 b/1 12-01-06\nc/2 d/2 11-02-06\n", {"a/1", "b/1", "12-01-06", "c/2", "d/2", "11-02-06"}},
        {"a b 12-01-06\nc d 11-02-06", {"a", "b", "12-01-06", "c", "d", "11-02-06"}},
        {"a b 1-01-06 \nc d 1-01-06", {"a", "b", "1-01-06", "\nc", "d", "1-01-06"}},
        {"a b 12-01-06 c d 1-1-06 e f 1-01-06", {"a", "b", "12-01-06", "c", "d", "1-1-06", "e", "f", "1-01-06"}},
        {"a b 12-01-06Xc d 1-01-06Yz", {"a", "b", "12-01-06", "c", "d", "1-01-06", "z"}},  // any separator
        {"a b 123456789z", {"a", "b", "12345678", "z"}},                                   // no '-' second
        {"a b 12-01-06\r\nc d 12-01-06\r\n", {"a", "b", "12-01-06", "\nc", "d", "12-01-06", "\n"}},
        {"a\nb  c\n", {"a\nb", "", "c\n"}},
    };
    // That the automatic download's reader takes every third of them is the fuzz target's property.
    for (const auto& [bytes, fields] : cases) {
        Texts all;
        IndexTokenizer tokens(bytes);
        while (auto field = tokens.next()) all.push_back(field->text);
        EXPECT_EQ(all, fields) << bytes;
    }
}

TEST(CatalogueIndexTest, LoadwallsGivesUpOnAShortIndexAtItsLastCharacter) {
    const std::string full = indexOf(100), ninetyNine = indexOf(99);
    const struct {
        std::string bytes;
        std::size_t fields;
        int pageCount;
        std::string last;
    } cases[] = {
        {full, 300, 25, "12-01-06"},
        {full.substr(0, full.size() - 1), 300, 25, "12-01-06"},
        {ninetyNine + "x y z", 300, 25, "z"},  // 299 stored when the last character comes
        {ninetyNine + "x yz", 298, 0, "x"},    // 298: the field being read is dropped
        {ninetyNine, 296, 0, "prv01/p098.jpg"},
        {"", 0, 0, ""},
    };
    for (const auto& c : cases) {
        const CatalogueIndex index = loadwalls(c.bytes);
        EXPECT_EQ(index.fields.size(), c.fields) << c.bytes.size();
        EXPECT_EQ(index.pageCount, c.pageCount) << c.bytes.size();
        EXPECT_EQ(index.fields.empty() ? "" : index.fields.back(), c.last);
    }
    // Which records there are is the fuzz target's property; the last one's
    // date was not stored, its paths were.
    EXPECT_EQ(catalogueRecord(loadwalls(full), 99).value().previewPath, "prv01/p099.jpg");
    EXPECT_EQ(catalogueRecord(loadwalls(ninetyNine), 98).value().date, "");
}

TEST(CatalogueIndexTest, TheFileIsReadWholeOrNotAtAll) {
    testing::TempDir dir;
    testing::TestFileSystem fs;
    const std::string folder = dir.path() + "/", bytes = indexOf(100) + std::string(200000, 'x');
    EXPECT_FALSE(loadwalls(fs, folder) || loadwall(fs, folder));
    const std::string path = dir.write("rz.txt", bytes);
    EXPECT_EQ(loadwalls(fs, folder).value().fields, loadwalls(bytes).fields);
    EXPECT_EQ(loadwall(fs, folder), loadwall(bytes));
    fs.readFailsAfter[path] = 100;
    EXPECT_FALSE(loadwalls(fs, folder) || loadwall(fs, folder));
    fs.readFailsAfter.clear();
    fs.unreadable.insert(path);
    EXPECT_FALSE(loadwalls(fs, folder) || loadwall(fs, folder));
}

TEST(CatalogueIndexTest, DelOldPrevSparesWhatAFullPreviousIndexNames) {
    const std::string full =
        "dir000/p000.jpg abc/d.j 12-01-06\ndir001/p001.jpg abcd/e.j 1-01-06\n" + indexOf(100).substr(80);
    const std::string fields299 = full.substr(0, full.size() - 10);
    using Names = std::set<std::string>;
    const struct {
        std::string index;  // empty: no rz.txt
        bool readable, result;
        Names deleted;
    } cases[] = {
        {full, true, true, {"stale.jpg", "P002.jpg", "abcd_e.j", "p002.jpg ", "Rz.txt"}},
        {fields299, true, true, {}},
        {"", true, true, {}},
        {full, false, false, {}},
    };
    for (const auto& c : cases) {
        testing::TempDir dir;
        if (!c.index.empty()) dir.write("rz.txt", c.index);
        for (const char* name : {"loaded.txt", "p002.jpg", "p099.jpg", "abc_d.j", ".j", "1-01-06", "_p002.jpg",
                                 "stale.jpg", "P002.jpg", "abcd_e.j", "p002.jpg ", "Rz.txt"})
            dir.write(name, "x");
        std::filesystem::create_directory(dir.file("sub"));
        dir.write("sub/stale.jpg", "x");
        std::filesystem::create_directory_symlink(dir.file("sub"), dir.file("linked"));  // as a junction would be
        auto contents = [&] {
            Names names;
            for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path()))
                names.insert(e.path().lexically_relative(dir.path()).string() + (e.is_directory() ? "/" : ""));
            return names;
        };
        Names expected;
        for (const std::string& name : contents())
            if (!c.deleted.count(name)) expected.insert(name);

        testing::TestFileSystem fs;
        if (!c.readable) fs.unreadable.insert(dir.file("rz.txt"));
        EXPECT_EQ(DelOldPrev(fs, dir.path() + "/"), c.result);
        EXPECT_EQ(contents(), expected) << c.index.size();
    }
}

}  // namespace
}  // namespace ostrel
