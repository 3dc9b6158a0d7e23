#include "app/OneBoxAtATime.h"

#include <algorithm>

namespace ostrel {

void OneBoxAtATime::message(const std::string& textUtf8) {
    if (background_ && !up_.empty()) {
        if (!isUp(textUtf8)) pending_ = textUtf8;
        return;
    }
    show(textUtf8, [&] { dialogs_.message(textUtf8); });
    showPending();
}

void OneBoxAtATime::failure(const std::string& textUtf8, const std::function<void()>& showBox) {
    if (isUp(textUtf8)) return;
    show(textUtf8, showBox);
    showPending();
}

bool OneBoxAtATime::isUp(const std::string& text) const { return std::find(up_.begin(), up_.end(), text) != up_.end(); }

void OneBoxAtATime::showPending() {
    while (up_.empty() && !pending_.empty()) {
        const std::string text = std::exchange(pending_, {});
        show(text, [&] { dialogs_.message(text); });
    }
}

void OneBoxAtATime::show(const std::string& text, const std::function<void()>& showBox) {
    // What runs inside the box's loop is work of its own: a command given
    // there answers the user even when this box reports a timer's error.
    struct Up {  // taken down however the box ends
        OneBoxAtATime& self;
        bool background;
        ~Up() {
            self.up_.pop_back();
            self.background_ = background;
        }
    };
    up_.push_back(text);
    Up up{*this, std::exchange(background_, false)};
    showBox();
}

}  // namespace ostrel
