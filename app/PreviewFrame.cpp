#include "app/PreviewFrame.h"

#include <algorithm>
#include <cstring>

#include "base/Rounding.h"
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
    image.pixels.resize(static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height) * 3);
    for (std::size_t i = 0; i < image.pixels.size(); i += 3) std::memcpy(&image.pixels[i], kBackgroundBgr, 3);
    return image;
}

// The picture, already of its placement's size, on the background.
Image compose(const Image& picture, const FramePlacement& place, ImageSize frame) {
    if (place.left == 0 && place.top == 0 && picture.size() == frame) return picture;
    Image out = background(frame);
    if (place.width <= 0 || place.height <= 0) return out;
    for (int y = 0; y < picture.height && place.top + y < frame.height; ++y)
        std::memcpy(out.row(place.top + y) + 3 * place.left, picture.row(y),
                    static_cast<std::size_t>(std::min(picture.width, frame.width - place.left)) * 3);
    return out;
}

}  // namespace

FramePlacement placeInFrame(ImageSize picture, int W, int H) {
    const std::int64_t w = picture.width, h = picture.height;
    if (h <= 0 || W <= 0 || H <= 0) return {};
    const int fw = static_cast<int>(roundHalfEven(w * H, h));
    if (W - 1 > fw) return {static_cast<int>(roundHalfEven(W - fw, 2)), 0, fw, H};  // narrower: bands left and right
    if (W + 1 >= fw || w <= 0) return {0, 0, W, H};                                 // near enough: the whole frame
    const int fh = static_cast<int>(roundHalfEven(h * W, w));
    return {0, static_cast<int>(roundHalfEven(H - fh, 2)), W, fh};  // wider: bands above and below
}

std::optional<PreviewSource> loadPreviewSource(const FileSystem& fs, const std::string& path, ImageSize frame) {
    ImageSize own;
    std::optional<Image> picture = loadPicture(fs, path, [&](ImageSize size) -> std::optional<ImageSize> {
        own = size;
        const FramePlacement place = placeInFrame(size, frame.width, frame.height);
        const ImageSize twice{2 * std::max(1, place.width), 2 * std::max(1, place.height)};
        if (twice.width >= size.width || twice.height >= size.height) return std::nullopt;  // its own size
        return twice;
    });
    if (!picture) return std::nullopt;
    return PreviewSource{own, std::move(*picture)};
}

std::optional<PreviewSource> previewSourceOfBytes(std::string_view fileBytes) {
    BytesReadStream in(fileBytes);
    std::optional<Image> picture = decodeJpeg(in);
    if (!picture) return std::nullopt;
    const ImageSize own = picture->size();
    return PreviewSource{own, std::move(*picture)};
}

bool sourceCovers(const PreviewSource& source, ImageSize frame) {
    if (source.picture.size() == source.own) return true;  // nothing sharper to be had
    const FramePlacement place = placeInFrame(source.own, frame.width, frame.height);
    return source.picture.width >= place.width && source.picture.height >= place.height;
}

Image frameFrom(const PreviewSource& source, ImageSize frame) {
    if (frame.width <= 0 || frame.height <= 0) return {};
    const FramePlacement place = placeInFrame(source.own, frame.width, frame.height);
    if (place.width <= 0 || place.height <= 0 || source.picture.width <= 0 || source.picture.height <= 0)
        return background(frame);
    const ImageSize size{place.width, place.height};
    return compose(source.picture.size() == size ? source.picture : resample(source.picture, size), place, frame);
}

std::optional<Image> previewFrame(const FileSystem& fs, const std::string& path, ImageSize frame) {
    if (frame.width <= 0 || frame.height <= 0) return std::nullopt;
    std::optional<PreviewSource> source = loadPreviewSource(fs, path, frame);
    if (!source) return std::nullopt;
    return frameFrom(*source, frame);
}

}  // namespace ostrel
