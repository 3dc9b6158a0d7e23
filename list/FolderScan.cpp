#include "list/FolderScan.h"

#include "base/FolderText.h"

namespace ostrel {

bool hasPictureName(const std::string& name) {
    std::string upper = name;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper.find(".JPEG") != std::string::npos || upper.find(".JPG") != std::string::npos ||
           upper.find(".BMP") != std::string::npos;
}

int ScanDir(const FileSystem& fs, const std::string& folder, bool includeSubfolders, WallpaperList& list) {
    const std::string path = withTrailingBackslash(folder);
    int added = 0;
    fs.listFolder(path, [&](const FolderEntry& entry) {
        if (entry.name == "." || entry.name == ".." || entry.foreignName) return true;
        const std::string full = path + entry.name;
        if (full.size() > kMaxPathLength) return true;
        if (!entry.folder) {
            if (hasPictureName(entry.name)) {
                list.appendRow(full);
                ++added;
            }
        } else if (includeSubfolders && !entry.reparsePoint) {
            added += ScanDir(fs, full + "\\", true, list);
        }
        return true;
    });
    return added;
}

}  // namespace ostrel
