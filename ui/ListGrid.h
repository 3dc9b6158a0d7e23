#pragma once
// The list grid `tMystringGrid`: the working list's three columns drawn by the
// program itself, only the rows in sight, so that a list of 100 000 entries
// scrolls and repaints as fast as one of 100. Whole-row and range selection,
// a vertical scroll bar with thumb tracking, and a sizing frame whose left
// edge the user drags; the limits of that drag come from SetMinMax.
#include <windows.h>

#include <functional>

#include "list/GridGeometry.h"
#include "list/ListController.h"
#include "platform/win32/UniqueHandle.h"
#include "ui/WindowBase.h"

namespace ostrel::ui {

class ListGrid : public WindowBase<ListGrid> {
public:
    explicit ListGrid(HINSTANCE instance) : instance_(instance) {}

    // A child of parent with the sizing frame, not yet attached to a list.
    [[nodiscard]] bool create(HWND parent);
    void attach(ListController* list);
    // The grid's DPI, from its creation on and whenever the window's changes:
    // rows, columns, header and font follow it.
    void setScale(DpiScale scale);

    // The list or the grid state changed: scroll bar and repaint.
    void refresh();
    // Repaints these rows only, where they are in sight.
    void refreshRows(int firstRow, int lastRow);
    // The drag limits answered to WM_GETMINMAXINFO; the minimum width is never below 200.
    void SetMinMax(int maxWidth, int maxHeight, int minWidth, int minHeight);

    int numberWidth() const { return scale_(kNumberColumnWidth); }
    int nameWidth() const { return nameWidth_; }
    void setNameWidth(int width);

    // `light`: 0 repaints the header plain, 1 highlights "Имя", 2 "Разрешение".
    void light(int which);

    // The grid's size changed (`onresize`).
    std::function<void()> onResize;
    // A right click asks for the row menu at these screen coordinates.
    std::function<void(const RowMenu&)> onRowMenu;
    // Screen position of the main window's outer top-left, where the row menu
    // is placed from.
    std::function<POINT()> mainWindowOrigin;

private:
    friend class WindowBase<ListGrid>;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void paint();
    void paintRows(HDC dc, const RECT& client);
    void drawSortArrow(HDC dc);
    void drawHighlight(HDC dc, int which);
    void updateScrollBar();
    int rowAt(int y) const;  // the row under a client y, or -1
    int rowHeight() const { return scale_(kRowHeight); }
    int dataRowsInView() const;
    int resolutionWidth() const;           // narrower while the scroll bar is shown
    static ListKey listKeyOf(WPARAM key);  // the keys the list's handlers know
    void onKeyDown(WPARAM key, bool repeat);
    void reportSize();  // the grid's heights to the list
    void onVerticalScroll(WPARAM request);

    HINSTANCE instance_;
    ListController* list_ = nullptr;
    DpiScale scale_;  // the grid's DPI, known once it is made
    win32::UniqueFont font_;
    win32::UniqueBrush background_;
    win32::UniquePen arrowPen_;
    int nameWidth_ = 200;
    MINMAXINFO limits_{};
    bool selecting_ = false;  // the left button is down over the rows
    int wheelDelta_ = 0;      // wheel movement not yet a whole notch
};

}  // namespace ostrel::ui
