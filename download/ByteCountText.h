#pragma once
// The download browser's byte total as the status bar shows it (`tostr`):
// the number in the largest unit that keeps it at or above 1, in its
// shortest form with the locale's decimal separator, cut to four characters
// ("976," for 976.5625), then the unit.
#include <cstdint>
#include <string>

namespace ostrel {

std::string tostr(std::uint64_t total, char decimalSeparator);

}  // namespace ostrel
