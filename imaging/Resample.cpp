#include "imaging/Resample.h"

#include <algorithm>
#include <utility>
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

// For every output position along one axis: which source pixels it reads
// (count of them from start on) and with what weight. The weights of output i
// begin at i * width, width being the largest count, and are zero past its own.
struct Taps {
    std::vector<int> start;
    std::vector<int> count;
    std::vector<std::uint32_t> weights;
    int width = 1;

    // Output positions run from 0 to the output's size - 1.
    int firstOf(int i) const { return start[static_cast<std::size_t>(i)]; }
    int countOf(int i) const { return count[static_cast<std::size_t>(i)]; }
    const std::uint32_t* weightsOf(int i) const {
        return weights.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(width);
    }
};

// Output pixel i covers source interval [i*src/dst, (i+1)*src/dst); each source
// pixel weighs in with the part of it that is covered. Positions are kept in
// units of 1/dst source pixel, so the overlaps are exact integers.
void addAreaTaps(Taps& t, int src, int dst, std::int64_t one, std::vector<std::vector<std::uint32_t>>& w) {
    for (int i = 0; i < dst; ++i) {
        const std::int64_t lo = static_cast<std::int64_t>(i) * src;
        const std::int64_t hi = lo + src;
        const int first = static_cast<int>(lo / dst);
        const int last = static_cast<int>((hi - 1) / dst);
        t.start.push_back(first);
        t.count.push_back(last - first + 1);
        std::vector<std::uint32_t>& mine = w.emplace_back();
        std::vector<std::pair<std::int64_t, std::size_t>> leftover;  // what each floor dropped
        std::int64_t sum = 0;
        for (int j = first; j <= last; ++j) {
            std::int64_t overlap =
                std::min(hi, static_cast<std::int64_t>(j + 1) * dst) - std::max(lo, static_cast<std::int64_t>(j) * dst);
            const std::int64_t weight = overlap * one / src;
            leftover.emplace_back(overlap * one % src, mine.size());
            mine.push_back(static_cast<std::uint32_t>(weight));
            sum += weight;
        }
        // The floors fall short of `one` by less than one unit a tap: the
        // taps that lost most get one unit each. No weight can go negative or
        // the sum past `one`, however many source pixels an output covers.
        std::int64_t shortfall = one - sum;
        std::stable_sort(leftover.begin(), leftover.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        for (std::size_t k = 0; shortfall > 0; ++k, --shortfall) ++mine[leftover[k].second];
        t.width = std::max(t.width, last - first + 1);
    }
}

// Bilinear with pixel centres aligned: output i samples source position
// (i + 0.5) * src/dst - 0.5, clamped to the picture.
void addBilinearTaps(Taps& t, int src, int dst, std::int64_t one, std::vector<std::vector<std::uint32_t>>& w) {
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
        std::vector<std::uint32_t>& mine = w.emplace_back(1, static_cast<std::uint32_t>(one - upper));
        if (upper > 0) {
            mine.push_back(static_cast<std::uint32_t>(upper));
            t.width = 2;
        }
        t.count.push_back(static_cast<int>(mine.size()));
    }
}

Taps makeTaps(int src, int dst, int shift) {
    const auto outputs = static_cast<std::size_t>(dst);
    Taps t;
    t.start.reserve(outputs);
    t.count.reserve(outputs);
    std::vector<std::vector<std::uint32_t>> w;
    w.reserve(outputs);
    if (dst < src)
        addAreaTaps(t, src, dst, std::int64_t{1} << shift, w);
    else
        addBilinearTaps(t, src, dst, std::int64_t{1} << shift, w);  // equal sizes give one tap of weight one
    const auto width = static_cast<std::size_t>(t.width);
    t.weights.assign(outputs * width, 0);
    for (std::size_t i = 0; i < outputs; ++i) std::copy(w[i].begin(), w[i].end(), t.weights.data() + i * width);
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

// Every output runs `Width` taps, zero weights making up for those that need
// fewer: a loop the compiler unrolls, with no branch per pixel that the
// processor would mispredict. Width 0 takes it from the taps.
template <int Width>
void acrossRow(const std::uint64_t* packed, std::uint16_t* out, const Taps& t) {
    const int n = static_cast<int>(t.start.size());
    const int width = Width > 0 ? Width : t.width;
    const int* start = t.start.data();
    constexpr int shift = kAcrossShift - kMidBits;
    constexpr std::uint64_t half = std::uint64_t{1} << (shift - 1);
    const std::uint32_t* w = t.weights.data();
    for (int x = 0; x < n; ++x, w += width) {
        const std::uint64_t* p = packed + start[x];
        std::uint64_t acc = 0;
        for (int k = 0; k < width; ++k) acc += w[k] * p[k];
        out[3 * x] = static_cast<std::uint16_t>(((acc & kLaneMask) + half) >> shift);
        out[3 * x + 1] = static_cast<std::uint16_t>((((acc >> kLane) & kLaneMask) + half) >> shift);
        out[3 * x + 2] = static_cast<std::uint16_t>(((acc >> (2 * kLane)) + half) >> shift);
    }
}

}  // namespace

