#pragma once
// A decoded picture: 24-bit BGR, top row first, rows packed without padding.
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
    std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width * 3; }
    const std::uint8_t* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width * 3; }
};

}  // namespace ostrel
