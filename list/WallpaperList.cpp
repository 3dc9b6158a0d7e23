#include "list/WallpaperList.h"

#include <algorithm>

namespace ostrel {
namespace {

const std::string& emptyText() {
    static const std::string empty;
    return empty;
}

bool validColumn(int column) { return column >= NumberColumn && column <= ResolutionColumn; }

}  // namespace

WallpaperList::WallpaperList() : rows_(1) { writeHeader(); }

void WallpaperList::setRowCount(int count) {
    rows_.resize(static_cast<std::size_t>(std::max(count, 1)));
    // A fixed row needs a scrolling row under it, as in the grid the view shows.
    if (fixedRows_ >= rowCount()) fixedRows_ = rowCount() - 1;
}

const std::string& WallpaperList::cell(int column, int row) const {
    if (!validColumn(column) || row < 0 || row >= rowCount()) return emptyText();
    return rows_[static_cast<std::size_t>(row)].cells[column];
}

void WallpaperList::setCell(int column, int row, std::string text) {
    if (!validColumn(column) || row < 0 || row >= rowCount()) return;
    rows_[static_cast<std::size_t>(row)].cells[column] = std::move(text);
}

void WallpaperList::fixHeaderIfEntries() { fixedRows_ = empty() ? 0 : 1; }

void WallpaperList::writeHeader() {
    // Every other cell holds bytes in the ANSI code page (CP1251), exactly as they
    // go to and come from list files and the file system. The header is display
    // text only, never saved or used as a path, so it is kept in UTF-8 and the
    // view converts it like the rest.
    Row& header = rows_.front();
    header.cells[NumberColumn] = "№";
    header.cells[PathColumn] = "Имя";
    header.cells[ResolutionColumn] = "Разрешение";
}

void WallpaperList::appendEntry(const std::string& path) {
    // The last row is reused while its path is empty (a row left by an earlier
    // grow); on an empty list the last row is the header, whose "Имя" is not.
    if (!this->path(rowCount() - 1).empty()) setRowCount(rowCount() + 1);
    const int last = rowCount() - 1;
    setCell(NumberColumn, last, std::to_string(last));
    setCell(PathColumn, last, path);
}

void WallpaperList::appendRow(const std::string& path) {
    setRowCount(rowCount() + 1);
    const int last = rowCount() - 1;
    setCell(NumberColumn, last, std::to_string(last));
    setCell(PathColumn, last, path);
}

void WallpaperList::removeRows(int first, int count, int& currentIndex) {
    // The header is never removed; a range running past the end is cut short.
    if (first < 1) {
        count -= 1 - first;
        first = 1;
    }
    count = std::min(count, rowCount() - first);
    if (count <= 0) return;

    auto begin = rows_.begin() + first;
    rows_.erase(begin, begin + count);
    setRowCount(rowCount());
    for (int row = first; row < rowCount(); ++row) setCell(NumberColumn, row, std::to_string(row));

    // The current entry is known by its number only: once a row at or before it
    // goes, that number names another picture or none at all.
    if (currentIndex >= first) currentIndex = -1;
}

void WallpaperList::clear() {
    for (std::size_t row = 1; row < rows_.size(); ++row) rows_[row] = Row{};
    fixedRows_ = 0;
    setRowCount(1);
}

}  // namespace ostrel
