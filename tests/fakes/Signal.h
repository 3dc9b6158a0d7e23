#pragma once
// Meeting points between a test and the threads it starts: a count that a
// test waits for, and a gate that holds a thread until the test opens it.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace ostrel::testing {

class Signal {
public:
    void raise() {
        std::lock_guard lock(mutex_);
        ++count_;
        changed_.notify_all();
    }
    // Whether the count reached count within the limit.
    bool waitFor(int count, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return count_ >= count; });
    }
    int count() {
        std::lock_guard lock(mutex_);
        return count_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int count_ = 0;
};

// Holds a thread in pass() until opened, as a silent or trickling server
// holds a transfer in a network call.
struct Gate {
    Signal entered, opened;
    void pass() {
        entered.raise();
        opened.waitFor(1, std::chrono::minutes(1));
    }
};

}  // namespace ostrel::testing
