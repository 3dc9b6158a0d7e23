#pragma once
// The program's generator: a Mersenne twister seeded once at start-up.
#include <cstdint>
#include <random>

#include "platform/Random.h"

namespace ostrel {

class SeededRandom final : public Random {
public:
    // Both halves of the seed count: start-up seeds come from a 64-bit counter
    // whose low half alone may repeat between runs.
    explicit SeededRandom(std::uint64_t seed) {
        std::seed_seq sequence{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32)};
        engine_.seed(sequence);
    }

    std::int32_t below(std::int32_t n) override {
        if (n <= 0) return 0;
        return std::uniform_int_distribution<std::int32_t>(0, n - 1)(engine_);
    }

private:
    std::mt19937 engine_;
};

}  // namespace ostrel
