#include "ui/PreviewPicture.h"

#include "ui/Dib.h"

namespace ostrel::ui {

void PreviewPicture::setLoader(Loader file, std::string_view placeholderBytes) {
    loadFile_ = std::move(file);
    placeholderBytes_ = placeholderBytes;
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
    source_.reset();
    sourceIsFile_ = false;
    if (frame_.width <= 0 || frame_.height <= 0) return;  // loaded when the frame has a size
    if (path_ && loadFile_) source_ = loadFile_(*path_, frame_);
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
