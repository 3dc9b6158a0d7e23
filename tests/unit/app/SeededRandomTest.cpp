#include "app/SeededRandom.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace ostrel {
namespace {

std::vector<std::int32_t> draws(std::uint64_t seed, std::int32_t n, int count) {
    SeededRandom random(seed);
    std::vector<std::int32_t> out(count);
    for (auto& v : out) v = random.below(n);
    return out;
}

TEST(SeededRandomTest, DrawsCoverTheWholeRangeAndNothingElse) {
    for (std::int32_t n : {INT32_MIN, -1, 0, 1, 2, 7}) {
        std::set<std::int32_t> seen, every{0};  // an empty or negative range answers 0
        for (std::int32_t v : draws(99, n, 2000)) seen.insert(v);
        for (std::int32_t v = 1; v < n; ++v) every.insert(v);
        EXPECT_EQ(seen, every) << "n = " << n;
    }
}

TEST(SeededRandomTest, BothHalvesOfTheSeedDecideTheSequence) {
    EXPECT_EQ(draws(0x1234, 1000000, 20), draws(0x1234, 1000000, 20));
    // Start-up counters may differ only above 32 bits.
    EXPECT_NE(draws(0x1234, 1000000, 20), draws(0x1234 + (std::uint64_t{1} << 32), 1000000, 20));
}

}  // namespace
}  // namespace ostrel
