#pragma once
// The windows are designed at 96 DPI; on a display of another DPI every
// designed length is scaled by dpi / 96 with this one rule, so that what is
// drawn keeps its proportions and nothing moves at 96 DPI.
//
// The rule is MulDiv's, Windows' own: the nearest whole pixel, halves away
// from zero. The lengths Windows scales itself (its metrics, dialog units)
// come out the same, and a length and its negative scale alike. So at 144 DPI
// the grid's row of 15 becomes 23 and the list's top at -4 becomes -6.

namespace ostrel {

inline constexpr int kDesignDpi = 96;

namespace detail {
constexpr int mulDivRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));
}
}  // namespace detail

// A DPI that cannot be right (0, negative, absurd) counts as the design's.
constexpr int saneDpi(int dpi) { return dpi >= 48 && dpi <= 960 ? dpi : kDesignDpi; }

// The display's scale for one window.
class DpiScale {
public:
    constexpr DpiScale() = default;
    constexpr explicit DpiScale(int dpi) : dpi_(saneDpi(dpi)) {}
    constexpr int dpi() const { return dpi_; }
    // A designed length (at 96 DPI) in this window's pixels.
    constexpr int operator()(int designed) const { return detail::mulDivRounded(designed, dpi_, kDesignDpi); }
    // Pixels back to the designed length they stand for, by the same rule:
    // what is stored ("wid", "hei", "left") is kept in designed units, so a
    // user who changes the display's scaling keeps the same window. Above 96
    // DPI a designed length comes back as itself.
    constexpr int designed(int pixels) const { return detail::mulDivRounded(pixels, kDesignDpi, dpi_); }
    friend constexpr bool operator==(DpiScale, DpiScale) = default;

private:
    int dpi_ = kDesignDpi;
};

}  // namespace ostrel
