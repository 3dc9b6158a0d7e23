#pragma once
// Colourful made-up pictures, so that a catalogue can be tried without photos.
#include <cstddef>
#include <filesystem>
#include <ostream>

#include "imaging/Image.h"

namespace ostrel::catalogue {

inline constexpr ImageSize kDemoSize{1920, 1080};

// Picture number `number` (from 1): a pattern and colours of its own, with
// the number drawn large in a corner so that it can be told apart in a preview.
Image demoPicture(int number, ImageSize size = kDemoSize);

// Writes demo-001.jpg .. into folder (created when missing), number 1 the
// newest and each next one six hours older, so that the catalogue's order and
// dates are known. False, with a message on log, when a file cannot be written.
bool writeDemoPictures(const std::filesystem::path& folder, int count, std::ostream& log);

}  // namespace ostrel::catalogue
