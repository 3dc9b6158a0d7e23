#include "app/ProgramRemoval.h"
#include "app/OneBoxAtATime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "fakes/FakeRegistry.h"
#include "fakes/FakeServices.h"

namespace ostrel {
namespace {

using testing::FakeDialogs;
using testing::FakeRegistry;
using Texts = std::vector<std::string>;
constexpr RegistryRoot HKCU = RegistryRoot::CurrentUser;
const std::string kData = "C:\\Users\\x\\Documents\\Ostrel Wallpapers";

constexpr std::uint32_t kReadOnly = 0x1, kHidden = 0x2, kSystem = 0x4, kDir = 0x10, kArchive = 0x20, kNormal = 0x80,
                        kReparse = 0x400;

// Refuses what Windows refuses: deleting a folder or a read-only file, removing
// a folder that is not empty. Folders list "." and ".." first, then by name.
struct MemoryDisk final : FileSystem {
    std::map<std::string, std::uint32_t> entries;  // path without a trailing "\" -> attribute bits
    mutable Texts listed;
    std::map<std::string, std::uint32_t> attributeChanges;
    std::function<void()> beforeFirstChange;
    std::uint32_t dotBits = kDir;

    bool is(const std::string& path, std::uint32_t dir) const {
        auto it = entries.find(path);
        return it != entries.end() && (it->second & kDir) == dir;
    }
    static bool childOf(const std::string& path, const std::string& f) {
        return path.starts_with(f + "\\") && path.find('\\', f.size() + 1) == std::string::npos;
    }
    bool fileExists(const std::string& path) const override { return is(path, 0); }
    bool listFolder(const std::string& folder, const std::function<bool(const FolderEntry&)>& visit) const override {
        const std::string f = folder.ends_with('\\') ? folder.substr(0, folder.size() - 1) : folder;
        listed.push_back(f);
        if (!is(f, kDir)) return false;
        std::vector<std::pair<std::string, std::uint32_t>> all = {{".", dotBits}, {"..", dotBits}};
        for (const auto& [path, bits] : entries)
            if (childOf(path, f)) all.emplace_back(path.substr(f.size() + 1), bits);
        for (const auto& [name, bits] : all) {
            FolderEntry e;
            e.name = name;
            e.attributes = bits;
            if (!visit(e)) break;
        }
        return true;
    }
    bool deleteFile(const std::string& path) override {
        if (!is(path, 0) || (entries[path] & kReadOnly)) return false;
        return change(), entries.erase(path), true;
    }
    bool setAttributes(const std::string& path, std::uint32_t bits) override {
        if (!entries.contains(path)) return false;
        change();
        attributeChanges[path] = bits;
        entries[path] = bits | (entries[path] & kDir);
        return true;
    }
    bool removeDirectory(const std::string& path) override {
        if (!is(path, kDir) || std::ranges::any_of(entries, [&](const auto& e) { return childOf(e.first, path); }))
            return false;
        return change(), entries.erase(path), true;
    }
    bool createDirectory(const std::string&) override { return false; }
    std::unique_ptr<ReadStream> openRead(const std::string&) const override { return nullptr; }
    std::unique_ptr<WriteStream> openReplace(const std::string&) override { return nullptr; }
    void removeStaleTemporaries(const std::string&) override {}

