#pragma once
// What the full-screen viewer's logic asks of its window.
#include "imaging/Image.h"

namespace ostrel {

class ViewerView {
public:
    virtual ~ViewerView() = default;
    // Shows the window over the whole primary screen, above other windows,
    // and gives the keyboard back to the list, whose keys drive the viewer.
    virtual void showFullScreen() = 0;
    // The picture already composed at the screen's size; kept until the next one.
    virtual void showPicture(const Image& screen) = 0;
    virtual void close() = 0;
};

}  // namespace ostrel
