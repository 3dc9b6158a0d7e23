#pragma once
// Windows bitmap files: reading every format Windows writes, writing 24-bit.
#include <optional>
#include <string_view>

#include "changer/Image.h"
#include "platform/FileSystem.h"

namespace ostrel {

// Width and height from a BMP file's headers (the first 54 bytes or so are enough);
// nullopt when the headers are not those of a bitmap this reader accepts.
std::optional<ImageSize> bmpSize(std::string_view headerBytes);

// Decodes a whole BMP file: 1, 4, 8, 16, 24 and 32 bits per pixel, bottom-up and
// top-down, BI_RGB, BI_RLE8, BI_RLE4 and BI_BITFIELDS. Anything else, and any
// truncated or inconsistent file, gives nullopt.
std::optional<Image> decodeBmp(std::string_view fileBytes);

// Writes an uncompressed bottom-up 24-bit BMP.
[[nodiscard]] bool writeBmp24(const Image& image, WriteStream& out);

}  // namespace ostrel
