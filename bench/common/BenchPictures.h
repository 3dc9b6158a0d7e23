#pragma once
// Test pictures for the benchmarks, written with libjpeg.
#include <string>

namespace ostrel::bench {

// Smooth ramps with noise of +-noise, like a photograph of sky and landscape:
// at 6000 x 4000, noise 2 gives 1.8 MB ("smooth"), noise 8 gives 5.6 MB
// ("detailed", closer to a camera picture).
void writeJpeg(const std::string& path, int width, int height, int quality, unsigned seed, int noise);

// The two 24-megapixel pictures the benchmarks install.
inline void writeSmooth(const std::string& path) { writeJpeg(path, 6000, 4000, 90, 1, 2); }
inline void writeDetailed(const std::string& path) { writeJpeg(path, 6000, 4000, 90, 2, 8); }

}  // namespace ostrel::bench
