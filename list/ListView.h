#pragma once
// What the list's logic asks of the window that shows it.
#include <string>

namespace ostrel {

class ListView {
public:
    virtual ~ListView() = default;
    // The list, the current row or the scroll position changed: repaint.
    virtual void listChanged() = 0;
    // The preview shows the picture of this file (or the placeholder when unusable).
    virtual void showPreview(const std::string& path) = 0;
};

}  // namespace ostrel
