#include "list/ListFile.h"

namespace ostrel {
namespace {

// Hands out the lines of a list file one at a time. A line ends at LF, and a CR
// right before that LF belongs to the line end; reading past the end answers an
// empty line, which is how an odd last line gets an empty resolution.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : bytes_(bytes) {}

    bool atEnd() const { return pos_ >= bytes_.size(); }

    std::string next() {
        if (atEnd()) return {};
        const std::size_t lf = bytes_.find('\n', pos_);
        if (lf == std::string_view::npos) {
            std::string line(bytes_.substr(pos_));
            pos_ = bytes_.size();
            return line;
        }
        std::size_t end = lf;
        if (end > pos_ && bytes_[end - 1] == '\r') --end;
        std::string line(bytes_.substr(pos_, end - pos_));
        pos_ = lf + 1;
        return line;
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string serializeList(const WallpaperList& list) {
    // Row rowCount() lies past the end and reads as empty: that is the empty
    // pair which ends every list file.
    std::string bytes;
    for (int row = 1; row <= list.rowCount(); ++row) {
        bytes += list.path(row);
        bytes += "\r\n";
        bytes += list.resolution(row);
        bytes += "\r\n";
    }
    return bytes;
}

bool saveF(FileSystem& fs, const WallpaperList& list, const std::string& path) {
    return replaceFile(fs, path, serializeList(list));
}

void parseListInto(const FileSystem& fs, std::string_view bytes, WallpaperList& list) {
    LineReader lines(bytes);
    list.setRowCount(1);
    int row = 1;
    do {
        list.setRowCount(list.rowCount() + 1);
        std::string path = lines.next();
        for (int column = NumberColumn; column <= ResolutionColumn; ++column) list.setCell(column, row, {});
        list.setCell(PathColumn, row, std::move(path));
        list.setCell(NumberColumn, row, std::to_string(row));
        list.setCell(ResolutionColumn, row, lines.next());
        ++row;
    } while (!lines.atEnd());
    list.setFixedRows(1);

    if (list.rowCount() != 2) {
        // The last pair read is the terminator (or whatever stands in its place).
        list.setRowCount(list.rowCount() - 1);
    } else if (!fs.fileExists(list.path(1))) {
        // A single pair is either the terminator of an empty list or one entry
        // saved without it; only a real file tells them apart.
        list.setFixedRows(0);
        list.setRowCount(1);
    }
}

ListRead openF(const FileSystem& fs, const std::string& path, WallpaperList& list) {
    auto in = fs.openRead(path);
    if (!in) return ListRead::NotOpened;
    std::string bytes;
    constexpr std::size_t kBlock = 1 << 20;
    for (std::size_t before = 0;; before = bytes.size()) {
        if (!appendUpTo(*in, bytes, kBlock)) return ListRead::ReadFailed;
        if (bytes.size() - before < kBlock) break;  // the end of the file
    }
    parseListInto(fs, bytes, list);
    return ListRead::Loaded;
}

}  // namespace ostrel
