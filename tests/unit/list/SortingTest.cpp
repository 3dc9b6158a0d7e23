#include "list/Sorting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "fakes/ReferenceSortChain.h"

namespace ostrel {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;  // (path, resolution)

// (Built with += : gcc 12 warns falsely on "n" + std::to_string(i).)
std::string tagged(char prefix, std::size_t i) {
    std::string text(1, prefix);
    text += std::to_string(i);
    return text;
}

// Column 0 gets texts no renumbering would write, so a sort that touches it shows.
WallpaperList listOf(const Pairs& pairs) {
    WallpaperList list;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        list.appendRow(pairs[i].first);
        list.setCell(ResolutionColumn, list.rowCount() - 1, pairs[i].second);
        list.setCell(NumberColumn, list.rowCount() - 1, tagged('n', i + 1));
    }
    list.fixHeaderIfEntries();
    return list;
}

Pairs pairsOf(const WallpaperList& list) {
    Pairs out;
    for (int row = 1; row < list.rowCount(); ++row) out.emplace_back(list.path(row), list.resolution(row));
    return out;
}

// Sorts with the fast sort and with the chain; both must give the same rows,
// and neither may touch the header or the numbers.
Pairs sortBoth(const Pairs& input, SortKey key, bool descending) {
    WallpaperList fast = listOf(input), chain = listOf(input);
    sortEntries(fast, key, descending);
    testing::referenceSortChain(chain, static_cast<int>(key), descending);
    EXPECT_EQ(pairsOf(fast), pairsOf(chain));
    EXPECT_EQ(fast.rowCount(), static_cast<int>(input.size()) + 1);
    EXPECT_EQ(fast.path(0) + fast.resolution(0), "ИмяРазрешение");
    for (int row = 1; row < fast.rowCount(); ++row)
        EXPECT_EQ(fast.cell(NumberColumn, row), tagged('n', static_cast<std::size_t>(row)));
    return pairsOf(fast);
}

TEST(SortingTest, GivesTheChainOrder) {
    const std::string e;  // an unprobed resolution
    const struct {
        const char* name;
        SortKey key;
        Pairs input;
        std::vector<int> ascending;  // input rows (1-based) in the sorted order
    } cases[] = {
        // clang-format off
        {"Empty", SortKey::Name, {}, {}},
        {"OneEntry", SortKey::Resolution, {{"C:\\a.jpg", "    1024x768"}}, {1}},
        {"WholePathNotFileName", SortKey::Name, {{"C:\\b\\a.jpg", e}, {"C:\\a\\z.jpg", e}}, {2, 1}},
        {"UpperCaseBeforeLower", SortKey::Name,
         {{"C:\\x\\b.jpg", e}, {"C:\\x\\B.jpg", e}, {"C:\\x\\a.jpg", e}, {"C:\\x\\A.jpg", e}}, {4, 2, 3, 1}},
        // CP1251 "а" (E0) and "Я" (DF) are above every Latin byte, not below as signed chars.
        {"CyrillicAfterLatin", SortKey::Name,
         {{"C:\\\xE0.jpg", e}, {"C:\\z.jpg", e}, {"C:\\\xDF.jpg", e}, {"C:\\Z.jpg", e}}, {4, 2, 3, 1}},
        {"PrefixFirst", SortKey::Name, {{"C:\\a.jpg", e}, {"C:\\a", e}, {"C:\\a.jpeg", e}}, {2, 3, 1}},
        {"Resolutions", SortKey::Resolution,
         {{"1", "    1024x768"}, {"2", "   12000x900"}, {"3", "       0x0"}, {"4", e}, {"5", "    1024x1024"},
          {"6", "     800x600"}}, {4, 3, 6, 5, 1, 2}},
        // Rows 1, 3, 4 equal and row 2 greater.
        {"EqualKeysBehindTheFront", SortKey::Name, {{"a", "1"}, {"b", "2"}, {"a", "3"}, {"a", "4"}}, {1, 4, 3, 2}},
        // Keys b b a b a b: the later b rows meet a smaller front and go before
        // their founder (row 1), the latest first; row 2 met b at the front.
        {"EqualKeysAfterASmallerFront", SortKey::Resolution,
         {{"1", "b"}, {"2", "b"}, {"3", "a"}, {"4", "b"}, {"5", "a"}, {"6", "b"}}, {3, 5, 6, 4, 1, 2}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Pairs expected;
        for (int row : c.ascending) expected.push_back(c.input[row - 1]);
        EXPECT_EQ(sortBoth(c.input, c.key, false), expected);
        const Pairs reversed(expected.rbegin(), expected.rend());
        EXPECT_EQ(sortBoth(c.input, c.key, true), reversed);
    }
}

// Random lists full of equal keys. The other column holds the row's own tag,
// so any difference in the order of equal keys shows.
TEST(SortingTest, RandomListsMatchTheChain) {
    using Gen = std::mt19937;
    const std::vector<std::string> texts = {"", "a", "A", "b", "ab", "\xE0", "\xC0\xE0", "   800x600", " 12000x900"};
    const std::function<std::string(Gen&, int&)> kinds[] = {
        [&](Gen& g, int&) { return texts[std::uniform_int_distribution<std::size_t>(0, texts.size() - 1)(g)]; },
        // A falling walk: many new minima, each key coming back after smaller ones.
        [](Gen& g, int& v) {
            v = std::max(0, v + std::uniform_int_distribution<int>(-2, 1)(g));
            std::string text = std::to_string(v);
            return std::string(text.size() < 4 ? 4 - text.size() : 0, '0') + text;
        }};
    for (const auto& next : kinds) {
        for (unsigned seed = 0; seed < 100; ++seed) {
            Gen g(seed);
            const int size = seed < 96 ? std::uniform_int_distribution<int>(0, 200)(g) : 1000;
            for (SortKey key : {SortKey::Name, SortKey::Resolution}) {
                int walk = 500;
                Pairs input;
                for (int i = 1; i <= size; ++i) {
                    std::string k = next(g, walk), tag = tagged('#', static_cast<std::size_t>(i));
                    input.push_back(key == SortKey::Name ? std::pair{k, tag} : std::pair{tag, k});
                }
                for (bool descending : {false, true}) {
                    SCOPED_TRACE("kind " + std::to_string(&next - kinds) + " seed " + std::to_string(seed) +
                                 (descending ? " descending" : " ascending"));
                    sortBoth(input, key, descending);
                    if (HasFailure()) return;
                }
            }
        }
    }
}

}  // namespace
}  // namespace ostrel
