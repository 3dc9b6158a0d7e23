#pragma once
// The preview's picture, kept at the frame's size: composed once when the
// selection or the frame's size changes, then only copied at each repaint.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/Image.h"

namespace ostrel::ui {

class PreviewPicture {
public:
    // Composes the frame-sized picture of a file; nullopt when it is unusable.
    using Loader = std::function<std::optional<Image>(const std::string& path, ImageSize frame)>;
    // The same for a picture held in memory (the placeholder).
    using BytesLoader = std::function<std::optional<Image>(std::string_view bytes, ImageSize frame)>;

    void setLoaders(Loader file, BytesLoader bytes, std::string_view placeholderBytes);
    void setFrame(ImageSize frame);  // recomposes when the size changed
    void showFile(const std::string& path);  // the placeholder when the file is unusable
    void showPlaceholder();
    // Draws at the frame's top-left; nothing (the background) when there is no picture.
    void paint(HDC dc, int left, int top) const;

private:
    void compose();

    Loader loadFile_;
    BytesLoader loadBytes_;
    std::string_view placeholderBytes_;
    ImageSize frame_;
    std::optional<std::string> path_;  // none: the placeholder
    bool any_ = false;                 // nothing asked for yet
    int width_ = 0, height_ = 0;
    std::vector<std::uint8_t> dib_;    // 24-bit, top-down, rows padded to 4 bytes
};

}  // namespace ostrel::ui
