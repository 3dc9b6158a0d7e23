#include "platform/win32/Text.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace ostrel::win32 {
namespace {

int clampedLength(std::size_t n) { return n > INT_MAX ? INT_MAX : static_cast<int>(n); }

// Below the space: no Windows name holds it, and in a double-byte code page it
// is never the second byte of a character.
constexpr char kForeignNameMark = '\x01';

bool toWide(UINT codePage, DWORD flags, std::string_view in, std::wstring& out) {
    out.clear();
    if (in.empty()) return true;
    const int inLength = clampedLength(in.size());
    int n = MultiByteToWideChar(codePage, flags, in.data(), inLength, nullptr, 0);
    if (n <= 0) return false;
    out.resize(static_cast<std::size_t>(n));
    n = MultiByteToWideChar(codePage, flags, in.data(), inLength, out.data(), n);
    if (n <= 0) return false;
    out.resize(static_cast<std::size_t>(n));
    return true;
}

}  // namespace

std::wstring utf8ToWide(std::string_view utf8) {
    std::wstring out;
    toWide(CP_UTF8, 0, utf8, out);
    return out;
}

std::wstring ansiToWide(std::string_view ansi) {
    std::wstring out;
    toWide(CP_ACP, 0, ansi, out);
    return out;
}

std::string wideToUtf8(std::wstring_view wide) {
    std::string out;
    if (wide.empty()) return out;
    const int inLength = clampedLength(wide.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLength, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return out;
    out.resize(static_cast<std::size_t>(n));
    out.resize(static_cast<std::size_t>(
        std::max(0, WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLength, out.data(), n, nullptr, nullptr))));
    return out;
}

std::optional<std::string> wideToAnsi(std::wstring_view wide) {
    std::string out;
    if (wide.empty()) return out;
    // No best fit: "é" must not quietly become "e" and so name another file.
    // Any character the code page lacks makes the whole text unusable. A
    // system whose ANSI code page is UTF-8 lacks none, but refuses these flags;
    // there only broken surrogates are refused.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    const int inLength = clampedLength(wide.size());
    BOOL usedDefault = FALSE;
    BOOL* checkDefault = utf8 ? nullptr : &usedDefault;
    int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), inLength, nullptr, 0, nullptr, checkDefault);
    if (n <= 0 || usedDefault) return std::nullopt;
    out.resize(static_cast<std::size_t>(n));
    n = WideCharToMultiByte(CP_ACP, flags, wide.data(), inLength, out.data(), n, nullptr, checkDefault);
    if (n <= 0 || usedDefault) return std::nullopt;
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::string foreignNameToken(std::wstring_view name) { return kForeignNameMark + wideToUtf8(name); }

std::wstring pathToWide(std::string_view path) {
    // A token runs to the next "\": UTF-8 holds that byte only as itself. The
    // ANSI parts are converted whole, so a double-byte character stays one.
    std::wstring out;
    for (;;) {
        const std::size_t mark = path.find(kForeignNameMark);
        out += ansiToWide(path.substr(0, mark));
        if (mark == std::string_view::npos) return out;
        const std::size_t end = path.find('\\', mark);
        out += utf8ToWide(path.substr(mark + 1, end == std::string_view::npos ? end : end - mark - 1));
        if (end == std::string_view::npos) return out;
        path.remove_prefix(end);
    }
}

std::wstring anyToWide(std::string_view text) {
    std::wstring out;
    if (toWide(CP_UTF8, MB_ERR_INVALID_CHARS, text, out)) return out;
    toWide(CP_ACP, 0, text, out);
    return out;
}

}  // namespace ostrel::win32
