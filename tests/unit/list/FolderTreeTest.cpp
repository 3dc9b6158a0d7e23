// The folders a user adds from: the scan for pictures and the chooser's tree.
#include "list/FolderScan.h"
#include "list/FolderTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <vector>

#include "fakes/TempDir.h"
#include "fakes/TestFileSystem.h"

namespace ostrel {
namespace {

using Texts = std::vector<std::string>;

// Folders held in memory, keyed by their path with a trailing "\". The host's
// file system has no hidden or system flags, so the tree's filters are fed here.
struct MemoryFolders final : FileSystem {
    std::map<std::string, std::vector<FolderEntry>> folders;

    bool listFolder(const std::string& folder, const std::function<bool(const FolderEntry&)>& visit) const override {
        auto it = folders.find(folder);
        if (it == folders.end()) return false;
        for (const FolderEntry& entry : it->second)
            if (!visit(entry)) break;
        return true;
    }
    bool fileExists(const std::string&) const override { return false; }
    bool createDirectory(const std::string&) override { return false; }
    std::unique_ptr<ReadStream> openRead(const std::string&) const override { return nullptr; }
    std::unique_ptr<WriteStream> openReplace(const std::string&) override { return nullptr; }
    bool deleteFile(const std::string&) override { return false; }
    bool setAttributes(const std::string&, std::uint32_t) override { return false; }
    bool removeDirectory(const std::string&) override { return false; }
    void removeStaleTemporaries(const std::string&) override {}
};

FolderEntry folder(const std::string& name) { return {name, true, false, false, false}; }
FolderEntry hidden(const std::string& name) { return {name, true, true, false, false}; }
FolderEntry system(const std::string& name) { return {name, true, false, true, false}; }
FolderEntry file(const std::string& name) { return {name, false, false, false, false}; }

// A drive as Windows lists it: the root has no "." and "..", its folders do.
MemoryFolders sampleDisk() {
    MemoryFolders fs;
    fs.folders = {{"C:\\",
                   {system("$Recycle.Bin"), hidden("Hidden"), file("boot.ini"), folder("Photos"), folder("ab"),
                    folder("Empty"), folder("(2005)"), folder("Locked")}},
                  {"C:\\$Recycle.Bin\\", {folder("."), folder(".."), folder("S-1-5")}},
                  {"C:\\Hidden\\", {folder("."), folder(".."), folder("x")}},
                  {"C:\\Photos\\", {folder("."), folder(".."), folder("2005"), folder("ab")}},
                  {"C:\\Photos\\2005\\", {folder("."), folder(".."), file("a.jpg")}},
                  {"C:\\Photos\\ab\\", {folder("."), folder("..")}},
                  {"C:\\ab\\", {folder("."), folder(".."), folder("cd")}},
                  {"C:\\ab\\cd\\", {folder("."), folder("..")}},
                  {"C:\\Empty\\", {folder("."), folder(".."), hidden("h"), system("s"), file("f.bmp")}},
                  {"C:\\(2005)\\", {folder("."), folder(".."), file("x.txt"), folder("$Recycle.Bin")}},
                  {"C:\\$Recycle.Bin\\S-1-5\\", {folder("."), folder("..")}}};
    return fs;  // C:\Locked\ cannot be read: it is not in the map
}

Texts names(const std::vector<ChildFolder>& children) {
    Texts out;
    for (const auto& c : children) out.push_back(c.name + (c.expandable ? "+" : ""));
    return out;
}

TEST(FolderTreeTest, NextLevelListsVisibleFoldersInOrderWithTheirExpandButtons) {
    const MemoryFolders fs = sampleDisk();
    const struct {
        const char* path;
        Texts children;
    } cases[] = {
        // "+" marks an expand button. Empty has only a hidden and a system
        // folder under it; Locked cannot be looked into.
        {"C:\\", {"Photos+", "ab+", "Empty", "(2005)+", "Locked"}},
        {"C:", {"Photos+", "ab+", "Empty", "(2005)+", "Locked"}},
        // "." and ".." are left out, but a name sorting before them is not.
        {"C:\\(2005)\\", {"$Recycle.Bin"}},
        {"C:\\Photos\\", {"2005", "ab"}},
        {"C:\\Empty\\", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const auto children = NextLevel(fs, c.path);
        ASSERT_TRUE(children.has_value());
        EXPECT_EQ(names(*children), c.children);
    }
    EXPECT_FALSE(NextLevel(fs, "C:\\Locked\\").has_value());
    EXPECT_FALSE(NextLevel(fs, "D:\\").has_value());
}

TEST(FolderTreeTest, OpenlastWalksDownAsFarAsTheFoldersGo) {
    const MemoryFolders fs = sampleDisk();
    const std::vector<Drive> drives = {{'A', DriveKind::Removable}, {'C', DriveKind::Fixed}};
    const struct {
        const char* name;
        const char* lastopen;
        Texts expand;
        bool select;
    } cases[] = {
        {"Folder", "C:\\Photos\\2005\\", {"C:", "Photos", "2005"}, true},
        {"NoTrailingBackslash", "C:\\Photos\\2005", {"C:", "Photos", "2005"}, true},
        {"FolderWithoutSubfolders", "C:\\Empty\\", {"C:", "Empty"}, true},
        {"ShortNameBelowTheFirstLevel", "C:\\Photos\\ab\\", {"C:", "Photos", "ab"}, true},
        // Stops at the first folder the tree does not show, selecting nothing.
        {"MissingFolder", "C:\\Photos\\Gone\\2005\\", {"C:", "Photos"}, false},
        {"NamesCompareExactly", "C:\\photos\\2005\\", {"C:"}, false},
        {"HiddenFolder", "C:\\Hidden\\x\\", {"C:"}, false},
        {"SystemFolder", "C:\\$Recycle.Bin\\S-1-5\\", {"C:"}, false},
        {"EmptyPartInTheMiddle", "C:\\Photos\\\\2005\\", {"C:", "Photos"}, false},
        // A first-level folder of two characters is expanded but not selected.
        {"BelowShortFirstLevelFolder", "C:\\ab\\cd\\", {"C:", "ab"}, false},
        {"DriveRoot", "C:\\", {"C:"}, false},
        {"BareDrive", "C:", {"C:"}, false},
        {"DriveWithoutMedium", "A:\\Photos\\", {"A:"}, false},
        {"LowerCaseDrive", "c:\\Photos\\", {}, false},
        {"NetworkPath", "\\\\server\\share\\", {}, false},
        {"Empty", "", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReopenWalk walk = openlastWalk(fs, drives, c.lastopen);
        EXPECT_EQ(walk.expand, c.expand);
        EXPECT_EQ(walk.selectLast, c.select);
    }
}

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
    for (const char* name : {"sub/deeper/x.jpg", "sub/y.bmp", "top.jpg"}) dir.write(name, "");
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
