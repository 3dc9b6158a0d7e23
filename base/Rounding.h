#pragma once
// Sizes and positions computed as fractions are rounded to the nearest
// integer with halves going to the even neighbour.
#include <cstdint>

namespace ostrel {

// numerator / denominator rounded to nearest, halves to even.
inline std::int64_t roundHalfEven(std::int64_t numerator, std::int64_t denominator) {
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    std::int64_t q = numerator / denominator;
    std::int64_t r = numerator % denominator;
    if (r < 0) {  // floor division
        q -= 1;
        r += denominator;
    }
    std::int64_t twice = 2 * r;
    if (twice > denominator || (twice == denominator && (q % 2 != 0))) q += 1;
    return q;
}

}  // namespace ostrel
