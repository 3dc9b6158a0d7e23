#pragma once
// The only place where the program's byte strings meet UTF-16. Captions and
// messages are UTF-8 literals; paths, list texts and registry values are bytes
// in the ANSI code page. Both are converted at the W call and nowhere else.
#include <optional>
#include <string>
#include <string_view>

namespace ostrel::win32 {

// Invalid sequences become U+FFFD rather than failing: a caption must show.
std::wstring utf8ToWide(std::string_view utf8);
std::wstring ansiToWide(std::string_view ansi);
std::string wideToUtf8(std::wstring_view wide);
// The exact text in the ANSI code page, or nullopt when a character has no
// exact counterpart there (it is never replaced by a look-alike).
std::optional<std::string> wideToAnsi(std::wstring_view wide);
// A file or folder name that the ANSI code page cannot write, carried inside the
// program's byte paths: a character no Windows name may hold, then the name in
// UTF-8. Folder listings hand such names out, marked, so that the removal can
// delete what it finds; pathToWide takes them back.
std::string foreignNameToken(std::wstring_view name);
// A byte path for a W call: the ANSI code page, with foreign-name tokens taken
// back to the names they carry.
std::wstring pathToWide(std::string_view path);
// For texts of unknown origin (exception messages): UTF-8 when the bytes are
// valid UTF-8, else the ANSI code page.
std::wstring anyToWide(std::string_view text);

}  // namespace ostrel::win32
