#include "imaging/Resample.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace ostrel {
namespace {

// Weights are fixed point and sum to exactly `one` for every output pixel, so a
// uniform colour stays exactly uniform. The horizontal pass uses 13 fraction
// bits so that a weighted sum of 8-bit values fits in 21 bits (see packPixel);
// the vertical pass uses 14.
constexpr int kAcrossShift = 13;
constexpr int kDownShift = 14;
// Between the passes values carry 8 fraction bits.
constexpr int kMidBits = 8;

// For every output position along one axis: which source pixels it reads and with what weight.
struct Taps {
    std::vector<int> start;
    std::vector<int> count;
    std::vector<int> offset;
    std::vector<std::uint32_t> weights;
    int maxCount = 1;
};

// Output pixel i covers source interval [i*src/dst, (i+1)*src/dst); each source
// pixel weighs in with the part of it that is covered. Positions are kept in
// units of 1/dst source pixel, so the overlaps are exact integers.
void addAreaTaps(Taps& t, int src, int dst, std::int64_t one) {
    for (int i = 0; i < dst; ++i) {
        const std::int64_t lo = static_cast<std::int64_t>(i) * src;
        const std::int64_t hi = lo + src;
        const int first = static_cast<int>(lo / dst);
        const int last = static_cast<int>((hi - 1) / dst);
        t.start.push_back(first);
        t.count.push_back(last - first + 1);
        t.offset.push_back(static_cast<int>(t.weights.size()));
        const std::size_t base = t.weights.size();
        std::int64_t sum = 0;
        for (int j = first; j <= last; ++j) {
            std::int64_t overlap = std::min(hi, static_cast<std::int64_t>(j + 1) * dst) -
                                   std::max(lo, static_cast<std::int64_t>(j) * dst);
            std::int64_t w = (overlap * one + src / 2) / src;
            t.weights.push_back(static_cast<std::uint32_t>(w));
            sum += w;
        }
        // The rounding remainder goes to the heaviest tap.
        auto heaviest = std::max_element(t.weights.begin() + static_cast<std::ptrdiff_t>(base), t.weights.end());
        *heaviest = static_cast<std::uint32_t>(*heaviest + (one - sum));
        t.maxCount = std::max(t.maxCount, last - first + 1);
    }
}

// Bilinear with pixel centres aligned: output i samples source position
// (i + 0.5) * src/dst - 0.5, clamped to the picture.
void addBilinearTaps(Taps& t, int src, int dst, std::int64_t one) {
    const std::int64_t den = 2 * static_cast<std::int64_t>(dst);
    for (int i = 0; i < dst; ++i) {
        const std::int64_t num = (2 * static_cast<std::int64_t>(i) + 1) * src - dst;
        int first = 0;
        std::int64_t upper = 0;
        if (num > 0) {
            first = static_cast<int>(num / den);
            upper = (num % den * one + den / 2) / den;
        }
        if (first >= src - 1) {
            first = src - 1;
            upper = 0;
        }
        t.start.push_back(first);
        t.offset.push_back(static_cast<int>(t.weights.size()));
        t.weights.push_back(static_cast<std::uint32_t>(one - upper));
        if (upper > 0) {
            t.weights.push_back(static_cast<std::uint32_t>(upper));
            t.count.push_back(2);
            t.maxCount = 2;
        } else {
            t.count.push_back(1);
        }
    }
}

Taps makeTaps(int src, int dst, int shift) {
    Taps t;
    t.start.reserve(dst);
    t.count.reserve(dst);
    t.offset.reserve(dst);
    if (dst < src)
        addAreaTaps(t, src, dst, std::int64_t{1} << shift);
    else
        addBilinearTaps(t, src, dst, std::int64_t{1} << shift);  // equal sizes give one tap of weight one
    return t;
}

// The three channels of a pixel side by side in one 64-bit word, 21 bits apart.
// A weighted sum with 13-bit weights adding up to 2^13 stays below 255 * 2^13 <
// 2^21 in every lane, so one multiply-add per tap serves all three channels.
constexpr int kLane = 21;
constexpr std::uint64_t kLaneMask = (std::uint64_t{1} << kLane) - 1;

std::uint64_t packPixel(const std::uint8_t* p) {
    return p[0] | std::uint64_t{p[1]} << kLane | std::uint64_t{p[2]} << (2 * kLane);
}

void horizontalPass(const std::uint8_t* src, int srcWidth, std::uint64_t* packed, std::uint16_t* out,
                    const Taps& t) {
    for (int x = 0; x < srcWidth; ++x) packed[x] = packPixel(src + 3 * x);
    const int n = static_cast<int>(t.start.size());
    constexpr int shift = kAcrossShift - kMidBits;
    constexpr std::uint64_t half = std::uint64_t{1} << (shift - 1);
    for (int x = 0; x < n; ++x) {
        const std::uint64_t* p = packed + t.start[x];
        const std::uint32_t* w = t.weights.data() + t.offset[x];
        std::uint64_t acc = 0;
        for (int k = 0, c = t.count[x]; k < c; ++k) acc += w[k] * p[k];
        out[3 * x] = static_cast<std::uint16_t>(((acc & kLaneMask) + half) >> shift);
        out[3 * x + 1] = static_cast<std::uint16_t>((((acc >> kLane) & kLaneMask) + half) >> shift);
        out[3 * x + 2] = static_cast<std::uint16_t>(((acc >> (2 * kLane)) + half) >> shift);
    }
}

}  // namespace

