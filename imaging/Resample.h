#pragma once
// Scaling a picture to a new size.
#include <functional>

#include "imaging/Image.h"

namespace ostrel {

// Area-averaging when shrinking (each output pixel is the weighted mean of the
// source pixels it covers), bilinear when enlarging. Both sizes must be positive.
Image resample(const Image& source, ImageSize target);

// The same for a source whose rows are still being filled in, top row first, so
// that the work can follow a decoder on another thread. Before reading source
// row n it calls rowsReady(n + 1) unless an earlier answer already covers it;
// rowsReady answers how many rows from the top are complete (at least n + 1,
// waiting if need be), or 0 when they never will be, which gives an empty result.
Image resample(const Image& source, ImageSize target, const std::function<int(int)>& rowsReady);

}  // namespace ostrel
