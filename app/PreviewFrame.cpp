#include "app/PreviewFrame.h"

#include <algorithm>
#include <cstring>

#include "app/Rounding.h"
#include "imaging/JpegCodec.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resample.h"

namespace ostrel {
namespace {

// Reads from memory, for a picture that is part of the program.
class BytesReadStream final : public ReadStream {
public:
    explicit BytesReadStream(std::string_view bytes) : bytes_(bytes) {}
    std::size_t read(void* buffer, std::size_t n) override {
        const std::size_t got = std::min(n, bytes_.size() - pos_);
        std::memcpy(buffer, bytes_.data() + pos_, got);
        pos_ += got;
        return got;
    }
    bool failed() const override { return false; }
    std::optional<std::uint64_t> size() const override { return bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

Image background(ImageSize frame) {
    Image image{frame.width, frame.height, {}};
    image.pixels.resize(static_cast<std::size_t>(frame.width) * frame.height * 3);
    for (std::size_t i = 0; i < image.pixels.size(); i += 3) std::memcpy(&image.pixels[i], kBackgroundBgr, 3);
    return image;
}

// The picture, already of its placement's size, on the background.
Image compose(const Image& picture, const FramePlacement& place, ImageSize frame) {
    if (place.left == 0 && place.top == 0 && picture.size() == frame) return picture;
    Image out = background(frame);
    for (int y = 0; y < picture.height && place.top + y < frame.height; ++y)
        std::memcpy(out.row(place.top + y) + 3 * place.left, picture.row(y),
                    static_cast<std::size_t>(std::min(picture.width, frame.width - place.left)) * 3);
    return out;
}

// Sizes that keep at least a pixel, for the decoder.
ImageSize decodedSize(const FramePlacement& place) {
    return {std::max(1, place.width), std::max(1, place.height)};
}

}  // namespace

FramePlacement placeInFrame(ImageSize picture, int W, int H) {
    const std::int64_t w = picture.width, h = picture.height;
    if (h <= 0 || W <= 0 || H <= 0) return {};
    const int fw = static_cast<int>(roundHalfEven(w * H, h));
    if (W - 1 > fw) return {static_cast<int>(roundHalfEven(W - fw, 2)), 0, fw, H};  // narrower: bands left and right
    if (W + 1 >= fw || w <= 0) return {0, 0, W, H};                                  // near enough: the whole frame
    const int fh = static_cast<int>(roundHalfEven(h * W, w));
    return {0, static_cast<int>(roundHalfEven(H - fh, 2)), W, fh};                 // wider: bands above and below
}

std::optional<Image> previewFrame(const FileSystem& fs, const std::string& path, ImageSize frame) {
    if (frame.width <= 0 || frame.height <= 0) return std::nullopt;
    FramePlacement place;
    std::optional<Image> picture = loadPicture(fs, path, [&](ImageSize own) {
        place = placeInFrame(own, frame.width, frame.height);
        return std::optional(decodedSize(place));
    });
    if (!picture) return std::nullopt;
    return compose(*picture, place, frame);
}

std::optional<Image> previewFrameOfBytes(std::string_view fileBytes, ImageSize frame) {
    if (frame.width <= 0 || frame.height <= 0) return std::nullopt;
    BytesReadStream in(fileBytes);
    std::optional<Image> picture = decodeJpeg(in);
    if (!picture) return std::nullopt;
    const FramePlacement place = placeInFrame(picture->size(), frame.width, frame.height);
    const ImageSize size = decodedSize(place);
    return compose(picture->size() == size ? *picture : resample(*picture, size), place, frame);
}

}  // namespace ostrel
