#pragma once
// The resolution texts of the list's third column.
#include <optional>
#include <string>

#include "platform/FileSystem.h"

namespace ostrel {

// Pads a "WxH" text so that the "x" stands at position 9 for widths up to four digits.
std::string padResolution(const std::string& stat);

// The text stored in a list row: GetStat tried up to three times, then padded;
// nullopt when the file is not there.
std::optional<std::string> resolutionText(const FileSystem& fs, const std::string& path);

// The padded text of a picture exactly the screen's size.
std::string screenResolutionText(int width, int height);

}  // namespace ostrel
