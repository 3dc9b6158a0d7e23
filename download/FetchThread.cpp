#include "download/FetchThread.h"

#include <algorithm>
#include <utility>

namespace ostrel {

// One transfer and its worker. Its state changes under the owner's mutex, so
// that exactly one result goes out: the worker's own, or the one it was let
// go with.
struct FetchWorkers::Worker final : FetchWatch {
    enum class State { Running, Keeping, Reported };

    Worker(FetchWorkers& owner, FetchRequest request, const std::atomic<bool>& stop, Done done)
        : owner(owner),
          request(std::move(request)),
          stop(stop),
          done(std::move(done)),
          pace(this->request, TransferPace::Clock::now()) {}

    bool stopRequested() override { return state != State::Running || stop.load() || owner.stopping_.load(); }
    void received(std::uint64_t total) override { bytes = total; }
    void temporaryFile(const std::string& path) override {
        std::lock_guard lock(owner.mutex_);
        if (!path.empty()) created = true;
        temporaryPath = path;
    }
    bool mayKeep() override {
        std::lock_guard lock(owner.mutex_);
        if (stopRequested()) return false;
        state = State::Keeping;  // too late to let it go: its body is whole
        return true;
    }
    // With the owner's mutex held: lets the transfer go with outcome, unless
    // its result has gone out or is on its way.
    bool letGo(FetchOutcome outcome, std::vector<std::pair<Done, FetchResult>>& reports) {
        if (state != State::Running) return false;
        state = State::Reported;
        reports.emplace_back(done, FetchResult{outcome, created ? 1 + bytes.load() : 0});
        return true;
    }

    FetchWorkers& owner;
    const FetchRequest request;
    const std::atomic<bool>& stop;
    const Done done;
    TransferPace pace;  // the watcher's
    std::atomic<State> state{State::Running};
    std::atomic<std::uint64_t> bytes{0};
    bool created = false;
    std::string temporaryPath;
    std::thread thread;
    std::atomic<bool> finished{false};
};

namespace {

void deliver(std::vector<std::pair<FetchWorkers::Done, FetchResult>>& reports) {
    for (auto& [done, result] : reports)
        if (done) done(result);
}

}  // namespace

FetchWorkers::FetchWorkers(Internet& internet, FileSystem& files, const ProxySettings& proxy)
    : internet_(internet), files_(files), proxy_(proxy) {}

FetchWorkers::~FetchWorkers() {
    stopAndJoin();
    {
        std::lock_guard lock(mutex_);
        watcherEnds_ = true;
    }
    wake_.notify_all();
    if (watcher_.joinable()) watcher_.join();
}

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
    Worker& worker = *workers_.emplace_back(std::make_unique<Worker>(*this, std::move(request), stop, done));
    try {
        if (!watcher_.joinable()) watcher_ = std::thread([this] { watch(); });
        worker.thread = std::thread([this, &worker] {
            const FetchResult result = fetchUrl(internet_, files_, proxy_, worker.request, worker);
            Done done;
            {
                std::lock_guard lock(mutex_);
                if (worker.state != Worker::State::Reported) done = worker.done;
                worker.state = Worker::State::Reported;
            }
            if (done) done(result);
            worker.finished.store(true);
        });
    } catch (...) {
        // No thread (out of resources): no worker either, and the waiting
        // side still gets its completion.
        workers_.pop_back();
        lock.unlock();
        if (done) done(FetchResult{});
        return;
    }
    lock.unlock();
    wake_.notify_all();
}

void FetchWorkers::watch() {
    std::unique_lock lock(mutex_);
    while (!watcherEnds_) {
        const bool watching = std::any_of(workers_.begin(), workers_.end(),
                                          [](const auto& w) { return w->state == Worker::State::Running; });
        // Asleep while nothing runs.
        if (watching)
            wake_.wait_for(lock, kFetchWatchInterval);
        else
            wake_.wait(lock);
        const auto now = TransferPace::Clock::now();
        std::vector<std::pair<Done, FetchResult>> reports;
        for (const auto& w : workers_) {
            if (w->state != Worker::State::Running) continue;
            if (w->stop.load() || stopping_.load())
                w->letGo(FetchOutcome::Stopped, reports);
            else if (!w->pace.onTime(now, w->bytes.load()))
                w->letGo(FetchOutcome::TimedOut, reports);
        }
        if (reports.empty()) continue;
        lock.unlock();
        deliver(reports);
        lock.lock();
    }
}

void FetchWorkers::joinFinished() {
    for (auto it = workers_.begin(); it != workers_.end();) {
        if ((*it)->finished.load()) {
            (*it)->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

void FetchWorkers::stopAndJoin() {
    std::vector<std::string> ignored;
    stopAndJoinFor(std::chrono::milliseconds::max(), ignored);
}

bool FetchWorkers::stopAndJoinFor(std::chrono::milliseconds limit, std::vector<std::string>& temporaryFiles) {
    stopping_.store(true);
    std::vector<std::pair<Done, FetchResult>> reports;
    {
        std::lock_guard lock(mutex_);
        for (const auto& w : workers_) w->letGo(FetchOutcome::Stopped, reports);
    }
    deliver(reports);
    const auto started = std::chrono::steady_clock::now();
    const auto waited = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    };
    while (running() > 0 && waited() < limit) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::lock_guard lock(mutex_);
    joinFinished();
    for (const auto& w : workers_)
        if (!w->temporaryPath.empty()) temporaryFiles.push_back(w->temporaryPath);
    return workers_.empty();
}

std::size_t FetchWorkers::running() const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(
        std::count_if(workers_.begin(), workers_.end(), [](const auto& w) { return !w->finished.load(); }));
}

}  // namespace ostrel
