#include "list/FolderTree.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace ostrel {
namespace {

using Texts = std::vector<std::string>;

// Folders held in memory, keyed by their path with a trailing "\". The host's
// file system has no hidden or system flags, so the tree's filters are fed here.
class MemoryFolders final : public FileSystem {
public:
    MemoryFolders& add(const std::string& folder, std::vector<FolderEntry> entries) {
        folders_[folder] = std::move(entries);
        return *this;
    }
    int delivered(const std::string& folder) const {
        auto it = delivered_.find(folder);
        return it == delivered_.end() ? 0 : it->second;
    }

    bool listFolder(const std::string& folder,
                    const std::function<bool(const FolderEntry&)>& visit) const override {
        auto it = folders_.find(folder);
        if (it == folders_.end()) return false;
        for (const FolderEntry& entry : it->second) {
            ++delivered_[folder];
            if (!visit(entry)) break;
        }
        return true;
    }
    bool fileExists(const std::string&) const override { return false; }
    bool createDirectory(const std::string&) override { return false; }
    std::unique_ptr<ReadStream> openRead(const std::string&) const override { return nullptr; }
    std::unique_ptr<WriteStream> openReplace(const std::string&) override { return nullptr; }
    bool deleteFile(const std::string&) override { return false; }
    void removeStaleTemporaries(const std::string&) override {}

private:
    std::map<std::string, std::vector<FolderEntry>> folders_;
    mutable std::map<std::string, int> delivered_;
};

FolderEntry folder(const std::string& name) { return {name, true, false, false, false}; }
FolderEntry hidden(const std::string& name) { return {name, true, true, false, false}; }
FolderEntry system(const std::string& name) { return {name, true, false, true, false}; }
FolderEntry file(const std::string& name) { return {name, false, false, false, false}; }

// A drive as Windows lists it: the root has no "." and "..", its folders do.
MemoryFolders sampleDisk() {
    MemoryFolders fs;
    fs.add("C:\\", {system("$Recycle.Bin"), hidden("Hidden"), file("boot.ini"), folder("Photos"),
                    folder("ab"), folder("Empty"), folder("(2005)"), folder("Locked")})
        .add("C:\\$Recycle.Bin\\", {folder("."), folder(".."), folder("S-1-5")})
        .add("C:\\Hidden\\", {folder("."), folder(".."), folder("x")})
        .add("C:\\Photos\\", {folder("."), folder(".."), folder("2005"), folder("ab")})
        .add("C:\\Photos\\2005\\", {folder("."), folder(".."), file("a.jpg")})
        .add("C:\\Photos\\ab\\", {folder("."), folder("..")})
        .add("C:\\ab\\", {folder("."), folder(".."), folder("cd")})
        .add("C:\\ab\\cd\\", {folder("."), folder("..")})
        .add("C:\\Empty\\", {folder("."), folder(".."), hidden("h"), system("s"), file("f.bmp")})
        .add("C:\\(2005)\\", {folder("."), folder(".."), file("x.txt"), folder("$Recycle.Bin")})
        .add("C:\\$Recycle.Bin\\S-1-5\\", {folder("."), folder("..")});
    // C:\Locked\ cannot be read: it is not in the map.
    return fs;
}

Texts names(const std::vector<ChildFolder>& children) {
    Texts out;
    for (const auto& c : children) out.push_back(c.name + (c.expandable ? "+" : ""));
    return out;
}

TEST(FolderTreeTest, NextLevelListsVisibleFoldersInOrderWithTheirExpandButtons) {
    const MemoryFolders fs = sampleDisk();
    const struct { const char* path; Texts children; } cases[] = {
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

TEST(FolderTreeTest, TheProbeStopsAtTheFirstSubfolder) {
    MemoryFolders fs;
    fs.add("C:\\", {folder("Big")})
        .add("C:\\Big\\", {folder("."), folder(".."), folder("a"), folder("b"), folder("c")});
    ASSERT_EQ(names(*NextLevel(fs, "C:\\")), Texts{"Big+"});
    EXPECT_EQ(fs.delivered("C:\\Big\\"), 3);
    EXPECT_EQ(fs.delivered("C:\\Big\\a\\"), 0);  // grandchildren are not read
}

TEST(FolderTreeTest, GetpathPutsABackslashAfterEveryNode) {
    EXPECT_EQ(getpath({"C:", "Photos", "2005"}), "C:\\Photos\\2005\\");
    EXPECT_EQ(getpath({"C:"}), "C:\\");
}

TEST(FolderTreeTest, OpenlastWalksDownAsFarAsTheFoldersGo) {
    const MemoryFolders fs = sampleDisk();
    const std::vector<Drive> drives = {{'A', DriveKind::Removable}, {'C', DriveKind::Fixed}};
    const struct { const char* name; const char* lastopen; Texts expand; bool select; } cases[] = {
        {"Folder", "C:\\Photos\\2005\\", {"C:", "Photos", "2005"}, true},
        {"NoTrailingBackslash", "C:\\Photos\\2005", {"C:", "Photos", "2005"}, true},
        {"FolderWithoutSubfolders", "C:\\Empty\\", {"C:", "Empty"}, true},
        {"ShortNameBelowTheFirstLevel", "C:\\Photos\\ab\\", {"C:", "Photos", "ab"}, true},
        // Stops at the first folder the tree does not show, selecting nothing.
        {"MissingFolder", "C:\\Photos\\Gone\\2005\\", {"C:", "Photos"}, false},
        {"MissingLastFolder", "C:\\Photos\\2006\\", {"C:", "Photos"}, false},
        {"NamesCompareExactly", "C:\\photos\\2005\\", {"C:"}, false},
        {"HiddenFolder", "C:\\Hidden\\x\\", {"C:"}, false},
        {"SystemFolder", "C:\\$Recycle.Bin\\S-1-5\\", {"C:"}, false},
        {"EmptyPartInTheMiddle", "C:\\Photos\\\\2005\\", {"C:", "Photos"}, false},
        // A first-level folder of two characters is expanded but not selected.
        {"ShortFirstLevelFolder", "C:\\ab\\", {"C:", "ab"}, false},
        {"BelowShortFirstLevelFolder", "C:\\ab\\cd\\", {"C:", "ab"}, false},
        {"DriveRoot", "C:\\", {"C:"}, false},
        {"BareDrive", "C:", {"C:"}, false},
        {"DriveWithoutMedium", "A:\\Photos\\", {"A:"}, false},
        {"UnknownDrive", "Q:\\Photos\\", {}, false},
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

}  // namespace
}  // namespace ostrel
