#pragma once
// Starting transfers from the interface thread: each runs on a worker of its
// own, and its result comes back on the interface thread.
#include <atomic>
#include <chrono>
#include <functional>

#include "download/Fetch.h"

namespace ostrel {

// How long stopped transfers are given to end when the program must go on
// (deleting its folder, ending): a transfer whose server has gone silent is
// not waited for beyond a moment.
inline constexpr std::chrono::milliseconds kTransfersEndWait{3000};

class FetchPort {
public:
    using Done = std::function<void(const FetchResult&)>;
    virtual ~FetchPort() = default;
    // stop is the starter's stop condition: once it is set the transfer ends
    // at once, keeping nothing; it lives as long as the starter. done runs
    // once, on the interface thread, unless the program ends first.
    virtual void startFetch(FetchRequest request, const std::atomic<bool>& stop, Done done) = 0;
    // At the end: every transfer stops, and none starts any
    // more; waits at most limit. False when some are still running.
    virtual bool stopAll(std::chrono::milliseconds limit) = 0;
};

}  // namespace ostrel
