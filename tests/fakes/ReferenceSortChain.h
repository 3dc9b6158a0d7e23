#pragma once
// The sort as the program always did it, step for step: an insertion chain,
// quadratic. The fast sort must give exactly this order, equal keys included.
#include <string>
#include <utility>
#include <vector>

#include "list/WallpaperList.h"

namespace ostrel::testing {

// keyColumn: 1 = path, 2 = resolution.
inline void referenceSortChain(WallpaperList& list, int keyColumn, bool descending) {
    const int n = list.entryCount();
    if (n < 1) return;
    struct Pair {
        std::string path, resolution;
        const std::string& key(int column) const { return column == 1 ? path : resolution; }
    };
    std::vector<Pair> chain{{list.path(1), list.resolution(1)}};
    chain.reserve(static_cast<std::size_t>(n));
    for (int row = 2; row <= n; ++row) {
        Pair pair{list.path(row), list.resolution(row)};
        const std::string& k = pair.key(keyColumn);
        std::size_t at = 0;
        if (k.compare(chain.front().key(keyColumn)) >= 0) {
            at = 1;
            while (at < chain.size() && chain[at].key(keyColumn).compare(k) < 0) ++at;
        }
        chain.insert(chain.begin() + static_cast<std::ptrdiff_t>(at), std::move(pair));
    }
    for (int j = 1; j <= n; ++j) {
        Pair& p = chain[static_cast<std::size_t>(j - 1)];
        const int row = descending ? n + 1 - j : j;
        list.setCell(PathColumn, row, std::move(p.path));
        list.setCell(ResolutionColumn, row, std::move(p.resolution));
    }
}

}  // namespace ostrel::testing
