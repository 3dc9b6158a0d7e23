#pragma once
// Removal of everything the program created: its settings key, its data
// folder, the desktop shortcut and the Start menu folder. The caller ends the
// program afterwards.
#include <string>

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"

namespace ostrel {

// Removes it all, in that order: the key with whatever is beneath it. Answers
// false, having deleted nothing, when removalAllowed refuses dataFolder (a
// message naming it has been shown then); otherwise true, whatever could not be
// deleted, each such thing reported with "Could NOT delete " as it is met.
bool removeProgramFiles(Registry& registry, FileSystem& files, Dialogs& dialogs, const std::string& dataFolder);

// Whether folder may be deleted as a whole without asking: a full path
// "X:\...\Ostrel Wallpapers" (the name in any ASCII case, one trailing "\"
// allowed) with no "." or ".." step and no "/".
bool removalAllowed(const std::string& folder);

// Deletes folder with everything in it, clearing read-only, hidden and system
// bits on the way. Only entries that are plain folders (the directory bit and
// nothing else) are entered; any other folder, a junction among them, is
// handled as a file: its deletion fails, "Could NOT delete <path>" is shown,
// and the folders above it stay. Always true.
bool removeFolderTree(FileSystem& files, Dialogs& dialogs, const std::string& folder);

}  // namespace ostrel
