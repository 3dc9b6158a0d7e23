#pragma once
// List files ("*.tav"): pairs of lines (path, resolution text), CR LF, ended by
// one empty pair.
#include <string>
#include <string_view>

#include "list/WallpaperList.h"
#include "platform/FileSystem.h"

namespace ostrel {

// The exact bytes saveF writes for the list.
std::string serializeList(const WallpaperList& list);

// saveF: writes the list through a temporary file, so a failed save never leaves a
// truncated file behind. False when the file could not be written.
[[nodiscard]] bool saveF(FileSystem& fs, const WallpaperList& list, const std::string& path);

// Replaces the list by the pairs of bytes (LF or CR LF line ends), applying the
// terminator and one-pair rules. Used by openF.
void parseListInto(const FileSystem& fs, std::string_view bytes, WallpaperList& list);

// openF: false, and the list untouched, when the file cannot be read.
bool openF(const FileSystem& fs, const std::string& path, WallpaperList& list);

}  // namespace ostrel
