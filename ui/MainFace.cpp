#include "ui/MainFace.h"

#include <algorithm>

#include "app/FaceArtwork.h"
#include "platform/win32/Text.h"
#include "resources/resource.h"
#include "ui/Dib.h"

namespace ostrel::ui {
namespace {

constexpr COLORREF kBackground = RGB(245, 247, 249);
constexpr COLORREF kSeparator = RGB(210, 211, 215);
constexpr COLORREF kMask = RGB(255, 0, 255);  // the toolbar pictures' transparent colour
constexpr COLORREF kHotFill = RGB(229, 238, 250), kHotEdge = RGB(168, 196, 232);
constexpr COLORREF kDownFill = RGB(204, 221, 243), kDownEdge = RGB(120, 160, 215);

struct ButtonSpec {
    int image;
    const char* hint;  // nullptr: none
};
// Images and hints in the order of FaceButton.
constexpr ButtonSpec kButtons[kFaceButtons] = {
    {0, "Запустить смену обоев"},
    {1, "Сменить обои"},
    {2, "Настройки смены"},
    {3, "В случайном порядке"},
    {0, nullptr},
    {1, nullptr},
    {2, "Скачать новые обои"},
    {1, "Просмотр на весь экран"},
    {0, "Выход"},
};
constexpr int kPreviewHint = kFaceButtons;  // the tooltip's tool over the preview
constexpr int kAddLitImage = 2;             // the add button's highlighted picture in its strip

// The buttons' places on their toolbars.
constexpr int kPlaybackButtonTop = 2, kPlaybackButtonWidth = 44, kPlaybackButtonHeight = 30;
constexpr int kListButtonTop = 1, kListButtonHeight = 23;
constexpr int kSideButtonTops[] = {2, 81, 163}, kSideButtonSize = 43;
// The separator before the list starts this far down, beside the banner.
constexpr int kSeparatorTop = 90;

// A picture at the window's scale: the drawing that scale takes, pixel for
// pixel where it was drawn for that scale, else fitted to it.
HBITMAP loadBitmap(HINSTANCE instance, int id, DpiScale scale, std::optional<MaskColour> mask = std::nullopt) {
    const int percent = artworkPercent(scale);
    win32::UniqueBitmap drawn(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(drawnArtworkId(id, scale)), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!drawn) return nullptr;
    const Image picture = bitmapPicture(drawn.get());
    if (picture.pixels.empty()) return nullptr;
    const Image fitted = fitArtwork(picture, percent, scale, mask);
    return fitted.size() == picture.size() ? drawn.release() : dibSection(fitted);
}

// A strip of equal cells cell x cellHeight designed, as an image list at the window's scale.
win32::UniqueImageList loadStrip(HINSTANCE instance, int id, int cell, int cellHeight, DpiScale scale) {
    win32::UniqueBitmap strip(loadBitmap(instance, id, scale, MaskColour{0xFF, 0, 0xFF}));
    if (!strip) return {};
    BITMAP info{};
    GetObjectW(strip.get(), sizeof info, &info);
    win32::UniqueImageList images(
        ImageList_Create(scale(cell), scale(cellHeight), ILC_COLOR24 | ILC_MASK, info.bmWidth / scale(cell), 0));
    if (images && ImageList_AddMasked(images.get(), strip.get(), kMask) < 0) return {};
    return images;
}

RECT toRect(const Box& b) { return {b.left, b.top, b.right(), b.bottom()}; }

}  // namespace

int drawnArtworkId(int id, DpiScale scale) {
    const int percent = artworkPercent(scale);
    return id + (percent == 200 ? IDB_AT_200 : percent == 150 ? IDB_AT_150 : 0);
}

std::optional<MainFace::Artwork> MainFace::loadArtwork(HINSTANCE instance, DpiScale s) {
    Artwork art;
    art.scale = s;
    art.header.reset(loadBitmap(instance, IDB_HEADER, s));
    art.strip.reset(loadBitmap(instance, IDB_HEADER_STRIP, s));
    art.side.reset(loadBitmap(instance, IDB_SHADOW_SIDE, s));
    art.edge.reset(loadBitmap(instance, IDB_SHADOW_EDGE, s));
    art.corner.reset(loadBitmap(instance, IDB_SHADOW_CORNER, s));
    art.panelLeft.reset(loadBitmap(instance, IDB_PANEL_LEFT, s));
    art.panelMiddle.reset(loadBitmap(instance, IDB_PANEL_MIDDLE, s));
    art.panelRight.reset(loadBitmap(instance, IDB_PANEL_RIGHT, s));
    art.playback = loadStrip(instance, IDB_TOOLBAR_PLAYBACK, 24, 24, s);
    art.list = loadStrip(instance, IDB_TOOLBAR_LIST, 80, 16, s);
    art.sideBar = loadStrip(instance, IDB_TOOLBAR_SIDE, 36, 36, s);
    if (!art.header || !art.strip || !art.side || !art.edge || !art.corner || !art.panelLeft || !art.panelMiddle ||
        !art.panelRight || !art.playback || !art.list || !art.sideBar)
        return std::nullopt;
    return art;
}

bool MainFace::create(HWND window, DpiScale scale) {
    window_ = window;
    std::optional<Artwork> art = loadArtwork(instance_, scale);
    if (!art) return false;
    art_ = std::move(*art);

    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance_, nullptr);
    if (!tooltip_) return false;
    auto addTool = [&](int id, const char* textUtf8) {
        std::wstring text = win32::utf8ToWide(textUtf8);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = window;
        tool.uId = static_cast<UINT_PTR>(id);
        tool.lpszText = text.data();  // copied by the control
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    };
    for (int b = 0; b < kFaceButtons; ++b)
        if (kButtons[b].hint) addTool(b, kButtons[b].hint);
    // The window's own hint, shown only strictly inside the preview.
    addTool(kPreviewHint, "Установить на рабочий стол");
    return true;
}

