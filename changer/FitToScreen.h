#pragma once
#include "changer/Image.h"
#include "platform/Desktop.h"

namespace ostrel {

// The size that fills the screen in one direction with the picture's own aspect
// ratio (`xyforscreen`). Ratios are compared exactly in integers; the scaled side
// is the other side times the factor (a double), formed in extended precision
// and rounded to nearest with ties to even.
ImageSize xyforscreen(ImageSize picture, ScreenSize screen);

}  // namespace ostrel
