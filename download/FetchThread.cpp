#include "download/FetchThread.h"

#include <algorithm>

namespace ostrel {

void FetchWorkers::start(FetchRequest request, const std::atomic<bool>& stop, Done done) {
    std::unique_lock lock(mutex_);
    if (stopping_.load()) {
        lock.unlock();
        // The waiting side relies on a completion in every case.
        if (done) done(FetchResult{});
        return;
    }
    // Finished threads are joined here, so that a long run of transfers does
    // not pile up thread objects until the end.
    joinFinished();
    Worker& worker = workers_.emplace_back();
    worker.localPath = request.localPath;
    worker.thread = std::thread([this, &worker, &stop, request = std::move(request), done = std::move(done)] {
        const FetchResult result = fetchUrl(internet_, files_, proxy_, request, stop, &stopping_);
        if (done) done(result);
        worker.finished.store(true);
    });
}

void FetchWorkers::joinFinished() {
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (it->finished.load()) {
            it->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

void FetchWorkers::stopAndJoin() {
    stopping_.store(true);
    std::list<Worker> workers;
    {
        std::lock_guard lock(mutex_);
        workers.splice(workers.end(), workers_);
    }
    // Joined without the lock: a callback may ask running() meanwhile.
    for (Worker& worker : workers)
        if (worker.thread.joinable()) worker.thread.join();
}

std::vector<std::string> FetchWorkers::stopAndJoinFor(std::chrono::milliseconds limit) {
    stopping_.store(true);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (running() > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::lock_guard lock(mutex_);
    joinFinished();
    std::vector<std::string> unfinished;
    for (const Worker& worker : workers_) unfinished.push_back(worker.localPath);
    return unfinished;
}

std::size_t FetchWorkers::running() const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(
        std::count_if(workers_.begin(), workers_.end(), [](const Worker& w) { return !w.finished.load(); }));
}

}  // namespace ostrel
