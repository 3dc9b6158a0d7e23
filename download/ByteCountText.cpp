#include "download/ByteCountText.h"

#include <cstdio>

namespace ostrel {

std::string tostr(std::uint64_t total, char decimalSeparator) {
    // A total of 1024 Мб or more reads better in Гб than as a four-digit cut number.
    static const char* const kUnits[] = {"б", "Кб", "Мб", "Гб"};
    int unit = 0;
    double x = static_cast<double>(total);
    while (x >= 1024 && unit < 3) {
        ++unit;
        x = static_cast<double>(total) / static_cast<double>(std::uint64_t{1} << (10 * unit));
    }
    char number[40];
    std::snprintf(number, sizeof number, "%.15G", x);  // the shortest form of up to 15 digits
    std::string text(number);
    for (char& c : text)
        if (c == '.') c = decimalSeparator;
    return text.substr(0, 4) + " " + kUnits[unit];
}

}  // namespace ostrel