void MainFace::layOut(int listLeft, DpiScale s) {
    // Should the pictures fail at the new DPI, the old ones are drawn scaled.
    if (s != art_.scale)
        if (std::optional<Artwork> art = loadArtwork(instance_, s)) art_ = std::move(*art);
    face_ = layOutFace(listLeft, s);
    const Box& bar2 = face_.toolBar2;
    for (int i = 0; i <= shufleBtn - Playbtn; ++i)
        boxes_[Playbtn + i] = {bar2.left + s(kPlaybackButtonWidth * i), bar2.top + s(kPlaybackButtonTop),
                               s(kPlaybackButtonWidth), s(kPlaybackButtonHeight)};
    const Box& bar1 = face_.toolBar1;
    for (int i = 0; i <= ListButton - AddButton; ++i)
        boxes_[AddButton + i] = {bar1.left + s(kAddButtonWidth * i), bar1.top + s(kListButtonTop), s(kAddButtonWidth),
                                 s(kListButtonHeight)};
    const Box& bar3 = face_.toolBar3;
    for (int i = 0; i <= ExitButton - DownloadButton; ++i)
        boxes_[DownloadButton + i] = {bar3.left, bar3.top + s(kSideButtonTops[i]), s(kSideButtonSize),
                                      s(kSideButtonSize)};
    updateHints();
}

void MainFace::updateHints() {
    if (!tooltip_) return;
    auto move = [&](int id, const Box& box) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = window_;
        tool.uId = static_cast<UINT_PTR>(id);
        tool.rect = toRect(box);
        SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    };
    for (int b = 0; b < kFaceButtons; ++b)
        if (kButtons[b].hint) move(b, boxes_[b]);
    const Box& p = face_.preview;
    move(kPreviewHint, {p.left + 1, p.top + 1, p.width - 1, p.height - 1});  // strictly inside
}

// ---- painting ----

void MainFace::drawPiece(HDC dc, HDC source, HBITMAP piece, int sl, int st, int sr, int sb, int dl, int dt, int dr,
                         int db) const {
    win32::SelectObjectScope select(source, piece);
    // A rectangle given backwards is drawn mirrored: StretchBlt takes negative sizes so.
    StretchBlt(dc, dl, dt, dr - dl, db - dt, source, sl, st, sr - sl, sb - st, SRCCOPY);
}

