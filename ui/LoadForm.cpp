#include "ui/LoadForm.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cmath>
#include <iterator>
#include <utility>

#include "app/HelpText.h"
#include "base/ProgramName.h"
#include "imaging/PictureLoader.h"
#include "platform/win32/MessageBox.h"
#include "platform/win32/Text.h"
#include "ui/Dib.h"
#include "ui/Dpi.h"
#include "ui/PixelFont.h"

namespace ostrel::ui {
namespace {

constexpr int kClientWidth = 457;
constexpr int kClientHeight = 429;
constexpr POINT kImageAt[kBrowserSlots] = {{50, 48}, {270, 48}, {50, 192}, {270, 192}};
constexpr POINT kLabelAt[kBrowserSlots] = {{83, 168}, {303, 168}, {83, 312}, {303, 312}};
constexpr POINT kDateAt{32, 20};
constexpr POINT kPageAt{216, 376};
constexpr POINT kNoteAt{32, 337};
constexpr int kNoteHeight = 30;  // two lines, for a long site name
constexpr int kNoteRightMargin = 8;
constexpr POINT kPreviousAt{50, 368};
constexpr POINT kNextAt{333, 368};
constexpr SIZE kButtonSize{75, 25};
constexpr int kLineY = 37;
constexpr int kBandHeight = 91;
constexpr int kStripRows = 90;  // the band's strip, stretched over its height
constexpr int kFadeRows = 25;
// The line under the date runs over this part of the dialog's width.
constexpr double kLineStart = 0.05, kLineEnd = 0.95;
// The status bar: the byte total and the clock keep their widths at the
// right, the progress text takes the rest.
constexpr int kByteTotalPanelWidth = 150;
constexpr int kClockPanelWidth = 80;
constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kDateColour = RGB(34, 110, 223);
constexpr COLORREF kLineColour = RGB(216, 218, 223);
constexpr COLORREF kPressedLabel = RGB(255, 0, 0);
constexpr int kPreviousId = 4;
constexpr int kNextId = 3;
constexpr int kStatusId = 5;
constexpr UINT_PTR kClockTimer = 1;
constexpr UINT kClockMs = 1000;

// Row r (1..kStripRows) of the band's strip: two white rows, a grey line,
// then a fade from a pale blue-grey to white over kFadeRows rows, then white.
COLORREF stripRow(int r) {
    if (r <= 2) return RGB(255, 255, 255);
    if (r == 3) return kLineColour;
    const int step = r - 4;
    if (step >= kFadeRows) return RGB(255, 255, 255);
    const auto fade = [step](int from) { return from + (255 - from) * step / kFadeRows; };
    return RGB(fade(234), fade(238), fade(242));
}

std::wstring wide(const std::string& utf8) { return win32::utf8ToWide(utf8); }

POINT scaled(DpiScale s, POINT designed) { return {s(designed.x), s(designed.y)}; }

// A preview's place: the picture is shown in it at its own size.
RECT imageRect(DpiScale s, int slot) {
    const POINT at = scaled(s, kImageAt[slot - 1]);
    return {at.x, at.y, at.x + s(kPreviewPlace.width), at.y + s(kPreviewPlace.height)};
}

}  // namespace

LoadForm::LoadForm(HINSTANCE instance, const FileSystem& files, std::string siteName)
    : ModalWindow(instance, Look{L"TLoadForm", "", kClientWidth, kClientHeight, nullptr}),
      files_(files),
      siteName_(std::move(siteName)) {}

LoadForm::~LoadForm() {
    decodes_.stop();  // already ended if the window was
    destroyWindow();
}

bool LoadForm::FormCreate() {
    SetWindowTextW(hwnd(), wide("Загрузка новых обоев с " + siteName_).c_str());
    note_ = wide("Здесь представлены только новые обои, остальные на сайте " + siteName_);
    const auto button = [this](const wchar_t* text, POINT at, int id) {
        return buttons_.add(
            CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON, 0, 0,
                            0, 0, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance(), nullptr),
            {at.x, at.y, at.x + kButtonSize.cx, at.y + kButtonSize.cy});
    };
    previous_ = button(L"<<<", kPreviousAt, kPreviousId);
    next_ = button(L">>>", kNextAt, kNextId);
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusId)), instance(), nullptr);
    if (!previous_ || !next_ || !status_) return false;

    // "Скачать" over the previews, asked for as the pointer rests on one.
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, hwnd(),
                               nullptr, instance(), nullptr);
    if (tooltip_) {
        for (int k = 0; k < kBrowserSlots; ++k) {
            TOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_SUBCLASS;
            tool.hwnd = hwnd();
            tool.uId = static_cast<UINT_PTR>(k + 1);
            tool.lpszText = LPSTR_TEXTCALLBACKW;
            SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    dpiChanged();
    return true;
}

void LoadForm::dpiChanged() {
    const DpiScale s = scale();
    buttonFont_ = pixelFont(L"MS Sans Serif", s(11));
    labelFont_ = pixelFont(L"Tahoma", s(11));
    dateFont_ = pixelFont(L"Tahoma", s(13), true);
    pageFont_ = pixelFont(L"MS Sans Serif", s(11), true);
    buttons_.place(s, buttonFont_.get());
    // The old font goes only once neither control draws with it.
    if (win32::UniqueFont font = statusFont(s)) {
        SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
        if (tooltip_) SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        statusFont_ = std::move(font);
        SendMessageW(status_, WM_SIZE, 0, 0);  // its height follows the font
    }
    for (int k = 1; k <= kBrowserSlots; ++k) {
        if (tooltip_) {
            TOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.hwnd = hwnd();
            tool.uId = static_cast<UINT_PTR>(k);
            tool.rect = imageRect(s, k);
            SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
        }
        // The labels measured in the new font, the previews decoded for their new places.
        Slot& slot = slots_[static_cast<std::size_t>(k - 1)];
        measureLabel(slot);
        if (!slot.file.empty()) setSlotPicture(k, slot.file);
    }
}

void LoadForm::FormShow() {
    const WindowBounds own = outerBounds(hwnd());
    moveTo(aboutBoxOrigin(outerBounds(owner()), own.width, own.height));
    if (browser_) browser_->FormShow();
}

void LoadForm::showModal() {
    show();
    KillTimer(hwnd(), kClockTimer);
    pressed_ = {};
    pressedLabel_ = 0;
    if (browser_) browser_->FormClose();
}

// ---------------------------------------------------------------- what the browser sets

void LoadForm::setSlotVisible(int slot, bool visible) {
    Slot& s = slots_.at(static_cast<std::size_t>(slot - 1));
    if (s.visible == visible) return;
    s.visible = visible;
    invalidate(nullptr);
}

void LoadForm::setSlotPicture(int slot, const std::string& file) {
    // The slot stays empty until its picture is decoded, and stays so when it does not decode.
    Slot& s = slots_.at(static_cast<std::size_t>(slot - 1));
    s.picture = {};
    s.file = file;
    invalidate(nullptr);
    if (file.empty()) {
        decodes_.drop(slot);
        return;
    }
    decodes_.request(slot, [&files = files_, file, scale = scale()] {
        // Scaled like the page, and decoded no larger than its place: a
        // preview from the server may claim any size.
        const PictureSizing fit = [scale](ImageSize size) { return previewShownSize(size, scale); };
        return loadPicture(files, file, fit, kPreviewMemoryLimit);
    });
}

void LoadForm::showDecodedPreviews() {
    for (BackgroundDecodes::Result& result : decodes_.take()) {
        Picture& picture = slots_.at(static_cast<std::size_t>(result.place - 1)).picture;
        picture = {};
        const std::optional<Image>& image = result.value;
        if (image && image->width > 0 && image->height > 0) {
            picture.width = image->width;
            picture.height = image->height;
            picture.dib = dibRows(*image);
        }
        invalidate(nullptr);
    }
}

void LoadForm::setSlotLabel(int slot, const std::string& textUtf8) {
    const RECT before = labelRect(slot);
    Slot& s = slots_.at(static_cast<std::size_t>(slot - 1));
    s.label = wide(textUtf8);
    measureLabel(s);
    invalidate(&before);
    const RECT after = labelRect(slot);
    invalidate(&after);
}

void LoadForm::setPagingEnabled(bool previous, bool next) {
    // A button losing its enabling while it has the focus would leave the
    // keyboard with nowhere to go (Escape would no longer close the dialog).
    const HWND focus = GetFocus();
    if ((focus == previous_ && !previous) || (focus == next_ && !next)) SetFocus(hwnd());
    EnableWindow(previous_, previous);
    EnableWindow(next_, next);
}

void LoadForm::setDateLabel(const std::string& text) {
    date_ = wide(text);
    invalidate(nullptr);
}

void LoadForm::setPageLabel(const std::string& text) {
    page_ = wide(text);
    invalidate(nullptr);
}

void LoadForm::setNoteVisible(bool visible) {
    noteVisible_ = visible;
    invalidate(nullptr);
}

void LoadForm::setStatus(StatusPanel panel, const std::string& textUtf8) {
    SendMessageW(status_, SB_SETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(wide(textUtf8).c_str()));
}

void LoadForm::startClock() {
    SetTimer(hwnd(), kClockTimer, kClockMs, nullptr);
    showTime();
}

void LoadForm::showTime() {
    wchar_t time[64]{};
    if (!GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, static_cast<int>(std::size(time)))) return;
    const std::wstring text = L"  " + std::wstring(time);
    SendMessageW(status_, SB_SETTEXTW, static_cast<WPARAM>(StatusPanel::Clock), reinterpret_cast<LPARAM>(text.c_str()));
}

