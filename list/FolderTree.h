#pragma once
// What the folder chooser's tree shows: a node per drive, below it the
// folders read one level at a time, and the walk that reopens it at the folder
// chosen last. The window only mirrors these answers in its tree control.
#include <optional>
#include <string>
#include <vector>

#include "platform/Drives.h"
#include "platform/FileSystem.h"

namespace ostrel {

// Positions in the tree's image list, in the order its bitmaps are loaded.
enum FolderTreeImage : int {
    ClosedFolderImage = 0,
    OpenFolderImage = 1,  // a folder node while selected
    FloppyImage = 2,
    HardDiskImage = 3,
    NetworkImage = 4,
    CdRomImage = 5,
    RamImage = 6,  // also any drive of unknown kind
};

int driveImage(DriveKind kind);
// A drive node's text: the letter and a colon ("C:").
std::string driveText(const Drive& drive);

struct ChildFolder {
    std::string name;
    bool expandable = false;  // it has a subfolder the tree would list
};

// `NextLevel`: the folders of path ("C:\Photos\", the trailing "\" optional)
// in the order the file system lists them, leaving out ".", ".." and hidden or
// system folders, each with whether it gets an expand button. Only as much of
// each child is read as it takes to find its first such subfolder. nullopt when
// path cannot be listed.
std::optional<std::vector<ChildFolder>> NextLevel(const FileSystem& fs, const std::string& path);

// `getpath`: the node texts from the drive down, each followed by "\"
// ({"C:", "Photos", "2005"} gives "C:\Photos\2005\").
std::string getpath(const std::vector<std::string>& textsFromDrive);

// How `openlast` reopens the tree at lastopen: the node texts to expand in
// turn from the drive down, and whether to select the last of them (when not,
// the selection stays as it was).
struct ReopenWalk {
    std::vector<std::string> expand;
    bool selectLast = false;
};

// The walk stops at the first folder of lastopen that the tree would not list
// (gone, hidden, or spelt differently: names compare exactly), and after a
// first-level folder of at most two characters; in both cases, and for a bare
// drive, nothing is selected.
ReopenWalk openlastWalk(const FileSystem& fs, const std::vector<Drive>& drives, const std::string& lastopen);

}  // namespace ostrel
