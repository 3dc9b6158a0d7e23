#pragma once
// The program's name: the main window's title, which a second instance finds
// it by, the caption of its boxes, the tray tip, its folder and its autorun
// entry. Spelled here only, so that they cannot drift apart.
#include <array>
#include <cstddef>

namespace ostrel {

inline constexpr char kProgramTitle[] = "Ostrel Wallpapers";

namespace detail {

// An ASCII text as a wide one, made by the compiler.
template <std::size_t N>
constexpr std::array<wchar_t, N> widenAscii(const char (&text)[N]) {
    std::array<wchar_t, N> wide{};
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<unsigned char>(text[i]) > 0x7F) throw "not ASCII";  // stops the compilation
        wide[i] = static_cast<wchar_t>(text[i]);
    }
    return wide;
}

inline constexpr auto kProgramTitleWideText = widenAscii(kProgramTitle);

}  // namespace detail

// The same for the W functions.
inline constexpr const wchar_t* kProgramTitleWide = detail::kProgramTitleWideText.data();

}  // namespace ostrel
