#include "ui/PreviewPicture.h"

#include <cstring>

#include "platform/win32/UniqueHandle.h"

namespace ostrel::ui {
namespace {

constexpr COLORREF kCrossColour = RGB(220, 30, 30);
constexpr COLORREF kCaptionColour = RGB(41, 74, 133);
constexpr const wchar_t* kMissingCaption = L"Картинка отсутствует";

}  // namespace

void PreviewPicture::show(const std::optional<Image>& picture) {
    if (!picture) return showPlaceholder();
    width_ = picture->width;
    height_ = picture->height;
    const std::size_t stride = (static_cast<std::size_t>(width_) * 3 + 3) & ~std::size_t{3};
    dib_.assign(stride * height_, 0);
    for (int y = 0; y < height_; ++y)
        std::memcpy(dib_.data() + stride * y, picture->row(y), static_cast<std::size_t>(width_) * 3);
    state_ = State::Picture;
}

void PreviewPicture::showPlaceholder() {
    dib_.clear();
    state_ = State::Placeholder;
}

void PreviewPicture::clear() {
    dib_.clear();
    state_ = State::Empty;
}

void PreviewPicture::paint(HDC dc, const RECT& frame, HFONT font) const {
    const int roomWidth = frame.right - frame.left;
    const int roomHeight = frame.bottom - frame.top;
    if (state_ == State::Picture) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        // Decoded to fit the area when it was shown; a resized area scales it again.
        double scale = std::min(static_cast<double>(roomWidth) / width_, static_cast<double>(roomHeight) / height_);
        int w = std::max(1, static_cast<int>(width_ * scale + 0.5));
        int h = std::max(1, static_cast<int>(height_ * scale + 0.5));
        int x = frame.left + (roomWidth - w) / 2;
        int y = frame.top + (roomHeight - h) / 2;
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchDIBits(dc, x, y, w, h, 0, 0, width_, height_, dib_.data(), &info, DIB_RGB_COLORS, SRCCOPY);
        return;
    }
    if (state_ != State::Placeholder) return;
    // A red cross above the words, centred in the area.
    const int size = std::min(std::min(roomWidth, roomHeight) / 3, 60);
    const int cx = frame.left + roomWidth / 2;
    const int cy = frame.top + roomHeight / 2 - size / 2;
    win32::UniquePen pen(CreatePen(PS_SOLID, 5, kCrossColour));
    {
        win32::SelectObjectScope selectPen(dc, pen.get());
        MoveToEx(dc, cx - size / 2, cy - size / 2, nullptr);
        LineTo(dc, cx + size / 2, cy + size / 2);
        MoveToEx(dc, cx + size / 2, cy - size / 2, nullptr);
        LineTo(dc, cx - size / 2, cy + size / 2);
    }
    win32::SelectObjectScope selectFont(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kCaptionColour);
    RECT caption{frame.left, cy + size / 2 + 8, frame.right, cy + size / 2 + 28};
    DrawTextW(dc, kMissingCaption, -1, &caption, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace ostrel::ui
