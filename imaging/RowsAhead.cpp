#include "imaging/RowsAhead.h"
#include "imaging/KeptThreadJob.h"

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>

namespace ostrel {
namespace {

// Strips of rows in a ring: the maker fills one while the taker empties
// another, and waits only when every strip is still full. One hand-over a
// strip keeps the locking far below the cost of the rows themselves.
constexpr int kStrips = 4;
constexpr int kStripRows = 64;

class StripRing {
public:
    // The strips are left unset: the maker writes every row before it is read.
    explicit StripRing(std::size_t rowBytes)
        : rowBytes_(rowBytes),
          bytes_(std::make_unique_for_overwrite<std::uint8_t[]>(rowBytes * kStrips * kStripRows)) {}

    // The maker's side.
    void put(const std::uint8_t* row) {
        if (filled_ == 0 && !waitForEmptyStrip()) return;
        std::memcpy(stripStart(made_) + static_cast<std::size_t>(filled_) * rowBytes_, row, rowBytes_);
        if (++filled_ == kStripRows) publish();
    }
    void finish(bool ok) {
        if (filled_ > 0) publish();
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
            ok_ = ok;
        }
        changed_.notify_all();
    }

    // The taker's side: every row, in order, until the maker has finished.
    bool takeAll(const RowSink& take) {
        for (;;) {
            int rows;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return taken_ < made_ || finished_; });
                if (taken_ == made_) return ok_;
                rows = rowsIn_[taken_ % kStrips];
            }
            const std::uint8_t* p = stripStart(taken_);
            for (int i = 0; i < rows; ++i, p += rowBytes_) take(p);
            {
                std::lock_guard lock(mutex_);
                ++taken_;
            }
            changed_.notify_all();
        }
    }
    // The taker has left early: the maker's remaining rows go nowhere.
    void abandon() {
        {
            std::lock_guard lock(mutex_);
            abandoned_ = true;
        }
        changed_.notify_all();
    }

private:
    std::uint8_t* stripStart(int strip) {
        return bytes_.get() + static_cast<std::size_t>(strip % kStrips) * kStripRows * rowBytes_;
    }
    bool waitForEmptyStrip() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return made_ - taken_ < kStrips || abandoned_; });
        return !abandoned_;
    }
    void publish() {
        {
            std::lock_guard lock(mutex_);
            rowsIn_[made_ % kStrips] = filled_;
            ++made_;
        }
        filled_ = 0;
        changed_.notify_all();
    }

    const std::size_t rowBytes_;
    std::unique_ptr<std::uint8_t[]> bytes_;
    int filled_ = 0;  // rows in the strip being made; the maker's alone

    // Under mutex_. A condition variable rather than std::atomic::wait, which
    // in the Windows runtime can lose the last wake-up.
    std::mutex mutex_;
    std::condition_variable changed_;
    int made_ = 0;   // strips handed over
    int taken_ = 0;  // strips emptied
    int rowsIn_[kStrips] = {};
    bool finished_ = false, ok_ = false, abandoned_ = false;
};

}  // namespace

bool takeRowsMadeAhead(std::size_t rowBytes, const RowMaker& make, const RowSink& take,
                       const std::function<void()>& meanwhile) {
    StripRing ring(rowBytes);
    auto maker = [&] {
        bool ok = false;
        try {
            ok = make([&](const std::uint8_t* row) { ring.put(row); });
        } catch (...) {  // nothing may leave the thread; the taker hears of a failure
        }
        ring.finish(ok);
    };
    KeptThreadJob making;
    if (!making.start(maker)) {
        if (meanwhile) meanwhile();
        return make(take);
    }
    // Waited for on every way out: a set-up or taker that throws lets the maker
    // run out first.
    struct Wait {
        KeptThreadJob& making;
        StripRing& ring;
        ~Wait() {
            ring.abandon();
            making.wait();
        }
    } wait{making, ring};
    if (meanwhile) meanwhile();
    return ring.takeAll(take);
}

}  // namespace ostrel