void MainFace::paint(HDC dc, int listLeft, int windowHeight) const {
    win32::UniqueMemoryDc pieces(CreateCompatibleDC(dc));  // one for all the pieces of a paint
    if (!pieces) return;
    HDC source = pieces.get();
    win32::UniqueBrush background(CreateSolidBrush(kBackground));
    // The background around the preview and the panel.
    for (const Box& fill : backgroundFills(face_, listLeft, windowHeight)) {
        if (fill.width <= 0 || fill.height <= 0) continue;
        RECT r = toRect(fill);
        FillRect(dc, &r, background.get());
    }
    // The banner and the strip that continues it to the list.
    // The pictures are in the window's pixels (at its scale): the banner and
    // the panel's ends are copied pixel for pixel, only the one-pixel strips
    // and the shadow's pieces are stretched along.
    const DpiScale s = face_.scale;
    const DpiScale a = art_.scale;
    SetStretchBltMode(dc, COLORONCOLOR);
    drawPiece(dc, source, art_.header.get(), 0, 0, a(kBannerWidth), a(kBannerHeight), 0, 0, s(kBannerWidth),
              s(kBannerHeight));
    const Stretch strip = bannerStrip(listLeft, s, a);
    if (strip.dr > strip.dl)
        drawPiece(dc, source, art_.strip.get(), strip.sl, strip.st, strip.sr, strip.sb, strip.dl, strip.dt, strip.dr,
                  strip.db);
    // The shadow frame round the preview.
    for (const Stretch& p : shadowFrame(face_.preview, s, a)) {
        HBITMAP piece = p.piece == 0 ? art_.side.get() : p.piece == 1 ? art_.edge.get() : art_.corner.get();
        drawPiece(dc, source, piece, p.sl, p.st, p.sr, p.sb, p.dl, p.dt, p.dr, p.db);
    }
    // The control panel under the preview, its middle stretched to the preview's width.
    const Box& left = face_.panelLeft;
    const Box& middle = face_.panelMiddle;
    const Box& right = face_.panelRight;
    drawPiece(dc, source, art_.panelLeft.get(), 0, 0, a(kPanelLeftWidth), a(kPanelHeight), left.left, left.top,
              left.right(), left.bottom());
    if (middle.width > 0)
        drawPiece(dc, source, art_.panelMiddle.get(), 0, 0, 1, a(kPanelHeight), middle.left, middle.top, middle.right(),
                  middle.bottom());
    drawPiece(dc, source, art_.panelRight.get(), 0, 0, a(kPanelRightWidth), a(kPanelHeight), right.left, right.top,
              right.right(), right.bottom());
    // The separator before the list.
    win32::UniquePen pen(CreatePen(PS_SOLID, s(1), kSeparator));
    {
        win32::SelectObjectScope selectPen(dc, pen.get());
        MoveToEx(dc, listLeft - s(1), s(kSeparatorTop), nullptr);
        LineTo(dc, listLeft - s(1), windowHeight);
    }
    for (int b = 0; b < kFaceButtons; ++b) drawButton(dc, static_cast<FaceButton>(b));
}

void MainFace::drawButton(HDC dc, FaceButton button) const {
    const Box& box = boxes_[button];
    const State& state = states_[button];
    if (state.pressed || state.checked || state.hot) {
        const bool down = state.pressed || state.checked;
        win32::UniqueBrush fill(CreateSolidBrush(down ? kDownFill : kHotFill));
        win32::UniquePen edge(CreatePen(PS_SOLID, 1, down ? kDownEdge : kHotEdge));
        win32::SelectObjectScope selectBrush(dc, fill.get());
        win32::SelectObjectScope selectPen(dc, edge.get());
        RoundRect(dc, box.left, box.top, box.right(), box.bottom(), face_.scale(6), face_.scale(6));
    }
    HIMAGELIST images = button <= shufleBtn    ? art_.playback.get()
                        : button <= ListButton ? art_.list.get()
                                               : art_.sideBar.get();
    const int image = button == AddButton ? addImage_ : kButtons[button].image;
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    const int shift = state.pressed ? 1 : 0;  // a pressed button's picture moves a little
    ImageList_Draw(images, image, dc, box.left + (box.width - cx) / 2 + shift, box.top + (box.height - cy) / 2 + shift,
                   ILD_TRANSPARENT);
}

// ---- state and input ----

void MainFace::setChecked(FaceButton button, bool checked) {
    if (states_[button].checked == checked) return;
    states_[button].checked = checked;
    changed(toRect(boxes_[button]));
}

void MainFace::setPressed(FaceButton button, bool pressed) {
    states_[button].pressed = pressed;
    changed(toRect(boxes_[button]));
    if (window_) UpdateWindow(window_);  // a menu's own loop follows at once
}

void MainFace::setAddButtonLit(bool lit) {
    addImage_ = lit ? kAddLitImage : kButtons[AddButton].image;
    changed(toRect(boxes_[AddButton]));
}

std::optional<FaceButton> MainFace::buttonAt(POINT p) const {
    for (int b = 0; b < kFaceButtons; ++b) {
        const Box& box = boxes_[b];
        if (p.x >= box.left && p.x < box.right() && p.y >= box.top && p.y < box.bottom())
            return static_cast<FaceButton>(b);
    }
    return std::nullopt;
}

bool MainFace::hover(POINT client) {
    const std::optional<FaceButton> over = buttonAt(client);
    bool changed = false;
    for (int b = 0; b < kFaceButtons; ++b) {
        const bool hot = over && *over == b;
        if (states_[b].hot != hot) {
            states_[b].hot = hot;
            this->changed(toRect(boxes_[b]));
            changed = true;
        }
    }
    return changed;
}

bool MainFace::press(POINT client) {
    pressedButton_ = buttonAt(client);
    if (!pressedButton_) return false;
    setPressed(*pressedButton_, true);
    return true;
}

std::optional<FaceButton> MainFace::release(POINT client) {
    if (!pressedButton_) return std::nullopt;
    const FaceButton pressed = *pressedButton_;
    pressedButton_.reset();
    setPressed(pressed, false);
    const std::optional<FaceButton> over = buttonAt(client);
    if (over && *over == pressed) return pressed;
    return std::nullopt;
}

}  // namespace ostrel::ui
