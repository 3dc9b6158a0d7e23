#pragma once
// Message boxes and the standard file dialogs.
#include <optional>
#include <string>

namespace ostrel {

struct FileDialogRequest {
    std::string initialPath;  // ANSI; may end in a file name
    std::string filterUtf8;   // "Caption|pattern|Caption|pattern"
    std::string defaultExtension;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // One OK button, caption "Ostrel Wallpapers".
    virtual void message(const std::string& textUtf8) = 0;
    // A path (in the ANSI code page) as UTF-8, to be named in a message.
    virtual std::string pathForMessage(const std::string& pathAnsi) const = 0;
    // A question with Yes and No and the question icon, owned by no window;
    // true for Yes.
    virtual bool askYesNo(const std::string& textUtf8, const std::string& captionUtf8) = 0;
    // The chosen path (ANSI), or nullopt when cancelled.
    virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
};

}  // namespace ostrel
