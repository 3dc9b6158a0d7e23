#include "ui/ListGrid.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "list/GridGeometry.h"
#include "platform/win32/KeyRepeat.h"
#include "platform/win32/Text.h"
#include "ui/ClassNames.h"
#include "ui/Dpi.h"
#include "ui/PixelFont.h"

namespace ostrel::ui {
namespace {

constexpr COLORREF kGridColour = RGB(245, 247, 249);
constexpr COLORREF kFontColour = RGB(41, 74, 133);
constexpr COLORREF kCurrentColour = RGB(255, 0, 0);
constexpr COLORREF kScreenSizeColour = RGB(10, 200, 10);
constexpr COLORREF kArrowColour = RGB(128, 128, 128);
constexpr int kCellTextInset = 2;  // a cell's text from its left and top edges

// Cell texts: the header is display text in UTF-8, every other cell bytes in
// the ANSI code page.
std::wstring cellText(const WallpaperList& list, int column, int row) {
    const std::string& text = list.cell(column, row);
    return row == 0 ? win32::utf8ToWide(text) : win32::ansiToWide(text);
}

void drawText(HDC dc, const RECT& cell, const std::wstring& text, int inset) {
    ExtTextOutW(dc, cell.left + inset, cell.top + inset, ETO_CLIPPED, &cell, text.c_str(),
                static_cast<UINT>(text.size()), nullptr);
}

class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

}  // namespace

bool ListGrid::create(HWND parent) {
    if (!registerWindowClass(instance_, {kListGridClass, &windowProc, nullptr, CS_DBLCLKS})) return false;

    background_.reset(CreateSolidBrush(kGridColour));
    arrowPen_.reset(CreatePen(PS_SOLID, 1, kArrowColour));
    limits_.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    // No border of its own but a sizing frame, so that its edge can be dragged.
    if (!CreateWindowExW(0, kListGridClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_THICKFRAME, 0, 0,
                         0, 0, parent, nullptr, instance_, this))
        return false;
    setScale(windowScale(hwnd_));
    return true;
}

void ListGrid::setScale(DpiScale scale) {
    scale_ = scale;
    font_ = pixelFont(L"Tahoma", scale_(11));
    limits_.ptMinTrackSize = {scale_(kGridMinWidth), 0};  // the main window's layout sets the rest
    reportSize();
    refresh();
}

void ListGrid::attach(ListController* list) {
    list_ = list;
    reportSize();
    refresh();
}

void ListGrid::reportSize() {
    if (!list_ || !hwnd_) return;
    RECT outer{}, client{};
    GetWindowRect(hwnd_, &outer);
    GetClientRect(hwnd_, &client);
    list_->selection().setSize(outer.bottom - outer.top, client.bottom, scale_);
}

void ListGrid::refresh() {
    if (!hwnd_) return;
    updateScrollBar();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ListGrid::refreshRows(int firstRow, int lastRow) {
    if (!hwnd_ || !list_) return;
    // Row r stands r - firstVisibleRow rows below the header row.
    const int first = list_->grid().firstVisibleRow;
    RECT rows{};
    GetClientRect(hwnd_, &rows);
    rows.top = std::max<LONG>(rows.top, (1 + firstRow - first) * rowHeight());
    rows.bottom = std::min<LONG>(rows.bottom, (2 + lastRow - first) * rowHeight());
    if (rows.top < rows.bottom) InvalidateRect(hwnd_, &rows, FALSE);
}

void ListGrid::SetMinMax(int maxWidth, int maxHeight, int minWidth, int minHeight) {
    limits_.ptMaxTrackSize = {maxWidth, maxHeight};
    limits_.ptMinTrackSize = {std::max(minWidth, scale_(kGridMinWidth)), minHeight};
}

void ListGrid::setNameWidth(int width) {
    if (width == nameWidth_) return;
    nameWidth_ = width;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

// ---- messages ----

LRESULT ListGrid::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return 1;  // WM_PAINT covers everything
    case WM_PAINT: paint(); return 0;
    case WM_SIZE:
        // A new height can move the first visible row: all of it is drawn again.
        reportSize();
        refresh();
        if (onResize) onResize();
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = limits_.ptMinTrackSize;
        info->ptMaxTrackSize = limits_.ptMaxTrackSize;
        return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_VSCROLL: onVerticalScroll(wParam); return 0;
    case WM_MOUSEWHEEL:
        if (list_) {
            // One step per notch; a fine-grained wheel sends smaller deltas that add up.
            wheelDelta_ += GET_WHEEL_DELTA_WPARAM(wParam);
            for (; wheelDelta_ >= WHEEL_DELTA; wheelDelta_ -= WHEEL_DELTA) list_->plistMouseWheelUp();
            for (; wheelDelta_ <= -WHEEL_DELTA; wheelDelta_ += WHEEL_DELTA) list_->plistMouseWheelDown();
        }
        return 0;
    case WM_LBUTTONDOWN: {
        SetFocus(hwnd_);
        const int row = rowAt(GET_Y_LPARAM(lParam));
        if (list_ && row >= 1) {
            list_->moveCurrentRow(row, (wParam & MK_SHIFT) != 0);
            selecting_ = true;
            SetCapture(hwnd_);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (selecting_ && list_) {
            const int row = rowAt(std::max(GET_Y_LPARAM(lParam), 0));
            if (row >= 1) list_->moveCurrentRow(row, true);
        }
        return 0;
    case WM_LBUTTONUP:
        if (selecting_) {
            selecting_ = false;
            ReleaseCapture();
        }
        if (list_) list_->headerClick(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), numberWidth(), nameWidth_);
        return 0;
    case WM_CAPTURECHANGED: selecting_ = false; return 0;
    case WM_LBUTTONDBLCLK:
        if (list_) list_->plistDblClick(GET_Y_LPARAM(lParam));
        return 0;
    case WM_RBUTTONUP:
        if (list_ && mainWindowOrigin && onRowMenu) {
            const POINT origin = mainWindowOrigin();
            RECT outer{};
            GetWindowRect(hwnd_, &outer);
            POINT gridTopLeft{outer.left, outer.top};
            ScreenToClient(GetParent(hwnd_), &gridTopLeft);
            if (auto menu = list_->rowMenuAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), origin.x, origin.y,
                                             gridTopLeft.x, gridTopLeft.y))
                onRowMenu(*menu);
        }
        return 0;
    case WM_KEYDOWN: onKeyDown(wParam, win32::keyWasDown(lParam)); return 0;
    case WM_KEYUP:
        if (list_) {
            list_->plistKeyUp(listKeyOf(wParam));
        }
        return 0;
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

// ---- input ----

ListKey ListGrid::listKeyOf(WPARAM key) {
    switch (key) {
    case VK_RETURN: return ListKey::Enter;
    case VK_UP: return ListKey::Up;
    case VK_DOWN: return ListKey::Down;
    case VK_LEFT: return ListKey::Left;
    case VK_RIGHT: return ListKey::Right;
    case VK_DELETE: return ListKey::Delete;
    case 'A': return ListKey::A;
    case VK_ESCAPE: return ListKey::Escape;
    case VK_SPACE: return ListKey::Space;
    default: return ListKey::Other;
    }
}

void ListGrid::onKeyDown(WPARAM key, bool repeat) {
    if (!list_) return;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const ListKey listKey = listKeyOf(key);
    if (list_->plistKeyDown(listKey, shift, ctrl, repeat)) return;

    // The grid's own moves: with whole-row selection Left and Right act as Up and Down.
    const GridState& grid = list_->grid();
    const int last = list_->list().rowCount() - 1;
    const int page = std::max(1, dataRowsInView() - 1);
    int row = grid.currentRow;
    switch (key) {
    case VK_UP:
    case VK_LEFT: row -= 1; break;
    case VK_DOWN:
    case VK_RIGHT: row += 1; break;
    case VK_PRIOR: row -= page; break;
    case VK_NEXT: row += page; break;
    case VK_HOME: row = 1; break;
    case VK_END: row = last; break;
    default: return;
    }
    list_->moveCurrentRow(std::clamp(row, 1, std::max(1, last)), shift);
}

void ListGrid::onVerticalScroll(WPARAM request) {
    if (!list_) return;
    const int top = list_->grid().firstVisibleRow;
    const int page = std::max(1, dataRowsInView());
    int wanted = top;
    switch (LOWORD(request)) {
    case SB_LINEUP: wanted = top - 1; break;
    case SB_LINEDOWN: wanted = top + 1; break;
    case SB_PAGEUP: wanted = top - page; break;
    case SB_PAGEDOWN: wanted = top + page; break;
    case SB_TOP: wanted = 1; break;
    case SB_BOTTOM: wanted = list_->list().rowCount(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The 32-bit position: the 16 bits in the message are too few for a long list.
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(hwnd_, SB_VERT, &info);
        wanted = info.nTrackPos + 1;
        break;
    }
    default: return;
    }
    list_->selection().scrollTo(wanted);  // held to the rows the grid can show
    refresh();
}

// ---- geometry ----

int ListGrid::resolutionWidth() const {
    return resolutionColumnWidth(hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VSCROLL) != 0, scale_);
}

int ListGrid::dataRowsInView() const { return list_ ? list_->grid().rowsInView : 0; }

int ListGrid::rowAt(int y) const {
    if (!list_ || y < 0) return -1;
    const WallpaperList& list = list_->list();
    if (y < rowHeight()) return list.fixedRows() > 0 ? 0 : (list.rowCount() > 0 ? 0 : -1);
    const int row = list_->grid().firstVisibleRow + y / rowHeight() - 1;
    return row < list.rowCount() ? row : -1;
}

void ListGrid::updateScrollBar() {
    if (!hwnd_ || !list_) return;
    const int entries = std::max(0, list_->list().rowCount() - 1);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = std::max(0, entries - 1);
    info.nPage = static_cast<UINT>(std::max(1, dataRowsInView()));
    info.nPos = list_->grid().firstVisibleRow - 1;
    SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
}

// ---- painting ----

void ListGrid::paint() {
    win32::PaintScope scope(hwnd_);
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    win32::UniqueMemoryDc memory(CreateCompatibleDC(scope.dc()));
    win32::UniqueBitmap bitmap(CreateCompatibleBitmap(scope.dc(), client.right, client.bottom));
    if (!memory || !bitmap) return;
    {
        win32::SelectObjectScope selectBitmap(memory.get(), bitmap.get());
        win32::SelectObjectScope selectFont(memory.get(), font_.get());
        FillRect(memory.get(), &client, background_.get());
        paintRows(memory.get(), client);
        const RECT& dirty = scope.dirty();
        BitBlt(scope.dc(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, memory.get(),
               dirty.left, dirty.top, SRCCOPY);
    }
}

void ListGrid::paintRows(HDC dc, const RECT& client) {
    if (!list_) return;
    const WallpaperList& list = list_->list();
    const GridState& grid = list_->grid();
    const int numberWidth = this->numberWidth(), rowHeight = this->rowHeight(), inset = scale_(kCellTextInset);
    const int columnLeft[kColumnCount] = {0, numberWidth, numberWidth + nameWidth_};
    const int columnWidth[kColumnCount] = {numberWidth, nameWidth_, resolutionWidth()};
    SetBkMode(dc, TRANSPARENT);
    HBRUSH highlight = GetSysColorBrush(COLOR_HIGHLIGHT);
    HBRUSH fixed = GetSysColorBrush(COLOR_BTNFACE);

    auto paintRow = [&](int row, int top) {
        const bool isFixed = row < list.fixedRows();
        const bool selected =
            !isFixed && ((row >= grid.selectionTop && row <= grid.selectionBottom) || row == grid.currentRow);
        HBRUSH brush = isFixed ? fixed : selected ? highlight : background_.get();
        const COLORREF normalText = selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : kFontColour;
        RECT cells[kColumnCount];
        for (int column = NumberColumn; column < kColumnCount; ++column) {
            cells[column] = {columnLeft[column], top, columnLeft[column] + columnWidth[column], top + rowHeight};
            FillRect(dc, &cells[column], brush);
            SetTextColor(dc, normalText);
            drawText(dc, cells[column], cellText(list, column, row), inset);
        }
        if (isFixed) {
            // Fixed rows carry a line under them.
            RECT line{0, top + rowHeight - scale_(1), client.right, top + rowHeight};
            FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
        }
        const RowLook look = rowLook(list, row, list_->currentPath(), list_->screenResolutionText(), top == 0);
        if (look.redrawn) {
            SetTextColor(dc, kCurrentColour);
            drawText(dc, cells[NumberColumn], std::to_wstring(row), inset);
            drawText(dc, cells[PathColumn], cellText(list, PathColumn, row), inset);
            FillRect(dc, &cells[ResolutionColumn], brush);
            drawText(dc, cells[ResolutionColumn], cellText(list, ResolutionColumn, row), inset);
        }
        if (look.resolution == TextColour::ScreenSize) {
            SetTextColor(dc, kScreenSizeColour);
            FillRect(dc, &cells[ResolutionColumn], brush);
            drawText(dc, cells[ResolutionColumn], cellText(list, ResolutionColumn, row), inset);
        }
        return look.arrow;
    };

    bool arrow = paintRow(0, 0);
    for (int row = std::max(1, grid.firstVisibleRow), top = rowHeight; row < list.rowCount() && top < client.bottom;
         ++row, top += rowHeight)
        arrow = paintRow(row, top) || arrow;
    if (arrow) drawSortArrow(dc);
    // A header cell under the pointer stays highlighted through repaints.
    if (const int hovered = list_->selection().hoveredHeader()) drawHighlight(dc, hovered);
}

void ListGrid::drawHighlight(HDC dc, int which) {
    const int left = which == 1 ? numberWidth() : numberWidth() + nameWidth_;
    const int width = which == 1 ? nameWidth_ : resolutionWidth();
    const int inset = scale_(kCellTextInset);
    RECT cell{left, 0, left + width, rowHeight()};
    FillRect(dc, &cell, GetSysColorBrush(COLOR_ACTIVEBORDER));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kFontColour);
    const std::wstring caption = cellText(list_->list(), which, 0);
    ExtTextOutW(dc, left + inset, inset, 0, nullptr, caption.c_str(), static_cast<UINT>(caption.size()), nullptr);
    drawSortArrow(dc);
}

void ListGrid::drawSortArrow(HDC dc) {
    if (!list_) return;
    win32::SelectObjectScope selectPen(dc, arrowPen_.get());
    for (const ArrowLine& line :
         sortArrowLines(numberWidth() + nameWidth_, list_->model().sortedByName(), list_->model().sortedByResolution(),
                        list_->model().sortDescending(), scale_)) {
        MoveToEx(dc, line.x0, line.y, nullptr);
        LineTo(dc, line.x1, line.y);
    }
}

void ListGrid::light(int which) {
    if (!hwnd_ || !list_) return;
    if (which == 0) {
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return;
    }
    // Drawn straight onto the grid, without a repaint, while the pointer moves.
    WindowDc dc(hwnd_);
    if (!dc.get()) return;
    win32::SelectObjectScope selectFont(dc.get(), font_.get());
    drawHighlight(dc.get(), which);
}

}  // namespace ostrel::ui
