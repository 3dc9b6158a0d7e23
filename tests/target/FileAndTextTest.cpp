// The Windows services as the program relies on them: writes that never touch
// a file of the user's, left-overs cleaned up, names that are refused rather
// than mapped to a look-alike in the ANSI code page, and the single-instance
// marker.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/win32/SingleInstance.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32FileSystem.h"
#include "fakes/TempDir.h"

namespace ostrel {
namespace {

using testing::TempDir;

bool replaceWith(FileSystem& files, const std::string& path, const std::string& bytes) {
    auto out = files.openReplace(path);
    return out && out->write(bytes.data(), bytes.size()) && out->commit();
}

TEST(Win32Files, ReplacingNeverWritesOverAFileBesideTheTarget) {
    TempDir folder;
    win32::Win32FileSystem files;
    // In a folder too long for the system's own temporary names, the program
    // once wrote through "<target>.tmp~" and so took that file of the user's.
    // Its own temporary name is longer than the target's, and must still work.
    std::string deep = folder.path() + "\\" + std::string(246 - folder.path().size(), 'd');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    for (const std::string& dir : {folder.path(), deep}) {
        const std::string target = dir + "\\l.tav", beside = target + ".tmp~";
        std::ofstream(beside, std::ios::binary) << "mine";
        EXPECT_TRUE(replaceWith(files, target, "list")) << dir.size();
        EXPECT_EQ(TempDir::read(beside), "mine") << dir.size();
        EXPECT_EQ(TempDir::read(target), "list") << dir.size();
    }
}

// A picture the program is reading (a header, a preview) never stops the
// user, or the removal of the program's files, from deleting it; and a read
// gives a small file whole at once.
TEST(Win32Files, AFileBeingReadCanBeDeletedAndReadsWhole) {
    TempDir folder;
    win32::Win32FileSystem files;
    const std::string path = folder.write("p.jpg", std::string(3000, 'x'));
    auto in = files.openRead(path);
    ASSERT_TRUE(in);
    EXPECT_TRUE(files.deleteFile(path));
    std::string bytes(8192, '\0');
    EXPECT_EQ(in->read(bytes.data(), bytes.size()), 3000u);
    EXPECT_EQ(in->read(bytes.data(), bytes.size()), 0u);
    EXPECT_FALSE(in->failed());
}

TEST(Win32Files, StaleTemporariesGoAndNothingElse) {
    TempDir folder;
    win32::Win32FileSystem files;
    {
        auto abandoned = files.openReplace(folder.file("a.tav"));  // destroyed without commit
        ASSERT_TRUE(abandoned);
    }
    const std::string stale = folder.write("~ostrel0badf00d.tmp", "half");
    const std::string kept[] = {folder.write("~ostrelnotmine.tmp", "x"), folder.write("ostrel.tmp", "x"),
                                folder.write("~ostrel0badf00d.tmp.txt", "x")};
    files.removeStaleTemporaries(folder.path());
    EXPECT_EQ(TempDir::read(stale), "<missing>");
    for (const std::string& path : kept) EXPECT_EQ(TempDir::read(path), "x") << path;
    EXPECT_EQ(TempDir::read(folder.file("a.tav")), "<missing>");
}

TEST(Win32Text, NamesOutsideTheAnsiCodePageAreRefusedNotMapped) {
    ASSERT_EQ(GetACP(), 1251u) << "run with LANG=ru_RU.UTF-8";
    EXPECT_EQ(win32::wideToAnsi(L"C:\\Ёлка №1.tav"), std::optional<std::string>("C:\\\xA8\xEB\xEA\xE0 \xB9"
                                                                                "1.tav"));
    EXPECT_EQ(win32::ansiToWide("\xA8\xEB\xEA\xE0"), L"Ёлка");
    // Best fit would turn these into "cafe.tav" and "a.tav": other files.
    EXPECT_EQ(win32::wideToAnsi(L"caf\u00e9.tav"), std::nullopt);
    EXPECT_EQ(win32::wideToAnsi(L"\u0101.tav"), std::nullopt);
    EXPECT_EQ(win32::wideToAnsi(L"\U0001F600.tav"), std::nullopt);
}

TEST(Win32Text, FolderListingsGiveNamesOutsideTheAnsiCodePageAsMarkedTokensThatReachTheFile) {
    // "café.jpg" must not come back as "cafe.jpg", which may be another file;
    // its token, marked as such, reaches the file itself and names it in a message.
    TempDir folder;
    for (const wchar_t* name : {L"caf\u00e9.jpg", L"\u0401\u043b\u043a\u0430.jpg", L"cafe.txt"})
        std::ofstream(std::filesystem::path(win32::ansiToWide(folder.path()) + L"\\" + name)) << "x";
    win32::Win32FileSystem files;
    std::vector<std::string> names, foreign;
    ASSERT_TRUE(files.listFolder(folder.path(), [&](const FolderEntry& e) {
        if (!e.folder) (e.foreignName ? foreign : names).push_back(e.name);
        return true;
    }));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"cafe.txt", "\xA8\xEB\xEA\xE0.jpg"}));
    ASSERT_EQ(foreign.size(), 1u);
    const std::string path = folder.path() + "\\" + foreign[0];
    EXPECT_TRUE(files.fileExists(path));
    EXPECT_EQ(win32::Win32Dialogs(nullptr).pathForMessage(path),
              win32::wideToUtf8(win32::ansiToWide(folder.path()) + L"\\caf\u00e9.jpg"));
}

TEST(Win32Text, RegistryTextsOutsideTheAnsiCodePageReadAsAbsent) {
    // A Documents folder "C:\Users\José" must not come back as "...\Jose".
    const std::string key = "Software\\OstrelTest" + std::to_string(GetCurrentProcessId());
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    auto setWide = [&](const wchar_t* name, const std::wstring& text) {
        RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    };
    setWide(L"folder", L"C:\\Users\\Jos\u00e9");
    setWide(L"tree", L"\u0401\u043b\u043a\u0430");
    RegCloseKey(handle);
    win32::Win32Registry registry;
    EXPECT_EQ(registry.readString(RegistryRoot::CurrentUser, key, "folder"), std::nullopt);
    EXPECT_EQ(registry.readString(RegistryRoot::CurrentUser, key, "tree"),
              std::optional<std::string>("\xA8\xEB\xEA\xE0"));
    EXPECT_TRUE(registry.deleteKey(RegistryRoot::CurrentUser, key));
}

TEST(Win32Instance, TheLaterOfTwoStartsAtOnceIsNotTheFirst) {
    // Both starts may find no marker to open; the one that creates it second
    // must hear that it already exists.
    const std::string name = "OstrelTestMarker" + std::to_string(GetCurrentProcessId());
    HANDLE other = CreateMutexA(nullptr, FALSE, name.c_str());
    ASSERT_TRUE(other);
    EXPECT_EQ(win32::createInstanceMarker(name.c_str()), win32::InstanceRole::Another);
    EXPECT_EQ(win32::claimInstance(name.c_str()), win32::InstanceRole::Another);
    CloseHandle(other);
    EXPECT_EQ(win32::claimInstance((name + "b").c_str()), win32::InstanceRole::First);
}

TEST(Win32Desktop, KnowsItRunsUnderWine) {
    // Only there are other programs' windows repainted after a change.
    EXPECT_TRUE(win32::runningUnderWine());
}

}  // namespace
}  // namespace ostrel