void LoadForm::showMessage(const std::string& textUtf8) {
    win32::messageBox(hwnd(), wide(textUtf8).c_str(), kProgramTitleWide, MB_OK);
}

void LoadForm::repaint() {
    if (hwnd()) UpdateWindow(hwnd());
}

char LoadForm::decimalSeparator() const {
    wchar_t separator[4]{};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, static_cast<int>(std::size(separator))) &&
        separator[0] > 0 && separator[0] < 0x80)
        return static_cast<char>(separator[0]);
    return '.';
}

void LoadForm::invalidate(const RECT* area) {
    if (hwnd()) InvalidateRect(hwnd(), area, FALSE);
}

// ---------------------------------------------------------------- painting

// Measured once for each text and font: the pointer's hit tests use it at every move.
void LoadForm::measureLabel(Slot& s) const {
    s.labelSize = {0, 0};
    if (HDC dc = GetDC(hwnd())) {
        HGDIOBJ old = SelectObject(dc, labelFont_.get());
        GetTextExtentPoint32W(dc, s.label.c_str(), static_cast<int>(s.label.size()), &s.labelSize);
        SelectObject(dc, old);
        ReleaseDC(hwnd(), dc);
    }
}

RECT LoadForm::labelRect(int slot) const {
    const POINT at = scaled(scale(), kLabelAt[slot - 1]);
    const SIZE size = slots_[static_cast<std::size_t>(slot - 1)].labelSize;
    return {at.x, at.y, at.x + size.cx, at.y + size.cy};
}

