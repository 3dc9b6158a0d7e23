#pragma once
// Transfers on worker threads, each handing its result to a callback (the
// window that started it posts itself a message from there).
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "download/Fetch.h"

namespace ostrel {

// How often a running transfer's stop conditions, deadline and rate are looked at.
inline constexpr std::chrono::milliseconds kFetchWatchInterval{50};

// Owns the workers it starts: none outlives it. Construct it after (declare
// it below) everything it and its callers' stop flags refer to, so that it is
// destroyed first.
//
// A call blocked in the network cannot be cut short: WinInet under Wine goes
// on with a read, or with the headers of an answer, when another thread
// closes its handle. So a transfer is let go instead: once its stop flag is
// set, or it is past its deadline or slower than the minimum rate, its result
// (Stopped or TimedOut) is reported at once, and its worker, when its call
// returns, keeps nothing and reports nothing more.
class FetchWorkers {
public:
    using Done = std::function<void(const FetchResult&)>;

    FetchWorkers(Internet& internet, FileSystem& files, const ProxySettings& proxy);
    ~FetchWorkers();
    FetchWorkers(const FetchWorkers&) = delete;
    FetchWorkers& operator=(const FetchWorkers&) = delete;

    // Starts one transfer. stop is the caller's own stop condition (the
    // browser's closing flag, the main window's stopDownload) and must live
    // until the worker has ended. done runs once, on a thread of these
    // workers, whatever the outcome. After stopAndJoin() nothing starts:
    // done gets SessionFailed at once, on the calling thread.
    void start(FetchRequest request, const std::atomic<bool>& stop, Done done);

    // Stops every transfer (each reports Stopped at once) and waits for the
    // workers to end, each within the receive timeout of its blocked call.
    void stopAndJoin();

    // The same, waiting at most limit. False when some are still running:
    // those workers are left running, so the caller must end the process
    // rather than destroy what they use. temporaryFiles gets the files they
    // are writing, for the caller to delete.
    bool stopAndJoinFor(std::chrono::milliseconds limit, std::vector<std::string>& temporaryFiles);

    // Workers started and not yet ended (also those already let go).
    std::size_t running() const;

private:
    struct Worker;
    void joinFinished();  // with mutex_ held
    void watch();         // the watcher thread

    Internet& internet_;
    FileSystem& files_;
    const ProxySettings& proxy_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool watcherEnds_ = false;
    std::list<std::unique_ptr<Worker>> workers_;
    std::thread watcher_;
};

}  // namespace ostrel
