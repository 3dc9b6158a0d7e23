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
// For texts of unknown origin (exception messages): UTF-8 when the bytes are
// valid UTF-8, else the ANSI code page.
std::wstring anyToWide(std::string_view text);

}  // namespace ostrel::win32
