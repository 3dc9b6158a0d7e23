#pragma once
// Scaling a picture to a new size.
#include "changer/Image.h"

namespace ostrel {

// Area-averaging when shrinking (each output pixel is the weighted mean of the
// source pixels it covers), bilinear when enlarging. Both sizes must be positive.
Image resample(const Image& source, ImageSize target);

}  // namespace ostrel
