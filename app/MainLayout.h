#pragma once
// The main window's face as arithmetic: where the preview, the control panel
// and the toolbars stand for a given position of the list's left edge, the
// list's drag limits for a given window size, and what the paint handler
// fills, stretches and mirrors. The window only draws what this answers.
#include <array>
#include <vector>

#include "base/DpiScale.h"
#include "imaging/Image.h"

namespace ostrel {

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    // Strictly inside: the border pixels do not count.
    bool strictlyContains(int x, int y) const { return left < x && x < right() && top < y && y < bottom(); }
    friend bool operator==(const Box&, const Box&) = default;
};

// The face's fixed pictures: the banner and the control panel's ends (its
// middle, one pixel wide, is stretched).
inline constexpr int kBannerWidth = 289, kBannerHeight = 97;
inline constexpr int kPanelHeight = 113, kPanelLeftWidth = 2, kPanelRightWidth = 199;

// What the list resize lays out, from the list's left edge. Every length is
// the designed one scaled to the window's DPI; the list's left edge is
// already in the window's pixels.
struct FaceLayout {
    DpiScale scale;
    Box preview;      // `Image1`: 4:3 from the list's left edge
    Box panelLeft;    // `Image10`
    Box panelMiddle;  // `Image7`, stretched to the preview's width
    Box panelRight;   // `Image11`
    Box toolBar2;     // play, next, schedule settings, shuffle
    Box toolBar1;     // add and list
    Box toolBar3;     // download, full screen, exit
};
FaceLayout layOutFace(int listLeft, DpiScale scale = {});

// What the window resize gives the list: its drag limits, and where it stands.
// The list keeps to its limits, so when the width asked for lies outside them
// the list takes the nearest limit and its left edge moves, keeping the right
// edge 4 pixels inside the window. It stands 4 pixels above the client area
// and reaches 4 below the strip.
struct ListBounds {
    int maxWidth, maxHeight, minWidth, minHeight;
    int left, top, width, height;
};
// windowWidth and windowHeight are the outer size; stripHeight the height of
// the strip that follows the client height; all in the window's pixels.
ListBounds listBounds(int windowWidth, int windowHeight, int stripHeight, int listLeft, DpiScale scale = {});

// The name column takes what the number and resolution columns leave.
inline int nameColumnWidth(int listWidth, DpiScale scale = {}) { return listWidth - scale(140); }

// The background-coloured rectangles around the preview and the panel.
std::array<Box, 6> backgroundFills(const FaceLayout& face, int listLeft, int windowHeight);

// A piece of picture stretched from a source to a destination rectangle, both
// as left, top, right, bottom; a rectangle given backwards draws mirrored.
// The source is in the picture's own pixels, the destination in the window's;
// the pictures are loaded at the scale `pictures` (the window's, but for a
// picture that failed to load at a new DPI).
struct Stretch {
    int piece;  // 0 the 8 x 1 side, 1 the 1 x 8 edge, 2 the corner
    int sl, st, sr, sb;
    int dl, dt, dr, db;
};
// The eight pieces of the shadow frame around the preview.
std::array<Stretch, 8> shadowFrame(const Box& preview, DpiScale scale = {}, DpiScale pictures = {});

// The 1-pixel column of the banner's strip stretched from the banner to the list.
Stretch bannerStrip(int listLeft, DpiScale scale = {}, DpiScale pictures = {});

// Where the add button's menu, the list button's menu and the folder chooser
// open (screen coordinates), from the window's outer corner.
struct Point {
    int x, y;
    friend bool operator==(const Point&, const Point&) = default;
};
inline constexpr int kAddButtonWidth = 87;
Point addMenuAt(int windowLeft, int windowTop, const FaceLayout& face);
Point listMenuAt(int windowLeft, int windowTop, const FaceLayout& face);
Point folderChooserAt(int windowLeft, int windowTop, const FaceLayout& face);

}  // namespace ostrel
