#include "download/DelOldPrev.h"

#include <algorithm>
#include <set>
#include <vector>

#include "download/CatalogueIndex.h"
#include "download/CatalogueUrls.h"

namespace ostrel {
namespace {

constexpr std::size_t kFieldsToTrust = 300;  // a short index would spare too few previews

// The name a field's preview is kept under: the same as localName(path, 6)
// for a preview path, and harmless for the other fields.
std::string keptName(std::string field) {
    std::replace(field.begin(), field.end(), '/', '_');
    if (field.size() > 7) field.erase(0, 6);
    return field;
}

}  // namespace

bool DelOldPrev(FileSystem& fs, const std::string& catalogueFolder) {
    if (!fs.fileExists(catalogueFolder + std::string(kIndexName))) return true;
    auto index = loadwalls(fs, catalogueFolder);
    if (!index) return false;
    if (index->fields.size() < kFieldsToTrust) return true;

    std::set<std::string, std::less<>> kept = {std::string(kIndexName), std::string(kLoadedName)};
    for (std::string& field : index->fields) kept.insert(keptName(std::move(field)));

    // Listed first and deleted after, so that the listing never sees its own deletions.
    std::vector<std::string> doomed;
    fs.listFolder(catalogueFolder, [&](const FolderEntry& entry) {
        if (!entry.folder && !kept.contains(entry.name)) doomed.push_back(entry.name);
        return true;
    });
    for (const std::string& name : doomed) fs.deleteFile(catalogueFolder + name);
    return true;
}

}  // namespace ostrel
