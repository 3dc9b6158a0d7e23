#pragma once
// What the main window's logic asks of the window itself, on top of what the
// list and the changer ask of it.
#include "app/Settings.h"
#include "base/DpiScale.h"
#include "changer/ChangerView.h"
#include "list/ListView.h"

namespace ostrel {

class MainView : public ListView, public ChangerView {
public:
    // Shows the window and brings it to the foreground.
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;

    // The DPI the window is drawn at; its sizes below are in its pixels.
    virtual DpiScale scale() const = 0;
    // The window's frame at a DPI (see WindowSettings).
    virtual FrameSize frameAt(DpiScale scale) const = 0;
    virtual int windowWidth() const = 0;
    virtual int windowHeight() const = 0;
    virtual void setWindowSize(int width, int height) = 0;
    virtual void setWindowPosition(int left, int top) = 0;

    // Posts WM_HOTKEY with id 0 to the window, behind the messages already
    // queued; false when it could not be posted.
    [[nodiscard]] virtual bool postHotkeyRearm() = 0;
    // Ends the message loop; the window's destruction runs the shutdown sequence.
    virtual void requestQuit() = 0;
    // The window's resize layout, with the list's left edge from the settings.
    virtual void layOut() = 0;

    // Both bases declare them; one serves both.
    void listChanged() override = 0;
    void showPlaceholderPreview() override = 0;
};

}  // namespace ostrel
