#pragma once
// The preview: the selected picture brought to the frame's size once, where
// the window draws it, so that repaints only copy it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "imaging/Image.h"
#include "platform/FileSystem.h"

namespace ostrel {

// Where a picture of this size goes in a frame of W × H: letterboxed or
// pillarboxed on the background, or over the whole frame when its proportions
// match the frame's to within a pixel.
struct FramePlacement {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const FramePlacement&, const FramePlacement&) = default;
};
FramePlacement placeInFrame(ImageSize picture, int frameWidth, int frameHeight);

// The window's background, B G R.
inline constexpr std::uint8_t kBackgroundBgr[3] = {249, 247, 245};

// A decoded picture kept for the preview, with the size the file has. It is
// decoded up to twice as large as its place in the frame (never above its own
// size), so that the frame can change size while the list's edge is dragged
// without going back to the file.
struct PreviewSource {
    ImageSize own;
    Image picture;
};
// nullopt when the file cannot be read or decoded.
std::optional<PreviewSource> loadPreviewSource(const FileSystem& fs, const std::string& path, ImageSize frame);
// The placeholder, a JPEG held in memory, decoded whole.
std::optional<PreviewSource> previewSourceOfBytes(std::string_view fileBytes);
// Whether the source is sharp enough for a frame of this size.
bool sourceCovers(const PreviewSource& source, ImageSize frame);
// The frame-sized picture: the source placed on the background. An empty frame
// gives an empty picture; a place that rounds to nothing leaves only the background.
Image frameFrom(const PreviewSource& source, ImageSize frame);

// The frame-sized picture of a file, or nullopt when it cannot be read or
// decoded or the frame is empty.
std::optional<Image> previewFrame(const FileSystem& fs, const std::string& path, ImageSize frame);

}  // namespace ostrel