    void add(const std::string& path, std::uint32_t bits) {  // with the folders above it
        for (auto slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1))
            entries.try_emplace(path.substr(0, slash), kDir);
        entries[path] = bits;
    }
    Texts paths() const {
        Texts out;
        for (const auto& [path, bits] : entries) out.push_back(path);
        return out;
    }
    void change() {
        if (beforeFirstChange) std::exchange(beforeFirstChange, nullptr)();
    }
};

TEST(RemovalAllowedTest, OnlyAFullPathEndingInTheProgramsOwnFolder) {
    const char* accepted[] = {
        "C:\\Users\\x\\Documents\\Ostrel Wallpapers",
        "C:\\Users\\x\\Documents\\Ostrel Wallpapers\\",
        "d:\\docs\\OSTREL wallpapers",
        "C:\\Ostrel Wallpapers",
        "D:\\\\Ostrel Wallpapers",  // Documents at the root of D:
    };
    for (const char* path : accepted) EXPECT_TRUE(removalAllowed(path)) << path;

    const char* refused[] = {
        // No drive: the current drive's root, a share, relative or drive-relative.
        "",
        "\\Ostrel Wallpapers",
        "\\\\server\\share\\Ostrel Wallpapers",
        "\\\\?\\C:\\Ostrel Wallpapers",
        "Ostrel Wallpapers",
        "..\\Ostrel Wallpapers",
        "C:Ostrel Wallpapers",
        "1:\\Ostrel Wallpapers",
        // A root, or another last name (the last one cut to the 100-character limit).
        "C:",
        "C:\\",
        "C:\\\\",
        "C:\\Users\\x\\Documents",
        "C:\\Users\\Ostrel Wallpapers2",
        "C:\\Ostrel Wallpapers ",
        "C:\\Users\\x\\Documents\\Ostrel Wallpapers\\\\",
        "C:\\Users\\x\\Documents\\Ostrel Wal",
        // Dot steps, also behind a "/".
        "C:\\Ostrel Wallpapers\\..\\Windows",
        "C:\\Windows\\..\\Ostrel Wallpapers",
        "C:\\Ostrel Wallpapers\\..",
        "C:\\Ostrel Wallpapers\\.",
        "C:\\.\\Ostrel Wallpapers",
        "C:\\a\\b/..\\Ostrel Wallpapers",
        "C:/Users/Ostrel Wallpapers",
        "C:\\Windows/Ostrel Wallpapers",
    };
    for (const char* path : refused) EXPECT_FALSE(removalAllowed(path)) << path;
}

struct ProgramRemovalTest : ::testing::Test {
    ProgramRemovalTest() {
        reg.set(HKCU, "RZ", "wid", "800");
        reg.setShellFolder("Programs", "C:\\Start\\Programs");
        reg.setShellFolder("Desktop", "C:\\Desk");
        disk.add(kData + "\\Default.tav", kArchive);
        disk.add(kData + "\\walls\\a.jpg", kArchive | kReadOnly);
        disk.add("C:\\Desk\\Ostrel Wallpapers.lnk", kArchive);
        disk.add("C:\\Desk\\Other.lnk", kArchive);
        disk.add("C:\\Start\\Programs\\Ostrel Wallpapers\\Ostrel Wallpapers.lnk", kArchive);
        disk.add("C:\\Start\\Programs\\Other\\Other.lnk", kArchive);
    }
    bool remove(const std::string& dataFolder = kData) { return removeProgramFiles(reg, disk, dialogs, dataFolder); }

    FakeRegistry reg;
    MemoryDisk disk;
    FakeDialogs dialogs;
};

TEST_F(ProgramRemovalTest, RemovesKeyDataShortcutAndMenuFolderAndNothingElse) {
    bool keyAtFirstChange = true;
    disk.beforeFirstChange = [&] { keyAtFirstChange = reg.keyExists(HKCU, "RZ"); };
    EXPECT_TRUE(remove());
    EXPECT_FALSE(keyAtFirstChange);  // the key goes first
    EXPECT_FALSE(reg.keyExists(HKCU, "RZ"));
    EXPECT_EQ(reg.values(HKCU, FakeRegistry::kShellFolders).size(), 2u);
    EXPECT_EQ(disk.paths(), (Texts{"C:\\Desk", "C:\\Desk\\Other.lnk", "C:\\Start", "C:\\Start\\Programs",
                                   "C:\\Start\\Programs\\Other", "C:\\Start\\Programs\\Other\\Other.lnk", "C:\\Users",
                                   "C:\\Users\\x", "C:\\Users\\x\\Documents"}));
    EXPECT_EQ(dialogs.messages, Texts{});
}

TEST_F(ProgramRemovalTest, AKeyThatCannotBeDeletedIsReportedAndTheRestGoes) {
    reg.set(HKCU, "RZ\\Sub", "x", "1");
    reg.readOnlyKeys.insert(FakeRegistry::keyId(HKCU, "RZ\\Sub"));
    EXPECT_TRUE(remove());
    EXPECT_EQ(dialogs.messages, Texts{"Could NOT delete HKEY_CURRENT_USER\\RZ"});
    EXPECT_FALSE(disk.fileExists(kData + "\\Default.tav"));
}

TEST_F(ProgramRemovalTest, EveryReportShowsAndIsWaitedForWhileATimersErrorIsUp) {
    for (const char* name : {"\\walls\\H1", "\\walls\\H2"}) disk.add(kData + name, kDir | kHidden);
    OneBoxAtATime boxes(dialogs);
    dialogs.whileShowing = [&] {
        if (dialogs.messages.size() == 1) {
            EXPECT_TRUE(removeProgramFiles(reg, disk, boxes, kData));
        }
    };
    const OneBoxAtATime::Background timer(boxes);
    boxes.message("Не удалось записать файл обоев.");
    EXPECT_EQ(dialogs.messages, (Texts{"Не удалось записать файл обоев.", "Could NOT delete " + kData + "\\walls\\H1",
                                       "Could NOT delete " + kData + "\\walls\\H2"}));
    EXPECT_EQ(dialogs.deepest, 2);
}

TEST_F(ProgramRemovalTest, RefusedDataFolderDeletesNothingAndNamesTheFolder) {
    const Texts before = disk.paths();
    EXPECT_FALSE(remove("C:\\Users\\x\\Documents"));
    EXPECT_TRUE(reg.keyExists(HKCU, "RZ"));
    EXPECT_EQ(disk.paths(), before);
    EXPECT_TRUE(disk.attributeChanges.empty());
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages.at(0).find("«C:\\Users\\x\\Documents»"), std::string::npos);
}

