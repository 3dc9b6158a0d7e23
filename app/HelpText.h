#pragma once
// The Help window's text and where the Help and About windows open. The text
// is kept here, away from the window, so that its lines and its headings can
// be checked on the host.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace ostrel {

inline constexpr int kHelpLineCount = 52;

// The help text, line by line, in UTF-8. Leading blanks are part of the layout.
extern const std::array<std::string_view, kHelpLineCount> kHelpLines;

// "Содержание" and the four chapter titles, made bold and blue.
inline constexpr std::array<int, 5> kHelpHeadingLines{1, 9, 24, 31, 40};

// All lines joined by lineBreak, with none after the last.
std::string helpText(std::string_view lineBreak);

struct WindowBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct WindowOrigin {
    int left = 0;
    int top = 0;
    friend bool operator==(const WindowOrigin&, const WindowOrigin&) = default;
};

// Both centre a window of outer size width × height over the main window, with
// halves going to the even neighbour. Help rounds the difference of the sizes;
// About rounds each half on its own, so the two can differ by one pixel.
WindowOrigin helpWindowOrigin(const WindowBounds& mainWindow, int width, int height);
WindowOrigin aboutBoxOrigin(const WindowBounds& mainWindow, int width, int height);

}  // namespace ostrel
