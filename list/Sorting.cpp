#include "list/Sorting.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ostrel {
namespace {

struct Pair {
    std::string path, resolution;
};

// Where a row lands within its run of equal keys in the insertion chain. The
// chain is always sorted and its front is the smallest key so far; a row whose
// key is a new strict minimum (a "founder") goes to the front. Any other row
// goes right after the front when its key equals the front's, else to the
// start of its run of equal keys. Within a key the chain therefore holds:
// rows that found a smaller front (latest first), the founder, then rows that
// found their own key at the front (latest first).
enum Place : unsigned char { BeforeFounder = 0, Founder = 1, AfterFounder = 2 };

struct Slot {
    std::string_view key;  // the text itself, not its string: one pointer less to chase per comparison
    int row;               // index into the pairs
    Place place;
};

}  // namespace

void sortEntries(WallpaperList& list, SortKey key, bool descending) {
    const int n = list.entryCount();
    if (n < 2) return;

    // Both are indexed by entry, 0 to n - 1.
    std::vector<Pair> pairs(static_cast<std::size_t>(n));
    std::vector<Slot> slots(static_cast<std::size_t>(n));
    auto pair = [&](int i) -> Pair& { return pairs[static_cast<std::size_t>(i)]; };
    auto slot = [&](int i) -> Slot& { return slots[static_cast<std::size_t>(i)]; };

    for (int i = 0; i < n; ++i) pair(i) = {list.path(i + 1), list.resolution(i + 1)};
    auto keyOf = [&](int i) -> const std::string& { return key == SortKey::Name ? pair(i).path : pair(i).resolution; };

    std::string_view front = keyOf(0);
    slot(0) = {front, 0, Founder};
    for (int i = 1; i < n; ++i) {
        const std::string_view k = keyOf(i);
        const int c = k.compare(front);
        if (c < 0) {
            front = k;
            slot(i) = {k, i, Founder};
        } else {
            slot(i) = {k, i, c == 0 ? AfterFounder : BeforeFounder};
        }
    }

    std::sort(slots.begin(), slots.end(), [](const Slot& a, const Slot& b) {
        if (const int c = a.key.compare(b.key); c != 0) return c < 0;
        if (a.place != b.place) return a.place < b.place;
        return a.row > b.row;
    });

    for (int j = 0; j < n; ++j) {
        const int row = descending ? n - j : j + 1;
        Pair& p = pair(slot(j).row);
        list.setCell(PathColumn, row, std::move(p.path));
        list.setCell(ResolutionColumn, row, std::move(p.resolution));
    }
}

}  // namespace ostrel
