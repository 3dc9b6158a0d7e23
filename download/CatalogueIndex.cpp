#include "download/CatalogueIndex.h"

#include "download/CatalogueUrls.h"
#include "download/IndexTokenizer.h"
#include "download/WholeFile.h"

namespace ostrel {
namespace {

// Fewer fields than this when the last byte comes, and the index is short.
constexpr std::size_t kFieldsOfAFullIndex = 299;

std::optional<std::string> readIndex(const FileSystem& fs, const std::string& catalogueFolder) {
    WholeFile file = readWholeFile(fs, catalogueFolder + std::string(kIndexName));
    if (file.status != WholeFileStatus::Read) return std::nullopt;
    return std::move(file.bytes);
}

}  // namespace

CatalogueIndex loadwalls(std::string_view bytes) {
    CatalogueIndex index;
    IndexTokenizer tokens(bytes);
    while (auto field = tokens.next(index.fields.size() < kFieldsOfAFullIndex))
        index.fields.push_back(std::move(field->text));
    index.pageCount = tokens.abandoned() || bytes.empty() ? 0 : kCataloguePages;
    return index;
}

std::optional<CatalogueIndex> loadwalls(const FileSystem& fs, const std::string& catalogueFolder) {
    auto bytes = readIndex(fs, catalogueFolder);
    if (!bytes) return std::nullopt;
    return loadwalls(*bytes);
}

std::vector<std::string> loadwall(std::string_view bytes) {
    std::vector<std::string> fullPaths;
    IndexTokenizer tokens(bytes);
    while (auto field = tokens.next())
        if (field->number == 0) fullPaths.push_back(std::move(field->text));
    return fullPaths;
}

std::optional<std::vector<std::string>> loadwall(const FileSystem& fs, const std::string& catalogueFolder) {
    auto bytes = readIndex(fs, catalogueFolder);
    if (!bytes) return std::nullopt;
    return loadwall(*bytes);
}

std::optional<CatalogueRecord> catalogueRecord(const CatalogueIndex& index, std::size_t record) {
    const std::size_t first = 3 * record;
    if (first + 1 >= index.fields.size()) return std::nullopt;
    // The last record of a short index comes without its date: a short
    // index stops before the field it was reading at its last byte.
    return CatalogueRecord{index.fields[first], index.fields[first + 1],
                           first + 2 < index.fields.size() ? index.fields[first + 2] : std::string()};
}

}  // namespace ostrel
