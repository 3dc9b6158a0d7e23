#include "changer/FitToScreen.h"

#include <cstdint>

namespace ostrel {
namespace {

// numerator / denominator (both positive) rounded to nearest, ties to even.
std::int64_t divideRoundHalfEven(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t quotient = numerator / denominator;
    std::int64_t twiceRemainder = 2 * (numerator % denominator);
    if (twiceRemainder > denominator || (twiceRemainder == denominator && quotient % 2 != 0)) ++quotient;
    return quotient;
}

}  // namespace

ImageSize xyforscreen(ImageSize picture, ScreenSize screen) {
    if (picture.width <= 0 || picture.height <= 0 || screen.width <= 0 || screen.height <= 0) return picture;
    const std::int64_t w = picture.width, h = picture.height;
    const std::int64_t sw = screen.width, sh = screen.height;
    const std::int64_t pictureSide = w * sh, screenSide = h * sw;
    if (pictureSide == screenSide) return {screen.width, screen.height};
    if (pictureSide > screenSide)  // wider than the screen: full width
        return {screen.width, static_cast<int>(divideRoundHalfEven(h * sw, w))};
    return {static_cast<int>(divideRoundHalfEven(w * sh, h)), screen.height};
}

}  // namespace ostrel
