#pragma once
// The working list: a three-column table whose row 0 is the header and whose
// rows 1..N are the entries (number, path, resolution text). Row numbers are
// the entries' identity everywhere in the program.
#include <string>
#include <vector>

namespace ostrel {

enum Column { NumberColumn = 0, PathColumn = 1, ResolutionColumn = 2 };
inline constexpr int kColumnCount = ResolutionColumn + 1;

class WallpaperList {
public:
    WallpaperList();  // header row only, no fixed row

    int rowCount() const { return static_cast<int>(rows_.size()); }
    int entryCount() const { return rowCount() - 1; }
    bool empty() const { return rowCount() < 2; }
    // Grows with empty rows or drops rows from the end; never below 1.
    void setRowCount(int count);

    // Out-of-range reads answer an empty text; out-of-range writes are ignored.
    const std::string& cell(int column, int row) const;
    void setCell(int column, int row, std::string text);
    const std::string& path(int row) const { return cell(PathColumn, row); }
    const std::string& resolution(int row) const { return cell(ResolutionColumn, row); }

    int fixedRows() const { return fixedRows_; }
    void setFixedRows(int n) { fixedRows_ = n; }
    // Header fixed when there are entries (what most commands do afterwards).
    void fixHeaderIfEntries();

    // Writes "№", "Имя", "Разрешение" into row 0.
    void writeHeader();

    // Append entry: grows only when the last row's path is not empty.
    void appendEntry(const std::string& path);
    // Always grows by one row (folder scan, drop).
    void appendRow(const std::string& path);

    // Removes count rows from first on and renumbers the rest; removing any
    // row at or before currentIndex sets currentIndex to -1.
    void removeRows(int first, int count, int& currentIndex);

    // Empties every row and leaves the header alone (fixed rows 0).
    void clear();

private:
    struct Row {
        std::string cells[kColumnCount];
    };
    std::vector<Row> rows_;
    int fixedRows_ = 0;
};

}  // namespace ostrel
