#pragma once
// What the changer asks of the main window: its play and shuffle buttons, the
// preview's placeholder and a repaint of the list's current-entry mark.
namespace ostrel {

class ChangerView {
public:
    virtual ~ChangerView() = default;
    virtual void setPlayButtonPressed(bool pressed) = 0;
    virtual void setShuffleButtonPressed(bool pressed) = 0;
    // The preview shows the placeholder picture until the next selection.
    virtual void showPlaceholderPreview() = 0;
    // The list, the current row or the scroll position changed: repaint.
    virtual void listChanged() = 0;
};

}  // namespace ostrel
