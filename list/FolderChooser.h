#pragma once
// The folder chooser as the list's logic sees it: shown modally, it answers
// the chosen folder and whether its subfolders are wanted, or nothing when
// cancelled. The window places it and reopens its tree at lastopen.
#include <optional>
#include <string>

namespace ostrel {

struct FolderChoice {
    std::string path;  // ends with "\"
    bool includeSubfolders = false;
};

class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    virtual std::optional<FolderChoice> choose(const std::string& lastopen) = 0;
};

}  // namespace ostrel
