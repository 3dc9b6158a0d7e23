#pragma once
// The two readers of the catalogue index "rz.txt": loadwalls for the download
// browser (every field) and loadwall for the automatic download (full paths).
// Each takes the file's bytes; the forms with a FileSystem read the copy in
// the catalogue folder and answer nullopt when it cannot be read, which the
// caller reports as an input/output error.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace ostrel {

// One picture of the index.
struct CatalogueRecord {
    std::string fullPath;     // server path of the full-size picture
    std::string previewPath;  // server path of the preview
    std::string date;         // 1-01-06 or 12-01-06
};

inline constexpr int kCataloguePages = 25;  // 100 records, four to a page

struct CatalogueIndex {
    std::vector<std::string> fields;  // three per record, in file order
    int pageCount = 0;                // kCataloguePages, or 0 after a short index
};

// Stores every field. Coming to the file's last byte with fewer than 299
// fields stored ends the reading there, without the field being read, and
// leaves the page count 0; otherwise the whole file is read and the page
// count is 25. An empty file is short as well.
CatalogueIndex loadwalls(std::string_view bytes);
std::optional<CatalogueIndex> loadwalls(const FileSystem& fs, const std::string& catalogueFolder);

// The full path (field 0) of each record, the whole file read.
std::vector<std::string> loadwall(std::string_view bytes);
std::optional<std::vector<std::string>> loadwall(const FileSystem& fs, const std::string& catalogueFolder);

// Record number `record` (from 0) of the index; nullopt when the index holds
// no full path and preview path there. A record without its date (the last
// of a short index) has an empty date.
std::optional<CatalogueRecord> catalogueRecord(const CatalogueIndex& index, std::size_t record);

}  // namespace ostrel
