#pragma once
// JPEG files through libjpeg.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "imaging/Image.h"
#include "imaging/MemoryLimits.h"
#include "platform/FileSystem.h"

namespace ostrel {

// Reads only the headers and answers the picture's size; nullopt on any error.
std::optional<ImageSize> jpegSize(ReadStream& in);

// Decodes the picture. With a wanted size, libjpeg's scaled decoding picks the
// smallest scale (n/8) whose output is still at least that size in both
// directions; the caller resamples the rest. nullopt on any error, and for a
// picture whose decoding would hold more than memoryLimit bytes (the picture
// and libjpeg's buffers), or whose file has more scans than a decode of
// bounded time can go through.
std::optional<Image> decodeJpeg(ReadStream& in, std::optional<ImageSize> atLeast = std::nullopt,
                                std::uint64_t memoryLimit = kPictureMemoryLimit);

// decodeJpeg in steps: the caller sees the picture's size before choosing the
// scale, and can take the rows as they are finished. The memory limit is
// decodeJpeg's; what the caller keeps of the rows it is handed is its own.
class JpegRowDecoder {
public:
    explicit JpegRowDecoder(ReadStream& in, std::uint64_t memoryLimit = kPictureMemoryLimit);
    ~JpegRowDecoder();
    JpegRowDecoder(const JpegRowDecoder&) = delete;
    JpegRowDecoder& operator=(const JpegRowDecoder&) = delete;

    // The picture's size; nullopt on any error.
    std::optional<ImageSize> readHeader();
    // Picks the scale as decodeJpeg does and answers the size of the rows to
    // come; nullopt when the picture cannot be decoded within the limit even
    // row by row (a progressive file's coefficients are too many).
    std::optional<ImageSize> chooseScale(std::optional<ImageSize> atLeast);
    // Makes picture of the chosen size, when it fits the limit with what
    // libjpeg needs, and fills it from the top. After each batch,
    // rowsDone(n) says that the first n rows are final; it answers false to stop.
    // false on any error, including a file that ends early (its last rows are
    // then filler but may already have been reported).
    bool decodeInto(Image& picture, const std::function<bool(int)>& rowsDone);
    // The same, one row at a time through a small buffer of its own, for a
    // caller that keeps no copy of the whole picture: row gets each finished
    // row (the chosen width, B G R), top first.
    // Only one of decodeInto and decodeRows is called, once.
    bool decodeRows(const std::function<void(const std::uint8_t*)>& row);

private:
    class Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace ostrel
