#include "platform/FileSystem.h"

namespace ostrel {

bool appendUpTo(ReadStream& in, std::string& bytes, std::size_t n) {
    const std::size_t start = bytes.size();
    bytes.resize(start + n);
    std::size_t got = 0;
    while (got < n) {
        std::size_t r = in.read(bytes.data() + start + got, n - got);
        if (r == 0) break;
        got += r;
    }
    bytes.resize(start + got);
    return !in.failed();
}

std::optional<std::string> readUpTo(ReadStream& in, std::size_t n) {
    std::string bytes;
    if (!appendUpTo(in, bytes, n)) return std::nullopt;
    return bytes;
}

bool folderExists(const FileSystem& fs, const std::string& folder) {
    return fs.listFolder(folder, [](const FolderEntry&) { return false; });
}

std::optional<std::string> readPrefix(const FileSystem& fs, const std::string& path, std::size_t n) {
    auto in = fs.openRead(path);
    if (!in) return std::nullopt;
    return readUpTo(*in, n);
}

bool replaceFile(FileSystem& fs, const std::string& path, std::string_view bytes) {
    auto out = fs.openReplace(path);
    if (!out) return false;
    if (!bytes.empty() && !out->write(bytes.data(), bytes.size())) return false;
    return out->commit();
}

}  // namespace ostrel
