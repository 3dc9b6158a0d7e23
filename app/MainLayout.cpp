#include "app/MainLayout.h"

#include <algorithm>

#include "list/GridGeometry.h"

namespace ostrel {
namespace {

// The designed places of what the list resize does not move.
constexpr int kPreviewLeft = 84, kPreviewTop = 116;
constexpr int kPanelLeftX = 83, kPanelMiddleX = 85;
constexpr Box kToolBar3{20, 120, 43, 337};
constexpr int kToolBar2Width = 176, kToolBar2Height = 41;
constexpr int kToolBar1Width = 177, kToolBar1Height = 25;
// The list's right edge stands this far inside the window's outer width.
constexpr int kListRightInset = 4;
// The list stands this far above the client area and reaches as far below the strip.
constexpr int kListOverhang = 4;

}  // namespace

FaceLayout layOutFace(int listLeft, DpiScale s) {
    FaceLayout face;
    face.scale = s;
    const int w = listLeft - s(112);
    face.preview = {s(kPreviewLeft), s(kPreviewTop), w, w * 3 / 4};
    const int panelTop = face.preview.bottom() + s(24);
    face.panelMiddle = {s(kPanelMiddleX), panelTop, w - s(kPanelRightWidth), s(kPanelHeight)};
    // Its left edge ends where the middle begins, whatever the rounding.
    face.panelLeft = {s(kPanelLeftX), panelTop, s(kPanelMiddleX) - s(kPanelLeftX), s(kPanelHeight)};
    face.panelRight = {face.panelMiddle.right(), panelTop, s(kPanelRightWidth), s(kPanelHeight)};
    const int barLeft = face.panelMiddle.left + w / 2 - s(kToolBar2Width) / 2;
    face.toolBar2 = {barLeft, panelTop + s(14), s(kToolBar2Width), s(kToolBar2Height)};
    face.toolBar1 = {barLeft, panelTop + s(72), s(kToolBar1Width), s(kToolBar1Height)};
    face.toolBar3 = {s(kToolBar3.left), s(kToolBar3.top), s(kToolBar3.width), s(kToolBar3.height)};
    return face;
}

ListBounds listBounds(int windowWidth, int windowHeight, int stripHeight, int listLeft, DpiScale s) {
    ListBounds b{};
    b.maxWidth = windowWidth - s(314);
    b.minWidth = std::max(s(kGridMinWidth), windowWidth - ((windowHeight - s(150)) * 4 / 3) + s(115));
    b.maxHeight = b.minHeight = stripHeight + 2 * s(kListOverhang);
    b.height = stripHeight + 2 * s(kListOverhang);
    b.top = -s(kListOverhang);
    // A window narrower than the list's minimum leaves the maximum below it;
    // the minimum wins, as it does for the list's own drag limits.
    b.width = std::max(std::min(windowWidth - listLeft - s(kListRightInset), b.maxWidth), b.minWidth);
    b.left = windowWidth - b.width - s(kListRightInset);
    return b;
}

std::array<Box, 6> backgroundFills(const FaceLayout& f, int L, int WH) {
    const DpiScale s = f.scale;
    const Box& p = f.preview;
    const Box& right = f.panelRight;
    return {{
        {s(284), s(97), L - s(284), s(19)},
        {p.right(), p.top, L - p.left - p.width, right.top - p.top},
        {s(83), p.bottom(), p.width + s(1), s(24)},
        {right.right(), right.top, L - right.right(), WH - right.top},
        {0, right.top - s(24), s(83), WH - right.top},
        {s(83), right.bottom(), right.right() - s(83), WH - right.bottom()},
    }};
}

std::array<Stretch, 8> shadowFrame(const Box& p, DpiScale s, DpiScale a) {
    const int X = p.left, Y = p.top, W = p.width, H = p.height;
    const int side = a(8), one = a(1), cornerWidth = a(21), cornerHeight = a(9);
    return {{
        {0, side, 0, 0, one, X + W + s(8), Y - s(1), X + W, Y + H + s(1)},                       // right side
        {0, side, 0, 0, one, X - s(7), Y - s(1), X + s(1), Y + H + s(1)},                        // left side
        {1, 0, 0, one, side, X - s(1), Y + H + s(9), X + W + s(1), Y + H},                       // bottom
        {1, 0, 0, one, side, X - s(1), Y - s(8), X + W + s(1), Y},                               // top
        {2, 0, 0, cornerWidth, cornerHeight, X + s(11), Y - s(10), X - s(10), Y - s(1)},         // top left
        {2, 0, 0, cornerWidth, cornerHeight, X + s(11), Y + H + s(9), X - s(10), Y + H},         // bottom left
        {2, 0, 0, cornerWidth, cornerHeight, X + W - s(12), Y - s(10), X + W + s(9), Y - s(1)},  // top right
        {2, 0, 0, cornerWidth, cornerHeight, X + W - s(12), Y + H + s(9), X + W + s(9), Y + H},  // bottom right
    }};
}

Stretch bannerStrip(int listLeft, DpiScale s, DpiScale a) {
    return {0, 0, a(1), a(1), a(kBannerHeight), s(kBannerWidth), s(1), listLeft, s(kBannerHeight)};
}

Point addMenuAt(int windowLeft, int windowTop, const FaceLayout& face) {
    const DpiScale s = face.scale;
    return {windowLeft + face.toolBar1.left + s(5), windowTop + face.toolBar1.top + s(7)};
}

Point listMenuAt(int windowLeft, int windowTop, const FaceLayout& face) {
    const DpiScale s = face.scale;
    return {windowLeft + face.toolBar1.left + s(kAddButtonWidth) + s(5), windowTop + face.toolBar1.top - s(35)};
}

Point folderChooserAt(int windowLeft, int windowTop, const FaceLayout& face) {
    // The add button stands at the very left of its toolbar.
    const DpiScale s = face.scale;
    return {windowLeft + s(150), face.panelRight.top + windowTop - s(200)};
}

}  // namespace ostrel
