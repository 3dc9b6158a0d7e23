#pragma once
// The short date the download browser shows over a page: day and month of a
// record's date (12-01-06 gives 12-01, 1-01-06 gives 1-01, 1-1-06 gives 1-1).
#include <string>
#include <string_view>

namespace ostrel {

// Of the first five characters: a '-' in the 5th place goes; then, when the
// 2nd and the 4th are both '-', the 4th onwards go.
std::string dateLabel(std::string_view date);

}  // namespace ostrel
