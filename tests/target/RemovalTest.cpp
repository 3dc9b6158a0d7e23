// The removal of the program's folder over the real file system: protected
// files go, a folder carrying any attribute besides the directory bit stays
// with everything above it, and is the one thing reported.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/ProgramRemoval.h"
#include "fakes/FakeServices.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "fakes/TempDir.h"

namespace ostrel {
namespace {

using testing::TempDir;

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Sets the bits and answers whether they were really stored; Wine adds the
// archive bit to every file.
bool withAttributes(const std::string& path, DWORD attributes) {
    return SetFileAttributesA(path.c_str(), attributes) &&
           (GetFileAttributesA(path.c_str()) & ~DWORD{FILE_ATTRIBUTE_ARCHIVE}) == attributes;
}

TEST(Win32Removal, DeletesProtectedFilesAndStopsAtAHiddenFolder) {
    TempDir folder;
    const std::string root = folder.file("Ostrel Wallpapers");
    const std::string beside = folder.write("beside.txt", "x");
    for (const char* sub : {"", "\\walls", "\\walls\\deeper", "\\keep", "\\keep\\Hid"})
        ASSERT_TRUE(CreateDirectoryA((root + sub).c_str(), nullptr)) << sub;
    std::vector<std::string> gone;
    for (const char* name : {"\\ro.txt", "\\hid.txt", "\\walls\\a.jpg", "\\walls\\deeper\\b.jpg", "\\keep\\z.txt"})
        gone.push_back(folder.write("Ostrel Wallpapers" + std::string(name), "x"));
    const std::string inside = folder.write("Ostrel Wallpapers\\keep\\Hid\\inside.txt", "x");
    const std::pair<std::string, DWORD> protectedEntries[] = {
        {root + "\\ro.txt", FILE_ATTRIBUTE_READONLY},
        {root + "\\hid.txt", FILE_ATTRIBUTE_HIDDEN},
        {root + "\\walls\\deeper\\b.jpg", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
        {root + "\\keep\\Hid", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN}};
    for (const auto& [path, attributes] : protectedEntries) ASSERT_TRUE(withAttributes(path, attributes)) << path;
    ASSERT_EQ(GetFileAttributesA((root + "\\walls").c_str()), DWORD{FILE_ATTRIBUTE_DIRECTORY});  // a plain folder
    // Names the ANSI code page cannot write go by their own names: most drives
    // have no short aliases. One is a folder with a file in it.
    const std::wstring walls = std::wstring(root.begin(), root.end()) + L"\\walls\\";
    const std::wstring foreignFolder = walls + L"\u0101";
    ASSERT_TRUE(CreateDirectoryW(foreignFolder.c_str(), nullptr));
    for (const std::wstring& foreign : {walls + L"\u65E5\u672C \u5199\u771F.jpg", foreignFolder + L"\\\u0113.jpg"}) {
        const HANDLE created = CreateFileW(foreign.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(created, INVALID_HANDLE_VALUE);
        CloseHandle(created);
    }

    win32::Win32FileSystem files;
    testing::FakeDialogs dialogs;
    EXPECT_TRUE(removeFolderTree(files, dialogs, root));

    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Could NOT delete " + root + "\\keep\\Hid"});
    for (const std::string& path : gone) EXPECT_FALSE(exists(path)) << path;
    EXPECT_FALSE(exists(root + "\\walls"));
    for (const std::string& path : {root, root + "\\keep", root + "\\keep\\Hid", inside, beside})
        EXPECT_TRUE(exists(path)) << path;
}

TEST(Win32Removal, TheSettingsKeyGoesWithWhateverIsBeneathIt) {
    // Under a test key of its own: a subkey someone else put there, with a value.
    const std::string key = "Software\\OstrelRemoval" + std::to_string(GetCurrentProcessId());
    win32::Win32Registry registry;
    ASSERT_TRUE(registry.writeString(RegistryRoot::CurrentUser, key, "wid", "800"));
    ASSERT_TRUE(registry.writeString(RegistryRoot::CurrentUser, key + "\\Sub\\Deeper", "x", "1"));
    EXPECT_TRUE(registry.deleteKey(RegistryRoot::CurrentUser, key));
    HKEY left = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &left), ERROR_SUCCESS);
    if (left) RegCloseKey(left);
    EXPECT_TRUE(registry.deleteKey(RegistryRoot::CurrentUser, key));  // gone already: nothing to report
}

}  // namespace
}  // namespace ostrel
