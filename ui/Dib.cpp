#include "ui/Dib.h"

#include <cstring>

namespace ostrel::ui {
namespace {

constexpr WORD kBitsPerPixel = 24;
constexpr std::size_t kBytesPerPixel = 3;  // B, G, R, as a decoded picture holds them

std::size_t paddedRowBytes(int width) {
    return (static_cast<std::size_t>(width) * kBytesPerPixel + 3) & ~std::size_t{3};
}

}  // namespace

BITMAPINFO dibInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kBitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

std::vector<std::uint8_t> dibRows(const Image& picture) {
    std::vector<std::uint8_t> rows(paddedRowBytes(picture.width) * static_cast<std::size_t>(picture.height), 0);
    copyDibRows(picture, rows.data());
    return rows;
}

void copyDibRows(const Image& picture, std::uint8_t* bits) {
    const std::size_t stride = paddedRowBytes(picture.width);
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * kBytesPerPixel;
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(bits + stride * static_cast<std::size_t>(y), picture.row(y), rowBytes);
}

Image bitmapPicture(HBITMAP bitmap) {
    BITMAP header{};
    if (!bitmap || !GetObjectW(bitmap, sizeof header, &header) || header.bmWidth <= 0 || header.bmHeight <= 0)
        return {};
    BITMAPINFO info = dibInfo(header.bmWidth, header.bmHeight);
    std::vector<std::uint8_t> rows(paddedRowBytes(header.bmWidth) * static_cast<std::size_t>(header.bmHeight));
    HDC screen = GetDC(nullptr);
    const int read =
        screen ? GetDIBits(screen, bitmap, 0, static_cast<UINT>(header.bmHeight), rows.data(), &info, DIB_RGB_COLORS)
               : 0;
    if (screen) ReleaseDC(nullptr, screen);
    if (read != header.bmHeight) return {};
    Image picture{header.bmWidth, header.bmHeight, {}};
    picture.pixels.resize(picture.rowOffset(picture.height));
    const std::size_t stride = paddedRowBytes(picture.width);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(picture.row(y), rows.data() + stride * static_cast<std::size_t>(y), picture.rowOffset(1));
    return picture;
}

HBITMAP dibSection(const Image& picture) {
    const BITMAPINFO info = dibInfo(picture.width, picture.height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) copyDibRows(picture, static_cast<std::uint8_t*>(bits));
    return bitmap;
}

}  // namespace ostrel::ui
