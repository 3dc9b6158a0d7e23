#include "imaging/ImageProbe.h"

#include <cstdint>
#include <optional>

#include "imaging/BmpCodec.h"
#include "imaging/JpegCodec.h"

namespace ostrel {
namespace {

bool startsWith(const std::string& bytes, std::initializer_list<std::uint8_t> magic) {
    if (bytes.size() < magic.size()) return false;
    std::size_t i = 0;
    for (std::uint8_t m : magic)
        if (static_cast<std::uint8_t>(bytes[i++]) != m) return false;
    return true;
}

std::string sizeText(const std::optional<ImageSize>& size) {
    if (!size) return "0x0";
    return std::to_string(size->width) + "x" + std::to_string(size->height);
}

}  // namespace

std::string GetImageType(const FileSystem& fs, const std::string& path) {
    auto head = readPrefix(fs, path, 5);
    if (!head) return "NoImage";
    if (head->empty()) return "Bmp";
    if (startsWith(*head, {0x47, 0x49, 0x46, 0x38})) return head->size() >= 5 && (*head)[4] == '9' ? "Gif89" : "Gif";
    if (startsWith(*head, {0x42, 0x4D})) return "Bmp";
    if (startsWith(*head, {0x89, 0x50, 0x4E, 0x47})) return "Png";
    if (startsWith(*head, {0xFF, 0xD8})) return "Jpg";
    return "NoImage";
}

std::string GetStat(const FileSystem& fs, const std::string& path) {
    if (!fs.fileExists(path)) return "0x0";
    const std::string kind = GetImageType(fs, path);
    if (kind == "Jpg") {
        auto in = fs.openRead(path);
        return in ? sizeText(jpegSize(*in)) : "0x0";
    }
    if (kind == "Bmp") {
        // Only the headers are read, but a file cut short after them has no
        // size worth showing: it would fail the moment it is installed.
        auto in = fs.openRead(path);
        if (!in) return "0x0";
        auto head = readUpTo(*in, kBmpHeaderBytes);
        auto layout = head ? bmpLayout(*head) : std::nullopt;
        auto length = in->size();
        if (!layout || !length || *length < layout->pixelDataEnd) return "0x0";
        return sizeText(layout->size);
    }
    return "0x0";
}

}  // namespace ostrel
