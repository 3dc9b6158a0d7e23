#pragma once
// What the Help window and the About box share: a fixed-size window shown
// modally over the main window.
#include <windows.h>

#include "app/HelpText.h"
#include "base/DpiScale.h"
#include "platform/win32/UniqueHandle.h"
#include "ui/WindowBase.h"

namespace ostrel::ui {

// A fixed-size dialog-framed window made once at start-up and only hidden
// between uses, so that every opening shows the same window. show() lets the
// window place itself, disables the owner and runs a modal loop until the
// close box or Escape ends it. A plain window rather than a dialog box: the
// dialog manager would select all of an edit control's text when it gives it
// the focus. Derived windows call destroyWindow() in their destructor, while
// their own handlers and the things their controls need still exist.
class ModalWindow : public WindowBase<ModalWindow> {
public:
    virtual ~ModalWindow() = default;

    // owner is the main window; call once it exists.
    [[nodiscard]] bool create(HWND owner);
    void show();

protected:
    struct Look {
        const wchar_t* className;
        const char* captionUtf8;
        int clientWidth;
        int clientHeight;
        HBRUSH background;  // stock brush, or nullptr when the window paints it all
    };
    ModalWindow(HINSTANCE instance, const Look& look);

    // WM_CREATE; false makes the creation fail.
    virtual bool FormCreate() = 0;
    // Before each showing, with the window still hidden.
    virtual void FormShow() = 0;
    // The DPI changed (scale() is the new one): fonts and controls at it. The
    // window is then given its client area at that DPI and painted anew.
    virtual void dpiChanged() {}
    // A window's own messages; true when handled, with the result set.
    virtual bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

    HINSTANCE instance() const { return instance_; }
    HWND owner() const { return owner_; }
    // The window's DPI, known from WM_CREATE on: the look's sizes and the
    // window's own designed lengths are scaled by it.
    DpiScale scale() const { return scale_; }
    void moveTo(WindowOrigin origin);
    static WindowBounds outerBounds(HWND window);

private:
    friend class WindowBase<ModalWindow>;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void windowDestroyed() { modal_ = false; }
    void close() { modal_ = false; }

    HINSTANCE instance_;
    Look look_;
    HWND owner_ = nullptr;
    DpiScale scale_;
    bool modal_ = false;  // the modal loop runs while set
};

}  // namespace ostrel::ui
