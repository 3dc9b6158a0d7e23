#include "download/LoadedRecord.h"

#include <algorithm>
#include <mutex>

#include "download/CatalogueUrls.h"
#include "download/WholeFile.h"

namespace ostrel {
namespace {

// An append reads the file and writes it back: two at once would lose a line,
// and a creation racing an append would wipe it.
std::mutex& recordLock() {
    static std::mutex lock;
    return lock;
}

std::string recordPath(const std::string& catalogueFolder) { return catalogueFolder + std::string(kLoadedName); }

}  // namespace

std::vector<std::string> loadedLines(std::string_view bytes) {
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        std::string_view line = bytes.substr(0, lf);
        bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (!line.empty()) lines.emplace_back(line);
    }
    return lines;
}

std::optional<std::vector<std::string>> dospisokloaded(const FileSystem& fs, const std::string& catalogueFolder) {
    WholeFile file = readWholeFile(fs, recordPath(catalogueFolder));
    if (file.status == WholeFileStatus::Unreadable) return std::nullopt;
    return loadedLines(file.bytes);
}

bool isNewPicture(std::string_view fullPath, const std::vector<std::string>& loaded) {
    return std::find(loaded.begin(), loaded.end(), fullPath) == loaded.end();
}

bool appendLoaded(FileSystem& fs, const std::string& catalogueFolder, std::string_view fullPath) {
    std::lock_guard guard(recordLock());
    const std::string path = recordPath(catalogueFolder);
    WholeFile file = readWholeFile(fs, path);
    if (file.status == WholeFileStatus::Unreadable) return false;
    std::string& bytes = file.bytes;
    // The new line starts on a line of its own, and the last line keeps the
    // meaning it was read with: one that ends in CR alone read without it
    // (loadedLines), and so it does once an LF follows.
    if (bytes.ends_with('\r'))
        bytes += '\n';
    else if (!bytes.empty() && !bytes.ends_with('\n'))
        bytes += "\r\n";
    bytes += fullPath;
    bytes += "\r\n";
    return replaceFile(fs, path, bytes);
}

bool createLoadedIfMissing(FileSystem& fs, const std::string& catalogueFolder) {
    std::lock_guard guard(recordLock());
    const std::string path = recordPath(catalogueFolder);
    return fs.fileExists(path) || replaceFile(fs, path, {});
}

}  // namespace ostrel
