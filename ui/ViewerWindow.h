#pragma once
// The full-screen viewer's window `TForm1`: a borderless popup over the whole
// primary screen, above other windows, that shows the picture the viewer's
// logic composed at the screen's size. The keyboard stays with the list.
#include <windows.h>

#include <functional>

#include "changer/ViewerView.h"
#include "platform/win32/UniqueHandle.h"
#include "ui/WindowBase.h"

namespace ostrel::ui {

class ViewerWindow final : public ViewerView, public WindowBase<ViewerWindow> {
public:
    explicit ViewerWindow(HINSTANCE instance) : instance_(instance) {}

    // Hidden until shown; owned by owner (so it has no taskbar button), and
    // list is the window that gets the keyboard back when it is shown.
    [[nodiscard]] bool create(HWND owner, HWND list);

    // A left click on the picture.
    std::function<void()> onPictureClick;

    // ViewerView
    void showFullScreen() override;
    void showPicture(const Image& screen) override;
    void close() override;

private:
    friend class WindowBase<ViewerWindow>;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void stayOnTop();

    HINSTANCE instance_;
    HWND list_ = nullptr;
    win32::UniqueBitmap picture_;  // the composed picture, copied to the window on each paint
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    bool pressed_ = false;  // the left button went down on the picture
};

}  // namespace ostrel::ui