TEST_F(ProgramRemovalTest, ShellFoldersThatAreAbsentOrNotFullPathsAreLeftAlone) {
    // A relative Programs folder would resolve under the current folder.
    disk.add("Programs\\Ostrel Wallpapers\\keep.txt", kArchive);
    for (const char* programs : {static_cast<const char*>(nullptr), "Programs"}) {
        FakeRegistry r;  // no Desktop folder either
        if (programs) r.setShellFolder("Programs", programs);
        MemoryDisk d = disk;
        EXPECT_TRUE(removeProgramFiles(r, d, dialogs, kData));
        Texts expected = disk.paths();
        std::erase_if(expected, [](const std::string& p) { return p.starts_with(kData); });
        EXPECT_EQ(d.paths(), expected) << (programs ? programs : "none");
    }
    EXPECT_EQ(dialogs.messages, Texts{});
}

TEST(RemoveFolderTreeTest, ClearsProtectingBitsAndStopsAtFoldersThatAreNotPlain) {
    const std::string root = "C:\\R";
    MemoryDisk disk;
    disk.add(root + "\\a\\b\\Hid\\inside.txt", kArchive);
    disk.entries[root + "\\a\\b\\Hid"] = kDir | kHidden;
    disk.add(root + "\\a\\b\\after.txt", kArchive);  // after the failure, still deleted
    disk.add(root + "\\a\\Link", kDir | kReparse);   // a junction: never entered
    disk.add(root + "\\c\\d\\deep.txt", kNormal);
    disk.add(root + "\\c\\ro.txt", kArchive | kReadOnly);
    disk.add(root + "\\c\\ro2.txt", kReadOnly);
    disk.add(root + "\\hidden.txt", kHidden);
    disk.add(root + "\\sys.txt", kSystem | kHidden | kArchive);
    disk.add(root + "\\plain.txt", kArchive);
    disk.add("C:\\Sibling.txt", kArchive);
    disk.dotBits = kDir | 0x800;  // a compressed folder
    FakeDialogs dialogs;

    EXPECT_TRUE(removeFolderTree(disk, dialogs, root));

    EXPECT_EQ(dialogs.messages,
              (Texts{"Could NOT delete " + root + "\\a\\Link", "Could NOT delete " + root + "\\a\\b\\Hid"}));
    EXPECT_EQ(disk.paths(), (Texts{"C:\\R", "C:\\R\\a", "C:\\R\\a\\Link", "C:\\R\\a\\b", "C:\\R\\a\\b\\Hid",
                                   "C:\\R\\a\\b\\Hid\\inside.txt", "C:\\Sibling.txt"}));
    // Plain folders only, never ".", ".." or one with other bits.
    EXPECT_EQ(disk.listed, (Texts{root, root + "\\a", root + "\\a\\b", root + "\\c", root + "\\c\\d"}));
    const std::map<std::string, std::uint32_t> changes = {
        {root + "\\a\\Link", kArchive},   {root + "\\a\\b\\Hid", kArchive},  {root + "\\c\\d\\deep.txt", kArchive},
        {root + "\\c\\ro.txt", kArchive}, {root + "\\c\\ro2.txt", kArchive}, {root + "\\hidden.txt", kArchive},
        {root + "\\sys.txt", kArchive}};
    EXPECT_EQ(disk.attributeChanges, changes);
}

}  // namespace
}  // namespace ostrel
