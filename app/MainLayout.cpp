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

FaceLayout layOutFace(int listLeft) {
    FaceLayout face;
    const int w = listLeft - 112;
    face.preview = {kPreviewLeft, kPreviewTop, w, w * 3 / 4};
    const int panelTop = face.preview.bottom() + 24;
    face.panelMiddle = {kPanelMiddleX, panelTop, w - kPanelRightWidth, kPanelHeight};
    face.panelLeft = {kPanelLeftX, panelTop, kPanelLeftWidth, kPanelHeight};
    face.panelRight = {face.panelMiddle.right(), panelTop, kPanelRightWidth, kPanelHeight};
    const int barLeft = face.panelMiddle.left + w / 2 - kToolBar2Width / 2;
    face.toolBar2 = {barLeft, panelTop + 14, kToolBar2Width, kToolBar2Height};
    face.toolBar1 = {barLeft, panelTop + 72, kToolBar1Width, kToolBar1Height};
    face.toolBar3 = kToolBar3;
    return face;
}

ListBounds listBounds(int windowWidth, int windowHeight, int stripHeight, int listLeft) {
    ListBounds b{};
    b.maxWidth = windowWidth - 314;
    b.minWidth = std::max(kGridMinWidth, windowWidth - ((windowHeight - 150) * 4 / 3) + 115);
    b.maxHeight = b.minHeight = stripHeight + 2 * kListOverhang;
    b.height = stripHeight + 2 * kListOverhang;
    b.top = -kListOverhang;
    // A window narrower than the list's minimum leaves the maximum below it;
    // the minimum wins, as it does for the list's own drag limits.
    b.width = std::max(std::min(windowWidth - listLeft - kListRightInset, b.maxWidth), b.minWidth);
    b.left = windowWidth - b.width - kListRightInset;
    return b;
}

std::array<Box, 6> backgroundFills(const FaceLayout& f, int L, int WH) {
    const Box& p = f.preview;
    const Box& right = f.panelRight;
    return {{
        {284, 97, L - 284, 19},
        {p.right(), p.top, L - p.left - p.width, right.top - p.top},
        {83, p.bottom(), p.width + 1, 24},
        {right.right(), right.top, L - right.right(), WH - right.top},
        {0, right.top - 24, 83, WH - right.top},
        {83, right.bottom(), right.right() - 83, WH - right.bottom()},
    }};
}

std::array<Stretch, 8> shadowFrame(const Box& p) {
    const int X = p.left, Y = p.top, W = p.width, H = p.height;
    return {{
        {0, 8, 0, 0, 1, X + W + 8, Y - 1, X + W, Y + H + 1},        // right side
        {0, 8, 0, 0, 1, X - 7, Y - 1, X + 1, Y + H + 1},            // left side
        {1, 0, 0, 1, 8, X - 1, Y + H + 9, X + W + 1, Y + H},        // bottom
        {1, 0, 0, 1, 8, X - 1, Y - 8, X + W + 1, Y},                // top
        {2, 0, 0, 21, 9, X + 11, Y - 10, X - 10, Y - 1},            // top left
        {2, 0, 0, 21, 9, X + 11, Y + H + 9, X - 10, Y + H},         // bottom left
        {2, 0, 0, 21, 9, X + W - 12, Y - 10, X + W + 9, Y - 1},     // top right
        {2, 0, 0, 21, 9, X + W - 12, Y + H + 9, X + W + 9, Y + H},  // bottom right
    }};
}

Stretch bannerStrip(int listLeft) { return {0, 0, 1, 1, kBannerHeight, kBannerWidth, 1, listLeft, kBannerHeight}; }

Point addMenuAt(int windowLeft, int windowTop, const FaceLayout& face) {
    return {windowLeft + face.toolBar1.left + 5, windowTop + face.toolBar1.top + 7};
}

Point listMenuAt(int windowLeft, int windowTop, const FaceLayout& face) {
    return {windowLeft + face.toolBar1.left + kAddButtonWidth + 5, windowTop + face.toolBar1.top - 35};
}

Point folderChooserAt(int windowLeft, int windowTop, const FaceLayout& face) {
    // The add button stands at the very left of its toolbar.
    return {windowLeft + 150, face.panelRight.top + windowTop - 200};
}

}  // namespace ostrel
