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

// The frame-sized picture of a file (decoded only as large as its place in the
// frame needs), or of a picture held in memory (the placeholder); nullopt when
// it cannot be read or decoded, or the frame is empty.
std::optional<Image> previewFrame(const FileSystem& fs, const std::string& path, ImageSize frame);
std::optional<Image> previewFrameOfBytes(std::string_view fileBytes, ImageSize frame);

}  // namespace ostrel
