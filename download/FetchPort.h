#pragma once
// Starting transfers from the interface thread: each runs on a worker of its
// own, and its result comes back on the interface thread.
#include <atomic>
#include <functional>

#include "download/Fetch.h"

namespace ostrel {

class FetchPort {
public:
    using Done = std::function<void(const FetchResult&)>;
    virtual ~FetchPort() = default;
    // stop is the starter's stop condition, read after every block; it lives
    // as long as the starter. done runs once, on the interface thread, unless
    // the program ends first.
    virtual void startFetch(FetchRequest request, const std::atomic<bool>& stop, Done done) = 0;
};

}  // namespace ostrel