Image resample(const Image& source, ImageSize target) {
    return resample(source, target, [&](int) { return source.height; });
}

Image resample(const Image& source, ImageSize target, const std::function<int(int)>& rowsReady) {
    Image out;
    if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0 ||
        source.pixels.size() != static_cast<std::size_t>(source.width) * source.height * 3)
        return out;
    if (source.size() == target) {
        if (rowsReady(source.height) < source.height) return out;
        return source;
    }

    const Taps across = makeTaps(source.width, target.width, kAcrossShift);
    const Taps down = makeTaps(source.height, target.height, kDownShift);
    const std::size_t rowValues = static_cast<std::size_t>(target.width) * 3;

    // Horizontally resampled source rows, kept in a ring just big enough for one
    // output row's vertical window; windows only move downwards, so each source
    // row is passed across once, as soon as it is complete.
    const int ringRows = down.maxCount;
    std::vector<std::uint16_t> ring(rowValues * ringRows);
    std::vector<std::uint64_t> packed(static_cast<std::size_t>(source.width));
    std::vector<std::uint32_t> acc(rowValues);
    int nextSourceRow = 0;
    int ready = 0;

    out.width = target.width;
    out.height = target.height;
    out.pixels.resize(rowValues * target.height);

    for (int y = 0; y < target.height; ++y) {
        const int first = down.start[y];
        const int count = down.count[y];
        for (nextSourceRow = std::max(nextSourceRow, first); nextSourceRow < first + count; ++nextSourceRow) {
            if (nextSourceRow >= ready) {
                ready = rowsReady(nextSourceRow + 1);
                if (ready <= nextSourceRow) return Image{};
            }
            horizontalPass(source.row(nextSourceRow), source.width, packed.data(),
                           ring.data() + (nextSourceRow % ringRows) * rowValues, across);
        }

        // 16-bit values with 8 fraction bits times 14-bit weights: at most 65280 * 2^14 < 2^32.
        const std::uint32_t* w = down.weights.data() + down.offset[y];
        std::fill(acc.begin(), acc.end(), 0u);
        for (int k = 0; k < count; ++k) {
            const std::uint16_t* row = ring.data() + ((first + k) % ringRows) * rowValues;
            const std::uint32_t wk = w[k];
            for (std::size_t i = 0; i < rowValues; ++i) acc[i] += wk * row[i];
        }
        std::uint8_t* dst = out.row(y);
        constexpr int shift = kDownShift + kMidBits;
        constexpr std::uint32_t half = 1u << (shift - 1);
        for (std::size_t i = 0; i < rowValues; ++i)
            dst[i] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (acc[i] + half) >> shift));
    }
    return out;
}

}  // namespace ostrel
