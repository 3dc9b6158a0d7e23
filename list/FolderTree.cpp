#include "list/FolderTree.h"

#include <algorithm>

#include "base/FolderText.h"

namespace ostrel {
namespace {

// The tree lists what a user browsing the disk expects to see: no hidden or
// system folders, and not the "." and ".." entries of the listing itself.
bool isListedFolder(const FolderEntry& entry) {
    return entry.folder && !entry.hidden && !entry.system && !entry.foreignName && entry.name != "." &&
           entry.name != "..";
}

// True as soon as a listed folder (named name, when one is given) turns up;
// a folder that cannot be read has none.
bool hasListedFolder(const FileSystem& fs, const std::string& folder, const std::string* name) {
    bool found = false;
    (void)fs.listFolder(folder, [&](const FolderEntry& entry) {
        found = isListedFolder(entry) && (!name || entry.name == *name);
        return !found;
    });
    return found;
}

// lastopen's parts between the "\"; the empty one after a trailing "\" is dropped.
std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        const auto end = path.find('\\', start);
        parts.push_back(path.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (parts.size() > 1 && parts.back().empty()) parts.pop_back();
    return parts;
}

}  // namespace

int driveImage(DriveKind kind) {
    switch (kind) {
    case DriveKind::Removable: return FloppyImage;
    case DriveKind::Fixed: return HardDiskImage;
    case DriveKind::Remote: return NetworkImage;
    case DriveKind::CdRom: return CdRomImage;
    case DriveKind::Other: break;
    }
    return RamImage;
}

std::string driveText(const Drive& drive) { return std::string{drive.letter, ':'}; }

std::optional<std::vector<ChildFolder>> NextLevel(const FileSystem& fs, const std::string& path) {
    const std::string folder = withTrailingBackslash(path);
    std::vector<ChildFolder> children;
    const bool listed = fs.listFolder(folder, [&](const FolderEntry& entry) {
        if (isListedFolder(entry)) children.push_back(ChildFolder{entry.name, false});
        return true;
    });
    if (!listed) return std::nullopt;
    // Probed after the listing has ended, so that only one search is open at a time.
    for (ChildFolder& child : children) child.expandable = hasListedFolder(fs, folder + child.name + '\\', nullptr);
    return children;
}

std::string getpath(const std::vector<std::string>& textsFromDrive) {
    std::string path;
    for (const std::string& text : textsFromDrive) path += text + '\\';
    return path;
}

ReopenWalk openlastWalk(const FileSystem& fs, const std::vector<Drive>& drives, const std::string& lastopen) {
    const std::vector<std::string> parts = splitPath(lastopen);
    ReopenWalk walk;
    const bool driveListed =
        std::any_of(drives.begin(), drives.end(), [&](const Drive& d) { return driveText(d) == parts[0]; });
    if (!driveListed) return walk;
    walk.expand.push_back(parts[0]);

    std::string folder = parts[0] + '\\';
    for (std::size_t i = 1; i < parts.size(); ++i) {
        if (!hasListedFolder(fs, folder, &parts[i])) return walk;
        walk.expand.push_back(parts[i]);
        folder += parts[i] + '\\';
        if (i == 1 && parts[i].size() <= 2) return walk;
    }
    walk.selectLast = parts.size() > 1;
    return walk;
}

}  // namespace ostrel
