#include "download/WholeFile.h"

namespace ostrel {

WholeFile readWholeFile(const FileSystem& fs, const std::string& path) {
    auto in = fs.openRead(path);
    if (!in) return {fs.fileExists(path) ? WholeFileStatus::Unreadable : WholeFileStatus::Missing, {}};
    WholeFile file{WholeFileStatus::Read, {}};
    constexpr std::size_t kBlock = 1 << 16;
    for (std::size_t before = 0;; before = file.bytes.size()) {
        if (!appendUpTo(*in, file.bytes, kBlock)) return {WholeFileStatus::Unreadable, {}};
        if (file.bytes.size() - before < kBlock) break;  // the end of the file
    }
    return file;
}

}  // namespace ostrel
