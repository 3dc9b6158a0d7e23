#pragma once
// The names under which catalogue pictures are kept on this computer.
#include <cstddef>
#include <string>
#include <string_view>

namespace ostrel {

// localName: every '/' of the server path becomes '_', then the first n
// characters go. Previews and the browser's pictures use the preview path
// with n = 6 (five characters, '/', file name gives the file name); the
// automatic download uses the full path with n = 7.
std::string localName(std::string_view serverPath, std::size_t n);

// Whether a local name is safe to put after a folder path and write to:
// non-empty, not "." or "..", none of \ / : * ? " < > | and no control
// character, not ending in a space or a dot (Windows strips those and would
// reach another file), no "~" followed by a digit (the short alias of another
// file, "MY_H~5ID.JPG" for "My Holiday Photo.jpg", would reach that file),
// and not a device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1..COM9,
// LPT1..LPT9 in any case, alone or before a dot), which Windows opens as the
// device instead of a file, nor the name of a transfer's temporary file.
// The names come from the server, so nothing of theirs may lead out of the
// folder, onto a device or onto another file.
bool safeLocalName(std::string_view name);

// A character below 0x20 or DEL: no field of the index may hold one, since a
// line break would split loaded.txt's line and reach the request line.
bool hasControlCharacter(std::string_view text);

// The program's own files, in any case: "rz.txt" and "loaded.txt" of the
// catalogue folder, and the working list and the wallpaper bitmap of the data
// folder, which a user may have made the download folder. No preview or
// picture may be named so.
bool isProgramFileName(std::string_view name);

}  // namespace ostrel
