#pragma once
// List files ("*.tav"): pairs of lines (path, resolution text), CR LF, ended by
// one empty pair.
#include <string>
#include <string_view>

#include "list/WallpaperList.h"
#include "platform/FileSystem.h"

namespace ostrel {

// The working list, in the data folder.
inline constexpr std::string_view kDefaultListName = "Default.tav";

// The exact bytes saveF writes for the list.
std::string serializeList(const WallpaperList& list);

// saveF: writes the list through a temporary file, so a failed save never leaves a
// truncated file behind. False when the file could not be written.
[[nodiscard]] bool saveF(FileSystem& fs, const WallpaperList& list, const std::string& path);

// Replaces the list by the pairs of bytes (LF or CR LF line ends), applying the
// terminator and one-pair rules. Used by openF.
void parseListInto(const FileSystem& fs, std::string_view bytes, WallpaperList& list);

enum class ListRead {
    Loaded,
    NotOpened,   // no such file, or it cannot be opened: ignored without a word
    ReadFailed,  // opened, but a read failed part-way: the user must hear of it
};

// openF: the list is replaced only when the whole file was read; otherwise it
// stays as it was, so a failing disk never leaves half a list behind.
ListRead openF(const FileSystem& fs, const std::string& path, WallpaperList& list);

}  // namespace ostrel
