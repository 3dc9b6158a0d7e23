#pragma once
// The preview's picture, kept at the frame's size: composed once when the
// selection or the frame's size changes, then only copied at each repaint.
// Files are decoded on a worker, always for the newest selection, so that a
// held arrow key or a picture on a slow path never holds up the window; the
// picture shown stays until the next one is ready. The decoded picture is
// kept too, so a new frame size seldom reads the file.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/PreviewFrame.h"
#include "base/BackgroundJobs.h"

namespace ostrel::ui {

class PreviewPicture {
public:
    // The work that decodes a file for a frame of the given size (nullopt
    // when it is unusable). Made on the interface thread, run on the worker.
    using Decode = std::function<std::optional<PreviewSource>(const std::function<bool()>& stillWanted)>;
    using Loader = std::function<Decode(const std::string& path, ImageSize frame)>;

    // A decoded file is announced by posting message to window.
    void setLoader(Loader file, std::string_view placeholderBytes, HWND window, UINT message);
    // The placeholder as drawn for another scale; shown at once where it is shown.
    void setPlaceholder(std::string_view bytes);
    void setFrame(ImageSize frame);          // recomposes when the size changed
    void showFile(const std::string& path);  // the placeholder when the file is unusable
    void showPlaceholder();
    // The decoded file is there: true when the picture changed.
    bool takeDecoded();
    // Draws at the frame's top-left; nothing (the background) when there is no picture.
    void paint(HDC dc, int left, int top) const;
    // At the end: no more decodes. False when one is still blocked after limit.
    bool stopWithin(std::chrono::milliseconds limit) { return decodes_.stopWithin(limit); }

private:
    void load();
    void useSource(std::optional<PreviewSource> file);
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
    HWND window_ = nullptr;
    UINT message_ = 0;
    // A picture on a share that is off blocks its decode: the next selection
    // is decoded beside it.
    static constexpr int kMostWorkers = 3;
    // Last, so that the workers have ended before the rest goes.
    BackgroundJobs<std::optional<PreviewSource>> decodes_{[this] { PostMessageW(window_, message_, 0, 0); },
                                                          kMostWorkers};
};

}  // namespace ostrel::ui
