#pragma once
// The main window's face: the banner, the shadow frame around the preview,
// the control panel, the separator and the three toolbars `ToolBar2`,
// `ToolBar1` and `ToolBar3`, drawn by the window itself over its background,
// with hover, pressed and checked states and the buttons' hints.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "app/Commands.h"
#include "app/MainLayout.h"
#include "platform/win32/UniqueHandle.h"

namespace ostrel::ui {

// The buttons, in the order of their toolbars.
enum FaceButton : int {
    Playbtn,
    Nextbtn,
    TimeBtn,
    shufleBtn,  // `ToolBar2`
    AddButton,
    ListButton,  // `ToolBar1`
    DownloadButton,
    FullScreenButton,
    ExitButton,  // `ToolBar3`
    kFaceButtons
};

// The resource id of a drawn picture (id at 100 %) as drawn for the scale's
// artwork: at 150 % or 200 % where the window takes those.
int drawnArtworkId(int id, DpiScale scale);

class MainFace {
public:
    explicit MainFace(HINSTANCE instance) : instance_(instance) {}

    // Loads the pictures at the window's scale and makes the hints' tooltip for window.
    [[nodiscard]] bool create(HWND window, DpiScale scale);
    // The list resize's layout for this left edge of the list, at the window's
    // DPI; at a new DPI the pictures are loaded again for it.
    void layOut(int listLeft, DpiScale scale);
    const FaceLayout& layout() const { return face_; }

    // The paint handler's steps for everything but the list and the preview's picture.
    void paint(HDC dc, int listLeft, int windowHeight) const;

    void setChecked(FaceButton button, bool checked);
    void setPressed(FaceButton button, bool pressed);
    // The add button's blink: between its picture and the highlighted one.
    void setAddButtonLit(bool lit);
    // Pointer moves and clicks over the window; true when a button's look changed.
    bool hover(POINT client);
    bool press(POINT client);
    // The button released over the one pressed, if any.
    std::optional<FaceButton> release(POINT client);
    bool overPreview(POINT client) const { return face_.preview.strictlyContains(client.x, client.y); }

    // A part of the face must be drawn again.
    std::function<void(const RECT&)> onChange;

private:
    struct State {
        bool checked = false, pressed = false, hot = false;
    };
    std::optional<FaceButton> buttonAt(POINT client) const;
    void drawButton(HDC dc, FaceButton button) const;
    void drawPiece(HDC dc, HDC source, HBITMAP piece, int sl, int st, int sr, int sb, int dl, int dt, int dr,
                   int db) const;
    void updateHints();
    void changed(const RECT& r) const {
        if (onChange) onChange(r);
    }

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;
    FaceLayout face_;
    std::array<Box, kFaceButtons> boxes_{};
    std::array<State, kFaceButtons> states_{};
    int addImage_ = 0;  // the add button's picture: plain or highlighted
    std::optional<FaceButton> pressedButton_;

    // The pictures at the window's scale, in its pixels.
    struct Artwork {
        DpiScale scale;
        win32::UniqueBitmap header, strip, side, edge, corner, panelLeft, panelMiddle, panelRight;
        win32::UniqueImageList playback, list, sideBar;
    };
    static std::optional<Artwork> loadArtwork(HINSTANCE instance, DpiScale scale);
    Artwork art_;
};

}  // namespace ostrel::ui
