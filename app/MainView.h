#pragma once
// What the main window's logic asks of the window itself.
#include <string>

namespace ostrel {

class MainView {
public:
    virtual ~MainView() = default;

    // Shows the window and brings it to the foreground.
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;

    virtual int windowWidth() const = 0;
    virtual int windowHeight() const = 0;
    virtual void setWindowSize(int width, int height) = 0;
    virtual void setWindowPosition(int left, int top) = 0;

    virtual void setPlayButtonPressed(bool pressed) = 0;
    virtual void setShuffleButtonPressed(bool pressed) = 0;

    // Posts WM_HOTKEY with id 0 to the window, behind the messages already
    // queued; false when it could not be posted.
    [[nodiscard]] virtual bool postHotkeyRearm() = 0;
    // Ends the message loop; the window's destruction runs the shutdown sequence.
    virtual void requestQuit() = 0;

    // The list, the current row or the scroll position changed: repaint.
    virtual void listChanged() = 0;
    // The preview shows the placeholder picture until the next selection.
    virtual void showPlaceholderPreview() = 0;
    // The preview shows the picture of this file (or the placeholder when unusable).
    virtual void showPreview(const std::string& path) = 0;
};

}  // namespace ostrel
