#include "download/ByteCountText.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

TEST(ByteCountText, CutsTheShortestFormToFourCharactersInTheLargestUnit) {
    const struct {
        std::uint64_t total;
        char separator;
        const char* text;
    } cases[] = {
        {0, ',', "0 б"},
        {1023, ',', "1023 б"},
        {1024, ',', "1 Кб"},
        {1536, ',', "1,5 Кб"},
        {1536, '.', "1.5 Кб"},
        {1000000, ',', "976, Кб"},  // the cut keeps the separator
        {1025, '.', "1.00 Кб"},
        {5u * 1024 * 1024 + 512 * 1024, ',', "5,5 Мб"},
        {1023ull * 1024 * 1024, ',', "1023 Мб"},
        {1024ull * 1024 * 1024, ',', "1 Гб"},
        {3ull * 1024 * 1024 * 1024 / 2, '.', "1.5 Гб"},
        {5000ull * 1024 * 1024 * 1024, ',', "5000 Гб"},
    };
    for (const auto& c : cases) EXPECT_EQ(tostr(c.total, c.separator), c.text) << c.total;
}

}  // namespace
}  // namespace ostrel
