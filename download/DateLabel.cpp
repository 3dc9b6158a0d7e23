#include "download/DateLabel.h"

namespace ostrel {

std::string dateLabel(std::string_view date) {
    std::string label(date.substr(0, 5));
    if (label.size() == 5 && label[4] == '-') label.erase(4);
    if (label.size() >= 4 && label[1] == '-' && label[3] == '-') label.erase(3, 3);
    return label;
}

}  // namespace ostrel
