#include "changer/Resample.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace ostrel {
namespace {

// Weights are fixed point with 14 fraction bits and sum to exactly kOne for
// every output pixel, so a uniform colour stays exactly uniform.
constexpr int kShift = 14;
constexpr std::int32_t kOne = 1 << kShift;
// The horizontal pass keeps 8 fraction bits for the vertical pass.
constexpr int kMidShift = kShift - 8;

// For every output position along one axis: which source pixels it reads and with what weight.
struct Taps {
    std::vector<int> start;
    std::vector<int> count;
    std::vector<int> offset;
    std::vector<std::int32_t> weights;
    int maxCount = 1;
};

// Output pixel i covers source interval [i*src/dst, (i+1)*src/dst); each source
// pixel weighs in with the part of it that is covered. Positions are kept in
// units of 1/dst source pixel, so the overlaps are exact integers.
void addAreaTaps(Taps& t, int src, int dst) {
    for (int i = 0; i < dst; ++i) {
        const std::int64_t lo = static_cast<std::int64_t>(i) * src;
        const std::int64_t hi = lo + src;
        const int first = static_cast<int>(lo / dst);
        const int last = static_cast<int>((hi - 1) / dst);
        t.start.push_back(first);
        t.count.push_back(last - first + 1);
        t.offset.push_back(static_cast<int>(t.weights.size()));
        const std::size_t base = t.weights.size();
        std::int32_t sum = 0;
        for (int j = first; j <= last; ++j) {
            std::int64_t overlap = std::min(hi, static_cast<std::int64_t>(j + 1) * dst) -
                                   std::max(lo, static_cast<std::int64_t>(j) * dst);
            auto w = static_cast<std::int32_t>((overlap * kOne + src / 2) / src);
            t.weights.push_back(w);
            sum += w;
        }
        // The rounding remainder goes to the heaviest tap.
        *std::max_element(t.weights.begin() + static_cast<std::ptrdiff_t>(base), t.weights.end()) += kOne - sum;
        t.maxCount = std::max(t.maxCount, last - first + 1);
    }
}

// Bilinear with pixel centres aligned: output i samples source position
// (i + 0.5) * src/dst - 0.5, clamped to the picture.
void addBilinearTaps(Taps& t, int src, int dst) {
    const std::int64_t den = 2 * static_cast<std::int64_t>(dst);
    for (int i = 0; i < dst; ++i) {
        const std::int64_t num = (2 * static_cast<std::int64_t>(i) + 1) * src - dst;
        int first = 0;
        std::int32_t upper = 0;
        if (num > 0) {
            first = static_cast<int>(num / den);
            upper = static_cast<std::int32_t>((num % den * kOne + den / 2) / den);
        }
        if (first >= src - 1) {
            first = src - 1;
            upper = 0;
        }
        t.start.push_back(first);
        t.offset.push_back(static_cast<int>(t.weights.size()));
        t.weights.push_back(kOne - upper);
        if (upper > 0) {
            t.weights.push_back(upper);
            t.count.push_back(2);
            t.maxCount = 2;
        } else {
            t.count.push_back(1);
        }
    }
}

Taps makeTaps(int src, int dst) {
    Taps t;
    t.start.reserve(dst);
    t.count.reserve(dst);
    t.offset.reserve(dst);
    if (dst < src)
        addAreaTaps(t, src, dst);
    else
        addBilinearTaps(t, src, dst);  // equal sizes give one tap of weight one
    return t;
}

void horizontalPass(const std::uint8_t* src, std::uint16_t* out, const Taps& t) {
    const int n = static_cast<int>(t.start.size());
    for (int x = 0; x < n; ++x) {
        const std::uint8_t* p = src + 3 * t.start[x];
        const std::int32_t* w = t.weights.data() + t.offset[x];
        std::uint32_t b = 0, g = 0, r = 0;
        for (int k = 0, c = t.count[x]; k < c; ++k, p += 3) {
            const auto wk = static_cast<std::uint32_t>(w[k]);
            b += wk * p[0];
            g += wk * p[1];
            r += wk * p[2];
        }
        constexpr std::uint32_t half = 1u << (kMidShift - 1);
        out[3 * x] = static_cast<std::uint16_t>((b + half) >> kMidShift);
        out[3 * x + 1] = static_cast<std::uint16_t>((g + half) >> kMidShift);
        out[3 * x + 2] = static_cast<std::uint16_t>((r + half) >> kMidShift);
    }
}

}  // namespace

Image resample(const Image& source, ImageSize target) {
    Image out;
    if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0 ||
        source.pixels.size() != static_cast<std::size_t>(source.width) * source.height * 3)
        return out;
    if (source.size() == target) return source;

    const Taps across = makeTaps(source.width, target.width);
    const Taps down = makeTaps(source.height, target.height);
    const std::size_t rowValues = static_cast<std::size_t>(target.width) * 3;

    // Horizontally resampled source rows, kept in a ring just big enough for one
    // output row's vertical window; windows only move downwards.
    const int ringRows = down.maxCount;
    std::vector<std::uint16_t> ring(rowValues * ringRows);
    std::vector<std::uint32_t> acc(rowValues);
    int nextSourceRow = 0;

    out.width = target.width;
    out.height = target.height;
    out.pixels.resize(rowValues * target.height);

    for (int y = 0; y < target.height; ++y) {
        const int first = down.start[y];
        const int count = down.count[y];
        for (; nextSourceRow < first + count; ++nextSourceRow) {
            if (nextSourceRow < first) continue;  // a window skipped it entirely
            horizontalPass(source.row(nextSourceRow), ring.data() + (nextSourceRow % ringRows) * rowValues,
                           across);
        }
        const std::int32_t* w = down.weights.data() + down.offset[y];
        std::fill(acc.begin(), acc.end(), 0u);
        for (int k = 0; k < count; ++k) {
            const std::uint16_t* row = ring.data() + ((first + k) % ringRows) * rowValues;
            const auto wk = static_cast<std::uint32_t>(w[k]);
            for (std::size_t i = 0; i < rowValues; ++i) acc[i] += wk * row[i];
        }
        std::uint8_t* dst = out.row(y);
        constexpr int shift = kShift + 8;
        constexpr std::uint32_t half = 1u << (shift - 1);
        for (std::size_t i = 0; i < rowValues; ++i)
            dst[i] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (acc[i] + half) >> shift));
    }
    return out;
}

}  // namespace ostrel
