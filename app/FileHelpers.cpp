#include "platform/FileSystem.h"

namespace ostrel {

std::optional<std::string> readPrefix(const FileSystem& fs, const std::string& path, std::size_t n) {
    auto in = fs.openRead(path);
    if (!in) return std::nullopt;
    std::string bytes(n, '\0');
    std::size_t got = 0;
    while (got < n) {
        std::size_t r = in->read(bytes.data() + got, n - got);
        if (r == 0) break;
        got += r;
    }
    if (in->failed()) return std::nullopt;
    bytes.resize(got);
    return bytes;
}

std::optional<std::string> readWholeFile(const FileSystem& fs, const std::string& path) {
    auto in = fs.openRead(path);
    if (!in) return std::nullopt;
    std::string bytes;
    char block[65536];
    for (;;) {
        std::size_t r = in->read(block, sizeof block);
        if (r == 0) break;
        bytes.append(block, r);
    }
    if (in->failed()) return std::nullopt;
    return bytes;
}

bool replaceFile(FileSystem& fs, const std::string& path, std::string_view bytes) {
    auto out = fs.openReplace(path);
    if (!out) return false;
    if (!bytes.empty() && !out->write(bytes.data(), bytes.size())) return false;
    return out->commit();
}

}  // namespace ostrel
