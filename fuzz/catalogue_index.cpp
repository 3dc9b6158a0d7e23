// The catalogue index "rz.txt" as both readers see it: fields end where the
// format says, the two readers agree, and every name the program would write
// stays in its folder.
#include "FuzzSupport.h"
#include "download/CatalogueIndex.h"
#include "download/LocalName.h"

namespace {

using namespace ostrel;

// A name that passes the check is one plain file name of the folder it is put after.
void checkStaysInFolder(const std::string& name) {
    if (!safeLocalName(name)) return;
    const std::string path = std::string("C:\\walls\\") + name;
    FUZZ_CHECK(fuzz::fields(path, '\\').size() == 3);
    FUZZ_CHECK(name.find('/') == std::string::npos && name.find(':') == std::string::npos);
    FUZZ_CHECK(name != "." && name != ".." && name.back() != '.' && name.back() != ' ');
    for (char c : name) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::bytesOf(data, size);
    const CatalogueIndex index = loadwalls(bytes);
    FUZZ_CHECK(index.pageCount == 0 || index.pageCount == kCataloguePages);
    FUZZ_CHECK(index.pageCount == 0 || index.fields.size() >= 299);
    for (std::size_t i = 0; i < index.fields.size(); ++i) {
        FUZZ_CHECK(index.fields[i].find(' ') == std::string::npos);  // a space ends a field
        if (i % 3 == 2) FUZZ_CHECK(index.fields[i].size() <= 8);     // a date ends by count
    }

    // The automatic download's reader reads the same full paths, all of them.
    const std::vector<std::string> fullPaths = loadwall(bytes);
    const std::size_t records = (index.fields.size() + 2) / 3;
    FUZZ_CHECK(index.pageCount == 0 ? fullPaths.size() >= records : fullPaths.size() == records);
    for (std::size_t r = 0; r < records; ++r) FUZZ_CHECK(fullPaths[r] == index.fields[3 * r]);

    for (std::size_t r = 0;; ++r) {
        const std::optional<CatalogueRecord> record = catalogueRecord(index, r);
        if (!record) {
            FUZZ_CHECK(3 * r + 1 >= index.fields.size());
            break;
        }
        checkStaysInFolder(localName(record->previewPath, 6));
        checkStaysInFolder(localName(record->fullPath, 7));
    }
    for (const std::string& fullPath : fullPaths) checkStaysInFolder(localName(fullPath, 7));
    return 0;
}
