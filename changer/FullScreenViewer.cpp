#include "changer/FullScreenViewer.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/Rounding.h"
#include "imaging/PictureLoader.h"

namespace ostrel {

ImageSize viewerPictureSize(ImageSize picture, ScreenSize screen, ViewerDisplay display) {
    if (picture.width <= 0 || picture.height <= 0 || screen.width <= 0 || screen.height <= 0) return picture;
    if (display.stretch && !display.proportional) return {screen.width, screen.height};
    const bool larger = picture.width > screen.width || picture.height > screen.height;
    if (!display.proportional || (!display.stretch && !larger)) return picture;
    // The largest size with the picture's proportions that fits; compared in integers.
    const std::int64_t widthAtScreenHeight = std::int64_t{picture.width} * screen.height;
    const std::int64_t heightAtScreenWidth = std::int64_t{picture.height} * screen.width;
    if (widthAtScreenHeight >= heightAtScreenWidth)
        return {screen.width,
                static_cast<int>(std::max<std::int64_t>(1, roundHalfEven(heightAtScreenWidth, picture.width)))};
    return {static_cast<int>(std::max<std::int64_t>(1, roundHalfEven(widthAtScreenHeight, picture.height))),
            screen.height};
}

Image viewerScreen(Image picture, ScreenSize screen) {
    if (picture.width == screen.width && picture.height == screen.height) return picture;
    Image out{std::max(0, screen.width), std::max(0, screen.height), {}};
    // Black around the picture.
    out.pixels.assign(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height) * 3, 0);
    const int left = (out.width - picture.width) / 2, top = (out.height - picture.height) / 2;
    const int fromX = std::max(0, -left), toX = std::max(0, left);
    const int fromY = std::max(0, -top), toY = std::max(0, top);
    const int columns = std::min(picture.width - fromX, out.width - toX);
    const int rows = std::min(picture.height - fromY, out.height - toY);
    for (int y = 0; y < rows; ++y)
        std::memcpy(out.row(toY + y) + 3 * toX, picture.row(fromY + y) + 3 * fromX,
                    static_cast<std::size_t>(columns) * 3);
    return out;
}

FullScreenViewer::FullScreenViewer(const FileSystem& files, const Desktop& desktop, ListController& list,
                                   ViewerView& view)
    : files_(files), desktop_(desktop), list_(list), view_(view) {}

void FullScreenViewer::open() {
    if (list_.list().empty()) return;
    fullScreenShown_ = true;
    view_.showFullScreen();
    showRow(list_.grid().currentRow, ViewerDirection::Forward);
}

void FullScreenViewer::close() {
    if (!fullScreenShown_) return;
    fullScreenShown_ = false;
    view_.close();
}

// A loop rather than `next` showing the row itself, so that a long run of
// unreadable files costs no stack.
void FullScreenViewer::showRow(int row, ViewerDirection direction) {
    if (row < 1 || row >= list_.list().rowCount()) return;  // the header, or past the list
    for (std::optional<int> n = row; n; n = next(*n, direction)) {
        if (std::optional<Image> picture = screenPicture(list_.list().path(*n))) {
            view_.showPicture(*picture);
            return;
        }
    }
    // Nothing readable up to the end: the previous picture stays, and nothing is said.
}

std::optional<int> FullScreenViewer::next(int row, ViewerDirection direction) {
    const int step = direction == ViewerDirection::Forward ? 1 : -1;
    const int last = list_.list().rowCount() - 1;
    const int selected = list_.grid().currentRow + step;
    if (selected >= 1 && selected <= last) list_.moveCurrentRow(selected, false);
    const int n = row + step;
    if (n < 1 || n > last) return std::nullopt;
    return n;
}

std::optional<Image> FullScreenViewer::screenPicture(const std::string& path) const {
    const ScreenSize screen = desktop_.screenSize();
    // Sized while decoding, so that a big photo is decoded only as large as the screen needs.
    std::optional<Image> picture = loadPicture(
        files_, path, [&](ImageSize own) { return std::optional(viewerPictureSize(own, screen, display_)); });
    if (!picture) return std::nullopt;
    return viewerScreen(std::move(*picture), screen);
}

}  // namespace ostrel
