#pragma once
// Reading a small file whole, telling a file that is not there from one that
// is there but cannot be read: the catalogue's files treat the two differently.
#include <string>

#include "platform/FileSystem.h"

namespace ostrel {

enum class WholeFileStatus {
    Read,
    Missing,     // no file at the path
    Unreadable,  // the file is there, but could not be opened or a read failed
};

struct WholeFile {
    WholeFileStatus status = WholeFileStatus::Missing;
    std::string bytes;  // every byte of the file when status is Read, else empty
};

WholeFile readWholeFile(const FileSystem& fs, const std::string& path);

}  // namespace ostrel
