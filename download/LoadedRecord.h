#pragma once
// "loaded.txt" in the catalogue folder: one line per downloaded full-size
// picture, its full path exactly as in the index, each line ended by CR LF.
// Lines are only ever added.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace ostrel {

// The non-empty lines of the record's bytes; a line ends at LF or CR LF, and
// a last line without its LF counts.
std::vector<std::string> loadedLines(std::string_view bytes);

// dospisokloaded: the downloaded full paths; empty when the file is missing,
// nullopt when it is there but cannot be read.
std::optional<std::vector<std::string>> dospisokloaded(const FileSystem& fs, const std::string& catalogueFolder);

// A record is new when its full path equals no line of the record, exactly
// and case-sensitively.
bool isNewPicture(std::string_view fullPath, const std::vector<std::string>& loaded);

// Adds fullPath + CR LF to the record, creating it when missing. The file is
// rewritten whole through a temporary file and a rename, so a crash never
// leaves a line cut in half. False, with the file left as it was, when it is
// there but cannot be read (replacing it would lose every earlier line) or
// cannot be written. A record whose last line has no line end (edited by
// hand) gets one first, so that the two paths never run together, and one
// whose last line ends in CR alone gets its LF, so that line still reads as before.
// Appends from several threads are serialised here.
[[nodiscard]] bool appendLoaded(FileSystem& fs, const std::string& catalogueFolder, std::string_view fullPath);

// Creates an empty record when there is none; true when the file is there
// afterwards. An automatic download leaves the file behind even when it found
// nothing new.
[[nodiscard]] bool createLoadedIfMissing(FileSystem& fs, const std::string& catalogueFolder);

}  // namespace ostrel
