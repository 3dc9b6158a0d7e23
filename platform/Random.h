#pragma once
// The program's pseudo-random generator, seeded once at start-up.
#include <cstdint>

namespace ostrel {

class Random {
public:
    virtual ~Random() = default;
    // Uniform integer in 0..n-1; 0 when n <= 0.
    virtual std::int32_t below(std::int32_t n) = 0;
};

}  // namespace ostrel
