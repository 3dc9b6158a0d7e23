#pragma once
// `ScanDir`: appends the pictures of a folder to the list, by name only.
#include <string>

#include "list/WallpaperList.h"
#include "platform/FileSystem.h"

namespace ostrel {

// A file counts as a picture when its name, upper-cased (ASCII letters only),
// contains ".JPEG", ".JPG" or ".BMP" anywhere.
bool hasPictureName(const std::string& name);

// Appends every picture of folder in the order the file system lists them and,
// with includeSubfolders, those of each subfolder at once where it is met
// (depth first). Folders that are links or junctions are not followed (one
// pointing back up would never end), and paths longer than the system's limit
// are passed over rather than cut into another file's name. Answers how many
// entries were appended.
int ScanDir(const FileSystem& fs, const std::string& folder, bool includeSubfolders, WallpaperList& list);

// The longest path the program's file functions take, in characters.
inline constexpr std::size_t kMaxPathLength = 259;

}  // namespace ostrel
