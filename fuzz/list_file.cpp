// List files ("*.tav"): what the reader makes of any bytes is a list the grid
// can hold, and a list read, written and read again is the same list, written
// the same way.
#include "FuzzSupport.h"
#include "list/ListFile.h"

namespace {

using namespace ostrel;

void checkShape(const WallpaperList& list) {
    FUZZ_CHECK(list.rowCount() >= 1);
    FUZZ_CHECK(list.fixedRows() == (list.entryCount() > 0 ? 1 : 0));
    for (int row = 1; row < list.rowCount(); ++row) {
        FUZZ_CHECK(list.cell(NumberColumn, row) == std::to_string(row));
        FUZZ_CHECK(list.path(row).find('\n') == std::string::npos);
        FUZZ_CHECK(list.resolution(row).find('\n') == std::string::npos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::bytesOf(data, size);
    // An odd first byte makes the first path an existing file: a single pair
    // is then an entry rather than the terminator of an empty list.
    fuzz::MemoryFileSystem fs;
    if (size > 0 && data[0] % 2 == 1) {
        std::string first(bytes.substr(0, bytes.find('\n')));
        if (first.ends_with('\r') && first.size() < bytes.size()) first.pop_back();
        fs.files[first] = "";
    }
    WallpaperList list;
    parseListInto(fs, bytes, list);
    checkShape(list);

    const std::string written = serializeList(list);
    WallpaperList again;
    parseListInto(fs, written, again);
    checkShape(again);
    FUZZ_CHECK(again.rowCount() == list.rowCount());
    for (int row = 1; row < list.rowCount(); ++row) {
        FUZZ_CHECK(again.path(row) == list.path(row));
        FUZZ_CHECK(again.resolution(row) == list.resolution(row));
    }
    FUZZ_CHECK(serializeList(again) == written);
    return 0;
}
