#pragma once
// A decoded picture: 24-bit BGR, top row first, rows packed without padding.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ostrel {

struct ImageSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const ImageSize&, const ImageSize&) = default;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width * height * 3 bytes, B G R

    ImageSize size() const { return {width, height}; }
    std::uint8_t* row(int y) { return pixels.data() + rowOffset(y); }
    const std::uint8_t* row(int y) const { return pixels.data() + rowOffset(y); }
    // Where row y starts in pixels; y and width are never negative.
    std::size_t rowOffset(int y) const { return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3; }
};

}  // namespace ostrel
