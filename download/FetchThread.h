#pragma once
// Transfers on worker threads, each handing its result to a callback on its
// own thread (the window that started it posts itself a message from there).
#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "download/Fetch.h"

namespace ostrel {

// Owns the workers it starts: none outlives it. Construct it after (declare
// it below) everything it and its callers' stop flags refer to, so that it is
// destroyed first.
class FetchWorkers {
public:
    using Done = std::function<void(const FetchResult&)>;

    FetchWorkers(Internet& internet, FileSystem& files, const ProxySettings& proxy)
        : internet_(internet), files_(files), proxy_(proxy) {}
    ~FetchWorkers() { stopAndJoin(); }
    FetchWorkers(const FetchWorkers&) = delete;
    FetchWorkers& operator=(const FetchWorkers&) = delete;

    // Starts one transfer. stop is the caller's own stop condition (the
    // browser's closing flag, the main window's stopDownload) and must live
    // until the worker has ended. done runs on the worker, once, whatever the
    // outcome. After stopAndJoin() nothing starts: done gets SessionFailed
    // at once, on the calling thread.
    void start(FetchRequest request, const std::atomic<bool>& stop, Done done);

    // Makes every running transfer end after the block in hand and waits for
    // them all. A block that is waited for ends within the request's receive
    // timeout (30 s unless set lower), which bounds this wait.
    void stopAndJoin();

    // The same, waiting at most limit: a transfer whose server has gone
    // silent would hold the wait for its whole receive timeout. False when
    // some are still running: those workers are left running, so the caller
    // must end the process rather than destroy what they use. openedFiles
    // gets the local files of those that have created theirs (one still
    // connecting has not touched an earlier copy).
    bool stopAndJoinFor(std::chrono::milliseconds limit, std::vector<std::string>& openedFiles);

    // Workers started and not yet finished.
    std::size_t running() const;

private:
    struct Worker {
        std::string localPath;
        std::atomic<bool> fileOpened{false};  // its file was created (or truncated)
        std::thread thread;
        std::atomic<bool> finished{false};
    };
    void joinFinished();  // with mutex_ held

    Internet& internet_;
    FileSystem& files_;
    const ProxySettings& proxy_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::list<Worker> workers_;
};

}  // namespace ostrel
