#pragma once
// Which of the face's drawn pictures a window shows, and how they are made to
// fit its scale. The pictures are drawn at 100, 150 and 200 %; a window takes
// the smallest drawn at or above its own scale, so that a picture is only
// ever made smaller (averaging whole pixels, sharp) and never enlarged
// (doubling them, soft). At 100, 150 and 200 % it shows them pixel for pixel;
// at 125 % the 150 % drawing shrunk, at 175 % the 200 % one. Above 200 %
// nothing larger exists: the 200 % drawing is enlarged.
#include <array>
#include <cstdint>
#include <optional>

#include "base/DpiScale.h"
#include "imaging/Image.h"

namespace ostrel {

inline constexpr std::array<int, 3> kArtworkPercents{100, 150, 200};

// The drawing a window at this scale shows, in per cent.
int artworkPercent(DpiScale scale);

// The colour a picture marks its clear pixels with, as B G R.
struct MaskColour {
    std::uint8_t b = 0, g = 0, r = 0;
    friend bool operator==(const MaskColour&, const MaskColour&) = default;
};

// A drawn picture brought to the window's scale: its designed size (the size
// at 100 %, found from the drawing's own) scaled by the window's rule. The
// drawing itself when that is its size already. With a mask colour the pixels
// of that colour are clear: they lend nothing to their neighbours' colour, and
// a pixel made mostly of them is clear too.
Image fitArtwork(const Image& drawn, int drawnPercent, DpiScale scale, std::optional<MaskColour> mask = std::nullopt);

}  // namespace ostrel
