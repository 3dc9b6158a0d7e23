#pragma once
// Message boxes and the standard open and save dialogs, owned by the main window.
#include <windows.h>

#include <string_view>

#include "platform/Dialogs.h"

namespace ostrel::win32 {

class Win32Dialogs final : public Dialogs {
public:
    explicit Win32Dialogs(HWND owner) : owner_(owner) {}

    void message(const std::string& textUtf8) override;
    std::string pathForMessage(const std::string& pathAnsi) const override;
    bool askYesNo(const std::string& textUtf8, const std::string& captionUtf8) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;
    std::optional<std::string> openFile(const FileDialogRequest& request) override;

private:
    std::optional<std::string> run(const FileDialogRequest& request, bool save);

    HWND owner_;
};

// Refuses a file or folder name that the ANSI code page cannot write, naming
// it: the program would otherwise work with a look-alike, another file.
void refuseUnwritableName(HWND owner, std::wstring_view name, bool folder);

}  // namespace ostrel::win32
