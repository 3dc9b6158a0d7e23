#pragma once
// `Sort`: reorders the list's paths and resolutions by one column's text.
#include "list/WallpaperList.h"

namespace ostrel {

// The key numbers are those the menu and the header clicks pass to `Sort`.
enum class SortKey { Name = 1, Resolution = 2 };

// Orders rows 1..N by the path text (Name) or the resolution text (Resolution),
// compared as unsigned bytes. Equal keys keep the order the program's original
// insertion chain gave them (not a stable order), so lists sort the same as
// they always did. Descending is the ascending order written back to front.
// Only columns 1 and 2 move; the numbers in column 0 stay where they are.
void sortEntries(WallpaperList& list, SortKey key, bool descending);

}  // namespace ostrel
