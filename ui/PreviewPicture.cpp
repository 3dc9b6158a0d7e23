#include "ui/PreviewPicture.h"

#include "ui/Dib.h"

namespace ostrel::ui {
namespace {

constexpr int kFilePlace = 0;  // the one place of the decodes

}  // namespace

void PreviewPicture::setLoader(Loader file, std::string_view placeholderBytes, HWND window, UINT message) {
    loadFile_ = std::move(file);
    placeholderBytes_ = placeholderBytes;
    window_ = window;  // before the first decode starts the worker, which reads it
    message_ = message;
}

void PreviewPicture::setPlaceholder(std::string_view bytes) {
    placeholderBytes_ = bytes;
    if (!source_ || sourceIsFile_) return;
    source_ = previewSourceOfBytes(placeholderBytes_);
    compose();
}

void PreviewPicture::setFrame(ImageSize frame) {
    if (frame == frame_) return;
    frame_ = frame;
    if (!any_) return;
    // A file decoded for a much smaller frame is read again; anything else is
    // only placed anew.
    if (!source_ || (sourceIsFile_ && !sourceCovers(*source_, frame_))) load();
    compose();
}

void PreviewPicture::showFile(const std::string& path) {
    path_ = path;
    any_ = true;
    load();
    compose();
}

void PreviewPicture::showPlaceholder() {
    path_.reset();
    any_ = true;
    load();
    compose();
}

void PreviewPicture::load() {
    decodes_.drop(kFilePlace);                      // an older selection's picture is not wanted any more
    if (frame_.width <= 0 || frame_.height <= 0) {  // loaded when the frame has a size
        source_.reset();
        sourceIsFile_ = false;
        return;
    }
    Decode decode = path_ && loadFile_ ? loadFile_(*path_, frame_) : Decode{};
    if (decode)
        decodes_.request(kFilePlace, std::move(decode));
    else
        useSource(std::nullopt);
}

bool PreviewPicture::takeDecoded() {
    bool changed = false;
    for (auto& result : decodes_.take()) {
        useSource(std::move(result.value));
        compose();
        changed = true;
        // Made for a frame that has grown since: shown now, and made again.
        if (sourceIsFile_ && !sourceCovers(*source_, frame_)) load();
    }
    return changed;
}

void PreviewPicture::useSource(std::optional<PreviewSource> file) {
    source_ = std::move(file);
    sourceIsFile_ = source_.has_value();
    if (!source_) source_ = previewSourceOfBytes(placeholderBytes_);
}

void PreviewPicture::compose() {
    dib_.clear();
    width_ = height_ = 0;
    if (!source_) return;
    const Image picture = frameFrom(*source_, frame_);
    width_ = picture.width;
    height_ = picture.height;
    dib_ = dibRows(picture);
}

void PreviewPicture::paint(HDC dc, int left, int top) const {
    if (dib_.empty()) return;
    const BITMAPINFO info = dibInfo(width_, height_);
    SetDIBitsToDevice(dc, left, top, width_, height_, 0, 0, 0, height_, dib_.data(), &info, DIB_RGB_COLORS);
}

}  // namespace ostrel::ui
