#pragma once
// Clearing the catalogue folder of previews that the last index no longer names.
#include <string>

#include "platform/FileSystem.h"

namespace ostrel {

// DelOldPrev: run by the download browser before it fetches a new index. Only
// when the folder holds an "rz.txt" that loadwalls reads as at least 300
// fields: every field is mapped ('/' becomes '_', then a result longer than 7
// characters loses its first 6), and every file of the folder is deleted
// unless its name is exactly one of the mapped fields, "rz.txt" or
// "loaded.txt". Sub-folders are left alone. catalogueFolder ends with a path
// separator. False only when the index is there but cannot be read; a file
// that cannot be deleted is passed over.
bool DelOldPrev(FileSystem& fs, const std::string& catalogueFolder);

}  // namespace ostrel
