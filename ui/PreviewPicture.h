#pragma once
// The preview's picture, kept at the frame's size: composed once when the
// selection or the frame's size changes, then only copied at each repaint.
// The decoded picture is kept too, so a new frame size seldom reads the file.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/PreviewFrame.h"

namespace ostrel::ui {

class PreviewPicture {
public:
    // Decodes a file for a frame of the given size; nullopt when it is unusable.
    using Loader = std::function<std::optional<PreviewSource>(const std::string& path, ImageSize frame)>;

    void setLoader(Loader file, std::string_view placeholderBytes);
    void setFrame(ImageSize frame);          // recomposes when the size changed
    void showFile(const std::string& path);  // the placeholder when the file is unusable
    void showPlaceholder();
    // Draws at the frame's top-left; nothing (the background) when there is no picture.
    void paint(HDC dc, int left, int top) const;

private:
    void load();
    void compose();

    Loader loadFile_;
    std::string_view placeholderBytes_;
    ImageSize frame_;
    std::optional<std::string> path_;  // none: the placeholder
    bool any_ = false;                 // nothing asked for yet
    std::optional<PreviewSource> source_;
    bool sourceIsFile_ = false;  // or the placeholder, for an unusable file
    int width_ = 0, height_ = 0;
    std::vector<std::uint8_t> dib_;  // 24-bit, top-down, rows padded to 4 bytes
};

}  // namespace ostrel::ui
