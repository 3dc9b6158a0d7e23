#include "app/OneBoxAtATime.h"

#include <algorithm>

namespace ostrel {

void OneBoxAtATime::message(const std::string& textUtf8) {
    if (background_ && !up_.empty()) {
        if (std::find(up_.begin(), up_.end(), textUtf8) == up_.end()) pending_ = textUtf8;
        return;
    }
    show(textUtf8);
    while (up_.empty() && !pending_.empty()) show(std::exchange(pending_, {}));
}

void OneBoxAtATime::show(const std::string& text) {
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
    dialogs_.message(text);
}

}  // namespace ostrel
