#pragma once
// The program's dialogs, showing at most one message box at a time.
//
// Timers go on firing inside a message box's own loop, so a lasting failure
// (a full disk, say) that reports itself on every tick would pile box upon
// box. While a box is up, the same error again is not shown and another one
// is shown once the box is closed.
#include <string>

#include "platform/Dialogs.h"

namespace ostrel {

class OneBoxAtATime final : public Dialogs {
public:
    explicit OneBoxAtATime(Dialogs& dialogs) : dialogs_(dialogs) {}

    void message(const std::string& textUtf8) override;
    std::string pathForMessage(const std::string& pathAnsi) const override {
        return dialogs_.pathForMessage(pathAnsi);
    }
    bool askYesNo(const std::string& textUtf8, const std::string& captionUtf8) override {
        return dialogs_.askYesNo(textUtf8, captionUtf8);
    }
    std::optional<std::string> saveFile(const FileDialogRequest& request) override {
        return dialogs_.saveFile(request);
    }
    std::optional<std::string> openFile(const FileDialogRequest& request) override {
        return dialogs_.openFile(request);
    }

private:
    Dialogs& dialogs_;
    bool shown_ = false;
    std::string shownText_;
    std::string pending_;
};

}  // namespace ostrel
