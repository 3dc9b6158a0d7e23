#pragma once
// Windows bitmap files: reading every format Windows writes, writing 24-bit.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "imaging/Image.h"
#include "imaging/MemoryLimits.h"
#include "platform/FileSystem.h"

namespace ostrel {

// Enough of the start of a BMP file for every header this reader knows.
inline constexpr std::size_t kBmpHeaderBytes = 14 + 124 + 16;

struct BmpLayout {
    ImageSize size;
    std::uint64_t pixelDataEnd = 0;  // the file must be at least this long to hold its pixels
    std::uint64_t readLimit = 0;     // no decode of this picture needs more bytes than this
};

// What a BMP file's headers declare; nullopt when they are not those of a
// bitmap this reader accepts.
std::optional<BmpLayout> bmpLayout(std::string_view headerBytes);

// Decodes a whole BMP file: 1, 4, 8, 16, 24 and 32 bits per pixel, bottom-up and
// top-down, BI_RGB, BI_RLE8, BI_RLE4 and BI_BITFIELDS. Anything else, and any
// truncated or inconsistent file, gives nullopt; so does a picture larger
// than memoryLimit bytes decoded, before any of it is allocated.
std::optional<Image> decodeBmp(std::string_view fileBytes, std::uint64_t memoryLimit = kPictureMemoryLimit);

// Writes an uncompressed bottom-up 24-bit BMP.
[[nodiscard]] bool writeBmp24(const Image& image, WriteStream& out);

// The same file written as the picture's rows are made, top row first: each
// batch of rows goes straight to its place in the file (which holds the bottom
// row first), so no copy of the whole picture is needed.
class BmpRowWriter {
public:
    // Writes nothing but fails at finish() when no bitmap file can hold size.
    BmpRowWriter(WriteStream& out, ImageSize size);
    // The next row from the top: size.width pixels, B G R.
    void row(const std::uint8_t* bgr);
    // True when the headers and every row were written.
    [[nodiscard]] bool finish();

private:
    void writeBatch();

    WriteStream& out_;
    ImageSize size_;
    std::size_t rowBytes_ = 0, stride_ = 0;
    int batchRows_ = 0;
    std::vector<std::uint8_t> batch_;  // the rows of one batch, bottom row first, padding zero
    int rows_ = 0;                     // rows handed in
    bool failed_ = false;
};

}  // namespace ostrel
