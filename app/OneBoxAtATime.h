#pragma once
// The program's boxes, one at a time for the errors that come back by
// themselves.
//
// Timers go on firing inside a message box's own loop, so a lasting failure
// (a full disk, say) that reports itself on every tick would pile box upon
// box. A message raised in the background (inside a Background scope: a
// timer's tick) is therefore not shown while another box is up: the same text
// as a box up is dropped, another one is shown once the boxes are closed.
// Every other message answers something the user did: it is shown at once, in
// front of whatever is up, and its caller waits for the answer. An unexpected
// failure (a handler's exception, shown in the general error box) is shown at
// once too, unless a box with its text is up.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Dialogs.h"

namespace ostrel {

class OneBoxAtATime final : public Dialogs {
public:
    explicit OneBoxAtATime(Dialogs& dialogs) : dialogs_(dialogs) {}

    // The messages raised while one lives are background ones.
    class Background {
    public:
        explicit Background(OneBoxAtATime& boxes) : boxes_(boxes), was_(std::exchange(boxes.background_, true)) {}
        ~Background() { boxes_.background_ = was_; }
        Background(const Background&) = delete;
        Background& operator=(const Background&) = delete;

    private:
        OneBoxAtATime& boxes_;
        bool was_;
    };

    void message(const std::string& textUtf8) override;
    // An unexpected failure: showBox puts up the box with textUtf8, which
    // counts as one of the boxes up while it is.
    void failure(const std::string& textUtf8, const std::function<void()>& showBox);

    std::string pathForMessage(const std::string& pathAnsi) const override { return dialogs_.pathForMessage(pathAnsi); }
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
    bool isUp(const std::string& text) const;
    void show(const std::string& text, const std::function<void()>& showBox);
    void showPending();

    Dialogs& dialogs_;
    bool background_ = false;
    std::vector<std::string> up_;  // the texts of the boxes up, outermost first
    std::string pending_;          // the last background error held back
};

}  // namespace ostrel
