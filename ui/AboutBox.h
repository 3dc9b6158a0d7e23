#pragma once
// `TAboutForm`: the program's name and version, what it does, who made it and
// where to write. Painted by the window itself: two fonts on one line would
// otherwise take a control per piece.
#include <windows.h>

#include <initializer_list>
#include <string_view>

#include "platform/win32/UniqueHandle.h"
#include "ui/HelpWindow.h"  // ModalWindow

namespace ostrel::ui {

class AboutBox final : public ModalWindow {
public:
    explicit AboutBox(HINSTANCE instance);
    ~AboutBox() override;

private:
    struct Piece {
        std::string_view utf8;
        bool bold;
    };

    bool FormCreate() override;
    void FormShow() override;
    void dpiChanged() override;
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    void paint();
    void draw(HDC dc) const;
    // One line of plain and bold pieces, centred across the window.
    void drawCentredLine(HDC dc, int top, std::initializer_list<Piece> pieces) const;

    win32::UniqueFont font_;
    win32::UniqueFont boldFont_;
    win32::UniqueBrush background_;
    win32::UniquePen separator_;
};

}  // namespace ostrel::ui
