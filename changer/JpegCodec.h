#pragma once
// JPEG files through libjpeg.
#include <optional>

#include "changer/Image.h"
#include "platform/FileSystem.h"

namespace ostrel {

// Reads only the headers and answers the picture's size; nullopt on any error.
std::optional<ImageSize> jpegSize(ReadStream& in);

// Decodes the picture. With a wanted size, libjpeg's scaled decoding picks the
// smallest scale (n/8) whose output is still at least that size in both
// directions; the caller resamples the rest. nullopt on any error.
std::optional<Image> decodeJpeg(ReadStream& in, std::optional<ImageSize> atLeast = std::nullopt);

}  // namespace ostrel
