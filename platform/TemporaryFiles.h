#pragma once
// Names of the temporary files that a replacing write goes through: in the
// target's own folder (so that the final move is a rename), distinct enough
// that a left-over one can be told from the user's files and removed.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace ostrel {

inline constexpr std::string_view kTemporaryPrefix = "~ostrel";
inline constexpr std::string_view kTemporarySuffix = ".tmp";

// "~ostrel" + eight hex digits + ".tmp".
inline std::string temporaryName(std::uint32_t unique) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(unique));
    return std::string(kTemporaryPrefix) + digits + std::string(kTemporarySuffix);
}

inline bool isTemporaryName(std::string_view name) {
    constexpr std::size_t kDigits = 8;
    if (name.size() != kTemporaryPrefix.size() + kDigits + kTemporarySuffix.size()) return false;
    if (name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix) return false;
    if (name.substr(name.size() - kTemporarySuffix.size()) != kTemporarySuffix) return false;
    for (char c : name.substr(kTemporaryPrefix.size(), kDigits))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

}  // namespace ostrel
