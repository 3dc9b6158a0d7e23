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
    try {
        worker.thread = std::thread([this, &worker, &stop, request = std::move(request), done] {
            const FetchResult result = fetchUrl(internet_, files_, proxy_, request, stop, &stopping_, &worker.fileOpened);
            if (done) done(result);
            worker.finished.store(true);
        });
    } catch (...) {
        // No thread (out of resources): no worker either, and the waiting
        // side still gets its completion.
        workers_.pop_back();
        lock.unlock();
        if (done) done(FetchResult{});
    }
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

bool FetchWorkers::stopAndJoinFor(std::chrono::milliseconds limit, std::vector<std::string>& openedFiles) {
    stopping_.store(true);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (running() > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::lock_guard lock(mutex_);
    joinFinished();
    for (const Worker& worker : workers_)
        if (worker.fileOpened.load()) openedFiles.push_back(worker.localPath);
    return workers_.empty();
}

std::size_t FetchWorkers::running() const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(
        std::count_if(workers_.begin(), workers_.end(), [](const Worker& w) { return !w.finished.load(); }));
}

}  // namespace ostrel
