#pragma once
// Turns an image file into a decoded picture, optionally brought to a size
// chosen from the picture's own (the wallpaper's fitted size, the preview's).
#include <functional>
#include <optional>
#include <string>

#include "imaging/Image.h"
#include "imaging/MemoryLimits.h"
#include "platform/FileSystem.h"

namespace ostrel {

// Answers the wanted size for a picture of the given size; nullopt keeps it.
using PictureSizing = std::function<std::optional<ImageSize>(ImageSize)>;

// The kind probe decides the decoder: only "Jpg" goes to the JPEG decoder, every
// other answer to the BMP reader. With a sizing, the picture is brought to the
// size it answers (a JPEG decoded at a reduced scale where that is enough).
// nullopt when the file cannot be read or decoded, and when decoding it would
// hold more than memoryLimit bytes (see MemoryLimits.h).
std::optional<Image> loadPicture(const FileSystem& fs, const std::string& path, const PictureSizing& sizing = {},
                                 std::uint64_t memoryLimit = kPictureMemoryLimit);

// Takes a picture as it is made: its size once, then its rows, top row first.
class PictureRows {
public:
    virtual ~PictureRows() = default;
    virtual void begin(ImageSize size) = 0;
    // begin() for rows that come while a second thread decodes the rest of the
    // picture: time spent on them (a flush to disk, say) then hides behind
    // the decoding.
    virtual void beginAlongside(ImageSize size) { begin(size); }
    // size.width pixels, B G R.
    virtual void row(const std::uint8_t* bgr) = 0;
};

// loadPicture's picture handed to rows. A JPEG brought to a size is never
// held whole: its rows go on as they are decoded and resampled. false when
// loadPicture would answer nullopt; rows may have had some of the picture by then.
[[nodiscard]] bool loadPictureRows(const FileSystem& fs, const std::string& path, const PictureSizing& sizing,
                                   PictureRows& rows, std::uint64_t memoryLimit = kPictureMemoryLimit);

}  // namespace ostrel
