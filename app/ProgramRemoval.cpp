#include "app/ProgramRemoval.h"

#include <optional>
#include <string_view>
#include <vector>

#include "app/SettingsStore.h"
#include "base/FolderText.h"
#include "base/ProgramName.h"

namespace ostrel {
namespace {

constexpr RegistryRoot kRoot = RegistryRoot::CurrentUser;
constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::string_view kProgramFolderName = kProgramTitle;

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

bool removalAllowed(const std::string& folder) {
    // "X:\" and then at least one step. Without a drive the path hangs on the
    // current drive or a share; a "/" or a "." step could make the last name
    // seen here differ from the folder Windows would delete.
    const std::string path = withoutTrailingBackslash(folder);
    if (path.size() < 4 || !isAsciiLetter(path[0]) || path[1] != ':' || path[2] != '\\') return false;
    if (path.find('/') != std::string::npos) return false;
    std::string_view rest = std::string_view(path).substr(3);
    for (;;) {
        const auto slash = rest.find('\\');
        const std::string_view step = rest.substr(0, slash);
        // Empty steps pass: Windows reads "\\" as "\", and a Documents folder at
        // a drive's root ("D:\") gives "D:\\Ostrel Wallpapers".
        if (step == "." || step == "..") return false;
        if (slash == std::string_view::npos) return equalsIgnoringAsciiCase(step, kProgramFolderName);
        rest.remove_prefix(slash + 1);
    }
}

bool removeFolderTree(FileSystem& files, Dialogs& dialogs, const std::string& folder) {
    // The whole listing first: entries are not deleted under a running search.
    std::vector<FolderEntry> entries;
    files.listFolder(folder, [&](const FolderEntry& entry) {
        entries.push_back(entry);
        return true;
    });
    for (const FolderEntry& entry : entries) {
        // "." and ".." carry the attributes of the folders they stand for (a
        // compressed data folder makes them 0x810): whatever their bits, they
        // are never entries of this folder to delete or to change.
        if (entry.name.empty() || entry.name == "." || entry.name == "..") continue;
        const std::string path = folder + "\\" + entry.name;
        if (entry.attributes == kAttributeDirectory) {
            removeFolderTree(files, dialogs, path);
            continue;
        }
        // Read-only, hidden and system files cannot be deleted until those bits go.
        if (entry.attributes != kAttributeArchive) files.setAttributes(path, kAttributeArchive);
        if (!files.deleteFile(path)) dialogs.message("Could NOT delete " + dialogs.pathForMessage(path));
    }
    files.removeDirectory(folder);
    return true;
}

bool removeProgramFiles(Registry& registry, FileSystem& files, Dialogs& dialogs, const std::string& dataFolder) {
    if (!removalAllowed(dataFolder)) {
        dialogs.message("Папка данных программы «" + dialogs.pathForMessage(dataFolder) + "» не похожа на папку " +
                        std::string(kProgramTitle) + ", поэтому ничего не удалено.");
        return false;
    }
    if (!registry.deleteKey(kRoot, kSettingsKey))
        dialogs.message("Could NOT delete HKEY_CURRENT_USER\\" + std::string(kSettingsKey));
    removeFolderTree(files, dialogs, withoutTrailingBackslash(dataFolder));

    const std::optional<std::string> programs = registry.readString(kRoot, kShellFoldersKey, "Programs");
    const std::optional<std::string> desktop = registry.readString(kRoot, kShellFoldersKey, "Desktop");
    if (desktop) {
        const std::string shortcut = *desktop + "\\" + std::string(kProgramTitle) + ".lnk";
        if (files.fileExists(shortcut)) files.deleteFile(shortcut);
    }
    if (programs) {
        // The same check as for the data folder: a Programs text that is not a
        // full path would put this folder somewhere else entirely.
        const std::string menuFolder = *programs + "\\" + std::string(kProgramFolderName);
        if (removalAllowed(menuFolder) && folderExists(files, menuFolder)) removeFolderTree(files, dialogs, menuFolder);
    }
    return true;
}

}  // namespace ostrel
