#include "app/FaceArtwork.h"

#include <cstddef>

#include "imaging/Resample.h"

namespace ostrel {
namespace {

// The DPI whose scale a drawing's per cent is (150 % is 144 DPI).
DpiScale drawnScale(int percent) { return DpiScale(percent * kDesignDpi / 100); }

bool isMask(const std::uint8_t* p, MaskColour mask) { return p[0] == mask.b && p[1] == mask.g && p[2] == mask.r; }

// The masked pixels as black, and beside it how much of each pixel is drawn:
// averaged apart, the colour divided by the share drawn is the mean of the
// drawn pixels alone.
Image fitMasked(const Image& drawn, ImageSize target, MaskColour mask) {
    Image colour = drawn, cover = drawn;
    for (std::size_t i = 0; i < drawn.pixels.size(); i += 3) {
        const bool clear = isMask(&drawn.pixels[i], mask);
        for (std::size_t c = 0; c < 3; ++c) {
            if (clear) colour.pixels[i + c] = 0;
            cover.pixels[i + c] = clear ? 0 : 255;
        }
    }
    Image out = resample(colour, target);
    const Image share = resample(cover, target);
    for (std::size_t i = 0; i < out.pixels.size(); i += 3) {
        const unsigned drawnShare = share.pixels[i];
        if (drawnShare < 128) {
            out.pixels[i] = mask.b, out.pixels[i + 1] = mask.g, out.pixels[i + 2] = mask.r;
            continue;
        }
        for (std::size_t c = 0; c < 3; ++c) {
            const unsigned v = (out.pixels[i + c] * 255u + drawnShare / 2) / drawnShare;
            out.pixels[i + c] = static_cast<std::uint8_t>(v > 255 ? 255 : v);
        }
        // A mean that happens to be the mask colour would turn clear.
        if (isMask(&out.pixels[i], mask)) out.pixels[i + 1] = static_cast<std::uint8_t>(mask.g + 1);
    }
    return out;
}

}  // namespace

int artworkPercent(DpiScale scale) {
    for (const int percent : kArtworkPercents)
        if (drawnScale(percent).dpi() >= scale.dpi()) return percent;
    return kArtworkPercents.back();
}

Image fitArtwork(const Image& drawn, int drawnPercent, DpiScale scale, std::optional<MaskColour> mask) {
    const DpiScale from = drawnScale(drawnPercent);
    const ImageSize target{scale(from.designed(drawn.width)), scale(from.designed(drawn.height))};
    if (target == drawn.size() || target.width <= 0 || target.height <= 0 || drawn.width <= 0 || drawn.height <= 0)
        return drawn;
    return mask ? fitMasked(drawn, target, *mask) : resample(drawn, target);
}

}  // namespace ostrel