void LoadForm::paint() {
    win32::PaintScope painting(hwnd());  // ended however the drawing ends
    HDC dc = painting.dc();
    RECT client{};
    GetClientRect(hwnd(), &client);
    // Drawn off screen first: the labels change ten times a second.
    win32::UniqueMemoryDc memory(CreateCompatibleDC(dc));
    win32::UniqueBitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (memory && bitmap) {
        win32::SelectObjectScope select(memory.get(), bitmap.get());
        draw(memory.get(), client.right, client.bottom);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    } else {
        draw(dc, client.right, client.bottom);
    }
}

void LoadForm::draw(HDC dc, int width, int height) {
    RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    // The band above the status bar: the strip's rows stretched over its height.
    RECT bar{};
    GetWindowRect(status_, &bar);
    const DpiScale scale = this->scale();
    const int bandHeight = scale(kBandHeight);
    const int bottom = height - (bar.bottom - bar.top), top = bottom - bandHeight;
    const auto rowBrush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    for (int y = top; y < bottom; ++y) {
        SetDCBrushColor(dc, stripRow(1 + (y - top) * kStripRows / bandHeight));
        RECT line{0, y, width, y + 1};
        FillRect(dc, &line, rowBrush);
    }

    SetBkMode(dc, TRANSPARENT);
    for (int k = 1; k <= kBrowserSlots; ++k) {
        const Slot& s = slots_[static_cast<std::size_t>(k - 1)];
        if (!s.visible) continue;
        const RECT place = imageRect(scale, k);
        if (!s.picture.dib.empty()) {
            const BITMAPINFO info = dibInfo(s.picture.width, s.picture.height);
            // Shown at its own size, cut to the preview's place.
            const int saved = SaveDC(dc);
            IntersectClipRect(dc, place.left, place.top, place.right, place.bottom);
            SetDIBitsToDevice(dc, place.left, place.top, s.picture.width, s.picture.height, 0, 0, 0, s.picture.height,
                              s.picture.dib.data(), &info, DIB_RGB_COLORS);
            RestoreDC(dc, saved);
        }
        win32::SelectObjectScope font(dc, labelFont_.get());
        SetTextColor(dc, pressedLabel_ == k ? kPressedLabel : kNavy);
        const POINT label = scaled(scale, kLabelAt[k - 1]);
        TextOutW(dc, label.x, label.y, s.label.c_str(), static_cast<int>(s.label.size()));
    }
    {
        win32::SelectObjectScope font(dc, dateFont_.get());
        SetTextColor(dc, kDateColour);
        TextOutW(dc, scale(kDateAt.x), scale(kDateAt.y), date_.c_str(), static_cast<int>(date_.size()));
    }
    if (noteVisible_) {
        win32::SelectObjectScope font(dc, labelFont_.get());
        SetTextColor(dc, kNavy);
        // A long site name wraps onto a second line rather than off the dialog.
        RECT box{scale(kNoteAt.x), scale(kNoteAt.y), width - scale(kNoteRightMargin), scale(kNoteAt.y + kNoteHeight)};
        DrawTextW(dc, note_.c_str(), static_cast<int>(note_.size()), &box,
                  DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    }
    {
        win32::SelectObjectScope font(dc, pageFont_.get());
        SetTextColor(dc, kNavy);
        TextOutW(dc, scale(kPageAt.x), scale(kPageAt.y), page_.c_str(), static_cast<int>(page_.size()));
    }
    win32::UniquePen pen(CreatePen(PS_SOLID, scale(1), kLineColour));
    win32::SelectObjectScope usePen(dc, pen.get());
    MoveToEx(dc, static_cast<int>(std::lround(kLineStart * width)), scale(kLineY), nullptr);
    LineTo(dc, static_cast<int>(std::lround(kLineEnd * width)), scale(kLineY));
}

// ---------------------------------------------------------------- input

LoadForm::Hit LoadForm::hitTest(POINT at) const {
    for (int k = 1; k <= kBrowserSlots; ++k) {
        if (!slots_[static_cast<std::size_t>(k - 1)].visible) continue;
        const RECT image = imageRect(scale(), k);
        if (PtInRect(&image, at)) return {Target::Image, k};
        const RECT label = labelRect(k);
        if (PtInRect(&label, at)) return {Target::Label, k};
    }
    return {};
}

// Activation within the program starts the dialog over and runs its clock;
// going to another program and back does neither, and the clock runs on.
bool LoadForm::fromAnotherProgram(LPARAM lParam) const {
    HWND other = reinterpret_cast<HWND>(lParam);
    DWORD process = 0;
    if (other && GetWindowThreadProcessId(other, &process)) return process != GetCurrentProcessId();
    return appSwitch_;  // no window named: WM_ACTIVATEAPP has said whether it was a switch
}

void LoadForm::onActivate(WPARAM wParam, LPARAM lParam) {
    const bool switched = fromAnotherProgram(lParam);
    appSwitch_ = false;
    if (switched) return;
    if (LOWORD(wParam) == WA_INACTIVE) {
        KillTimer(hwnd(), kClockTimer);  // FormDeactivate
        return;
    }
    if (browser_) browser_->FormActivate();
}

bool LoadForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_DESTROY:
        // The window goes at the program's end, before this object: the worker
        // is ended first, so nothing is posted to the handle once it is gone.
        decodes_.stop();
        return false;
    case WM_ERASEBKGND: result = 1; return true;
    case WM_SIZE:
        if (status_) {
            SendMessageW(status_, WM_SIZE, 0, 0);  // the status bar keeps to the bottom
            // Measured from the dialog's outer width; the last panel runs to the bar's end.
            RECT outer{};
            GetWindowRect(hwnd(), &outer);
            const int width = outer.right - outer.left;
            const DpiScale s = scale();
            const int parts[kStatusPanels] = {width - s(kClockPanelWidth) - s(kByteTotalPanelWidth),
                                              width - s(kClockPanelWidth), -1};
            SendMessageW(status_, SB_SETPARTS, kStatusPanels, reinterpret_cast<LPARAM>(parts));
        }
        return true;
    case WM_PAINT: paint(); return true;
    case WM_ACTIVATEAPP:
        appSwitch_ = true;  // the WM_ACTIVATE that goes with it is a switch of programs
        return false;
    case WM_ACTIVATE: onActivate(wParam, lParam); return false;  // the default handling gives the focus
    case WM_TIMER:
        if (wParam == kClockTimer) showTime();
        return true;
    case kPreviewsDecoded: showDecodedPreviews(); return true;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && browser_) {
            if (LOWORD(wParam) == kNextId) browser_->nextPage();
            if (LOWORD(wParam) == kPreviousId) browser_->previousPage();
        }
        return true;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            POINT at{};
            GetCursorPos(&at);
            ScreenToClient(hwnd(), &at);
            if (hitTest(at).target != Target::None) {
                SetCursor(LoadCursorA(nullptr, IDC_HAND));
                result = TRUE;
                return true;
            }
        }
        return false;
    case WM_LBUTTONDOWN: {
        pressed_ = hitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (pressed_.target != Target::None) SetCapture(hwnd());
        if (pressed_.target == Target::Label) pressedLabel_ = pressed_.slot;
        invalidate(nullptr);  // a press on the background repaints too
        return true;
    }
    case WM_LBUTTONUP: {
        const Hit released = hitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        const Hit pressed = std::exchange(pressed_, Hit{});
        if (GetCapture() == hwnd()) ReleaseCapture();
        if (std::exchange(pressedLabel_, 0) != 0) invalidate(nullptr);
        if (pressed.target != Target::None && released.target == pressed.target && released.slot == pressed.slot &&
            browser_)
            browser_->downloadpic(pressed.slot);
        return true;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == tooltip_ && header->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            const std::size_t k = static_cast<std::size_t>(info->hdr.idFrom);
            static wchar_t hint[] = L"\x0421\x043a\x0430\x0447\x0430\x0442\x044c";  // "Скачать"
            info->lpszText = k >= 1 && k <= slots_.size() && slots_[k - 1].visible ? hint : nullptr;
            return true;
        }
        return false;
    }
    default: return false;
    }
}

}  // namespace ostrel::ui
