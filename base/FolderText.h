#pragma once
// Folder paths as the program stores and joins them: ANSI text with "\"
// between the parts.
#include <cstddef>
#include <string>
#include <string_view>

namespace ostrel {

// File names are appended straight to a folder ending in "\"; an empty text
// gets one too (the root of the current drive).
inline std::string withTrailingBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

inline std::string withoutTrailingBackslash(std::string folder) {
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

// Folder texts are held to 100 characters, not counting a final "\" (the
// download folder has always been stored with one after its 100).
inline constexpr std::size_t kFolderTextLimit = 100;
inline std::size_t folderTextLength(std::string_view folder) {
    return folder.size() - (!folder.empty() && folder.back() == '\\' ? 1 : 0);
}

}  // namespace ostrel
