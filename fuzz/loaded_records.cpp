// "loaded.txt": the lines read are whole, non-empty paths, and an append
// adds exactly its path as the last line.
#include "FuzzSupport.h"
#include "download/LoadedRecord.h"

using namespace ostrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The record's bytes, then after the first NUL the path to append.
    const std::string_view input = fuzz::bytesOf(data, size);
    const std::size_t cut = input.find('\0');
    const std::string_view record = input.substr(0, cut);
    const std::string path(cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1));

    const std::vector<std::string> before = loadedLines(record);
    for (const std::string& line : before) {
        FUZZ_CHECK(!line.empty());
        FUZZ_CHECK(line.find('\n') == std::string::npos);
        FUZZ_CHECK(!isNewPicture(line, before));
    }

    // Paths come from the index, one line of it: never empty, never a line break.
    if (path.empty() || path.find_first_of("\r\n") != std::string::npos || path.find('\0') != std::string::npos)
        return 0;
    const std::string folder = "C:\\data\\download\\";
    fuzz::MemoryFileSystem fs;
    fs.files[folder + "loaded.txt"] = std::string(record);
    FUZZ_CHECK(appendLoaded(fs, folder, path));
    const std::optional<std::vector<std::string>> after = dospisokloaded(fs, folder);
    FUZZ_CHECK(after && after->size() == before.size() + 1);
    FUZZ_CHECK(after->back() == path && !isNewPicture(path, *after));
    // Every earlier line, the last one too, is kept as it was read.
    for (std::size_t i = 0; i < before.size(); ++i) FUZZ_CHECK((*after)[i] == before[i]);
    return 0;
}
