#pragma once
// The picture shown in the preview area: the selected file fitted to the area,
// or the placeholder for a file that is missing or cannot be decoded.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "imaging/Image.h"

namespace ostrel::ui {

class PreviewPicture {
public:
    // Shows a decoded picture; the placeholder when there is none.
    void show(const std::optional<Image>& picture);
    void showPlaceholder();
    void clear();
    void paint(HDC dc, const RECT& frame, HFONT font) const;

private:
    enum class State { Empty, Picture, Placeholder };
    State state_ = State::Empty;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> dib_;  // 24-bit, top-down, rows padded to 4 bytes
};

}  // namespace ostrel::ui
