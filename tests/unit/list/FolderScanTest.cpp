#include "list/FolderScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "fakes/TempDir.h"
#include "fakes/TestFileSystem.h"

namespace ostrel {
namespace {

std::vector<std::string> names(const WallpaperList& list, const std::string& base) {
    std::vector<std::string> out;
    for (int row = 1; row < list.rowCount(); ++row) {
        EXPECT_EQ(list.cell(NumberColumn, row), std::to_string(row));
        out.push_back(list.path(row).substr(base.size()));
    }
    return out;
}

TEST(FolderScan, TakesPicturesByNameAnywhereInItAndAddsAgainOnASecondScan) {
    testing::TempDir dir;
    for (const char* name : {"a.jpg", "B.JPEG", "c.Bmp", "d.png", "e.jpg.txt", "photo.jpgx", "photo"})
        dir.write(name, "not looked at");
    testing::TestFileSystem fs;
    WallpaperList list;
    EXPECT_EQ(ScanDir(fs, dir.path(), false, list), 5);
    std::vector<std::string> found = names(list, dir.path() + "\\");
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"B.JPEG", "a.jpg", "c.Bmp", "e.jpg.txt", "photo.jpgx"}));
    EXPECT_EQ(ScanDir(fs, dir.path() + "\\", false, list), 5);  // no duplicate check
    EXPECT_EQ(list.entryCount(), 10);
    EXPECT_EQ(list.resolution(1), "");
}

TEST(FolderScan, SubfoldersDepthFirstButNeverThroughALinkOrPastThePathLimit) {
    testing::TempDir dir;
    std::filesystem::create_directories(dir.file("sub/deeper"));
    dir.write("sub/deeper/x.jpg", "");
    dir.write("sub/y.bmp", "");
    dir.write("top.jpg", "");
    // A link back up would be scanned for ever.
    std::filesystem::create_directory_symlink(dir.path(), dir.file("sub/loop"));
    const std::string longName(250, 'n');
    std::filesystem::create_directories(dir.file(longName));
    dir.write(longName + "/z.jpg", "");
    dir.write(std::string(259 - dir.path().size(), 'f') + ".jpg", "");  // one character too many

    testing::TestFileSystem fs;
    WallpaperList flat, deep;
    ScanDir(fs, dir.path(), false, flat);
    EXPECT_EQ(names(flat, dir.path() + "\\"), (std::vector<std::string>{"top.jpg"}));
    ScanDir(fs, dir.path(), true, deep);
    std::vector<std::string> found = names(deep, dir.path() + "\\");
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"sub\\deeper\\x.jpg", "sub\\y.bmp", "top.jpg"}));
    // A missing folder adds nothing and says nothing.
    EXPECT_EQ(ScanDir(fs, dir.file("none"), true, deep), 0);
}

}  // namespace
}  // namespace ostrel
