#pragma once
// How much memory decoding one picture may hold: the picture it makes, the
// file bytes a bitmap is read into, and libjpeg's own buffers (for a
// progressive or multi-scan JPEG, coefficients for the whole picture at full
// size, whatever the scale of the output). A picture that would need more is
// refused before anything of that size is allocated; since the work of a
// decode follows the memory it fills, this bounds its time as well.
#include <cstdint>

namespace ostrel {

// Installing, the full-screen view and the main window's preview: a 24-bit
// picture of 178 million pixels held whole, more when it is fitted as it is
// decoded.
inline constexpr std::uint64_t kPictureMemoryLimit = std::uint64_t{512} << 20;

// A catalogue preview: a file of at most 4 MB shown at 138 x 121. At a
// plausible one bit per pixel such a file holds 32 million pixels, whose
// progressive coefficients (4:2:0) take 3 bytes each.
inline constexpr std::uint64_t kPreviewMemoryLimit = std::uint64_t{96} << 20;

// Bytes of a decoded 24-bit picture of that size.
inline constexpr std::uint64_t pictureBytes(std::int64_t width, std::int64_t height) {
    return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 3;
}

}  // namespace ostrel
