#pragma once
// The entry that starts the program when the user logs on: the value
// "Ostrel Wallpapers" under the machine's Run key, or under the user's Run
// key where the machine's cannot be written (a standard user on today's
// Windows); Windows runs both at logon.
#include <string>

#include "base/ProgramName.h"
#include "platform/Registry.h"

namespace ostrel {

inline constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kAutorunValue = kProgramTitle;

// The command the entry holds: the program's path, unquoted, and the start suffix.
inline std::string autorunCommand(const std::string& programPath, bool changeAndExit) {
    return programPath + (changeAndExit ? " -a-" : " -");
}

// Writes the entry under the machine's key (opened, never created), else under
// the user's; false when neither could be written.
[[nodiscard]] bool writeAutorun(Registry& registry, const std::string& command);
// Deletes the entry wherever it is; keys that cannot be opened are passed over.
void deleteAutorun(Registry& registry);

}  // namespace ostrel