class RowResampler::Impl {
public:
    Impl(ImageSize source, ImageSize target, RowOut rowOut)
        : source_(source), target_(target), rowOut_(std::move(rowOut)) {
        if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0) {
            target_ = {};
            return;
        }
        across_ = makeTaps(source.width, target.width, kAcrossShift);
        down_ = makeTaps(source.height, target.height, kDownShift);
        // At most 2^14 each: as 16-bit numbers, the vertical pass is a widening
        // 16 x 16-bit multiply, which SSE2 does eight lanes at a time.
        downWeights_.assign(down_.weights.begin(), down_.weights.end());
        rowValues_ = static_cast<std::size_t>(target.width) * 3;
        // Horizontally resampled source rows, kept in a ring just big enough for
        // one output row's vertical window; windows only move downwards.
        ringRows_ = down_.width;
        ring_.resize(rowValues_ * static_cast<std::size_t>(ringRows_));
        // The zero-weight taps past the last pixel read these zeros.
        packed_.assign(static_cast<std::size_t>(source.width) + static_cast<std::size_t>(across_.width), 0);
        acc_.resize(rowValues_);
        if (rowOut_) {
            outRow_.resize(rowValues_);
            return;
        }
        out_.width = target.width;
        out_.height = target.height;
        out_.pixels.resize(rowValues_ * static_cast<std::size_t>(target.height));
    }

    void push(const std::uint8_t* row) {
        if (target_.height == 0 || pushed_ >= source_.height) return;
        const int r = pushed_++;
        // Every source row lies in some output row's window; the test only
        // guards against rows once every output row is made.
        if (nextOut_ < target_.height && r >= down_.firstOf(nextOut_)) {
            std::uint64_t* packed = packed_.data();
            for (int x = 0, n = source_.width; x < n; ++x) packed[x] = packPixel(row + 3 * x);
            std::uint16_t* into = ring_.data() + static_cast<std::size_t>(r % ringRows_) * rowValues_;
            switch (across_.width) {
            case 1: acrossRow<1>(packed, into, across_); break;
            case 2: acrossRow<2>(packed, into, across_); break;
            case 3: acrossRow<3>(packed, into, across_); break;
            default: acrossRow<0>(packed, into, across_); break;
            }
        }
        while (nextOut_ < target_.height && down_.firstOf(nextOut_) + down_.countOf(nextOut_) <= pushed_)
            down(nextOut_++);
    }

    bool done() const { return target_.height > 0 && nextOut_ == target_.height; }

    Image take() {
        if (rowOut_ || !done()) return {};
        target_ = {};
        return std::move(out_);
    }

private:
    // Output row y from the ring. 16-bit values with 8 fraction bits times
    // 14-bit weights: at most 65280 * 2^14 < 2^32.
    void down(int y) {
        // Locals throughout: the byte stores below could alias any member.
        const std::size_t n = rowValues_;
        const int first = down_.firstOf(y);
        const int count = down_.countOf(y);
        const std::uint16_t* w =
            downWeights_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(down_.width);
        const std::uint16_t* ring = ring_.data();
        const int ringRows = ringRows_;
        auto ringRow = [&](int k) { return ring + static_cast<std::size_t>((first + k) % ringRows) * n; };
        std::uint32_t* acc = acc_.data();
        const std::uint16_t* row0 = ringRow(0);
        const std::uint16_t w0 = w[0];
        for (std::size_t i = 0; i < n; ++i) acc[i] = std::uint32_t{w0} * row0[i];
        for (int k = 1; k < count; ++k) {
            const std::uint16_t* row = ringRow(k);
            const std::uint16_t wk = w[k];
            for (std::size_t i = 0; i < n; ++i) acc[i] += std::uint32_t{wk} * row[i];
        }
        std::uint8_t* dst = rowOut_ ? outRow_.data() : out_.row(y);
        constexpr int shift = kDownShift + kMidBits;
        constexpr std::uint32_t half = 1u << (shift - 1);
        for (std::size_t i = 0; i < n; ++i)
            dst[i] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (acc[i] + half) >> shift));
        if (rowOut_) rowOut_(dst);
    }

    ImageSize source_, target_;
    Taps across_, down_;
    std::vector<std::uint16_t> downWeights_;
    std::size_t rowValues_ = 0;
    int ringRows_ = 1;
    std::vector<std::uint16_t> ring_;
    std::vector<std::uint64_t> packed_;
    std::vector<std::uint32_t> acc_;
    RowOut rowOut_;
    std::vector<std::uint8_t> outRow_;  // the row handed to rowOut_
    Image out_;
    int pushed_ = 0;   // source rows in
    int nextOut_ = 0;  // output rows made
};

RowResampler::RowResampler(ImageSize source, ImageSize target, RowOut rowOut)
    : d_(std::make_unique<Impl>(source, target, std::move(rowOut))) {}
RowResampler::~RowResampler() = default;
void RowResampler::push(const std::uint8_t* row) { d_->push(row); }
Image RowResampler::take() { return d_->take(); }
bool RowResampler::done() const { return d_->done(); }

Image resample(const Image& source, ImageSize target) {
    if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0 ||
        source.pixels.size() != static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height) * 3)
        return {};
    if (source.size() == target) return source;
    RowResampler resampler(source.size(), target);
    for (int y = 0; y < source.height; ++y) resampler.push(source.row(y));
    return resampler.take();
}

}  // namespace ostrel
