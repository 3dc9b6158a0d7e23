#pragma once
// Scaling a picture to a new size.
#include <cstdint>
#include <functional>
#include <memory>

#include "imaging/Image.h"

namespace ostrel {

// Area-averaging when shrinking (each output pixel is the weighted mean of the
// source pixels it covers), bilinear when enlarging. Both sizes must be positive.
Image resample(const Image& source, ImageSize target);

// The same for a source that arrives one row at a time, top row first, as a
// decoder finishes them: no copy of the whole source is kept, and each output
// row is made as soon as the rows it covers are in. The result equals
// resample() of the whole source.
class RowResampler {
public:
    // Rows of the output that go somewhere as they are made: target.width
    // pixels, B G R, top row first.
    using RowOut = std::function<void(const std::uint8_t*)>;

    // Both sizes must be positive. With rowOut, each output row goes there as
    // soon as it is made, and take() answers nothing: no whole output is kept.
    RowResampler(ImageSize source, ImageSize target, RowOut rowOut = {});
    ~RowResampler();
    RowResampler(const RowResampler&) = delete;
    RowResampler& operator=(const RowResampler&) = delete;

    // The next source row: source.width pixels, B G R. Rows past the source's
    // height are ignored.
    void push(const std::uint8_t* row);
    // The scaled picture once every source row is in; empty before.
    Image take();
    // Every output row is made.
    bool done() const;

private:
    class Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace ostrel
