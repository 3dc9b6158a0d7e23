#include "app/OneBoxAtATime.h"

#include <utility>

namespace ostrel {

void OneBoxAtATime::message(const std::string& textUtf8) {
    if (shown_) {
        if (textUtf8 != shownText_) pending_ = textUtf8;
        return;
    }
    shown_ = true;
    struct Reset {
        OneBoxAtATime& self;
        ~Reset() {
            self.shown_ = false;
            self.shownText_.clear();
        }
    } reset{*this};
    for (std::string text = textUtf8; !text.empty(); text = std::exchange(pending_, {})) {
        shownText_ = text;
        dialogs_.message(text);
    }
}

}  // namespace ostrel
