#pragma once
// Baseline JPEG files through libjpeg: the catalogue's previews and demo pictures.
#include <optional>
#include <string>

#include "imaging/Image.h"

namespace ostrel::catalogue {

// The picture as a baseline (sequential, Huffman) JFIF file, which every
// decoder reads; nullopt on any libjpeg error.
std::optional<std::string> encodeBaselineJpeg(const Image& image, int quality);

}  // namespace ostrel::catalogue
