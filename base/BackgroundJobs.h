#pragma once
// Work done on threads of their own, for a window that must go on answering
// while it is done (pictures from the network or a slow disk, the headers of
// a long list). The window asks for the work of one of its places; workers do
// the newest request of each place and then call `ready`, on the worker, for
// the window to post itself a message and collect the results on its own
// thread with take(). A result asked for again or dropped before it is
// collected is never handed out.
//
// A job may block for as long as a network share that is off makes a file's
// opening wait. While every worker is busy a new request gets a worker of its
// own, up to maxWorkers doing wanted work, so that a newer request is never
// stuck behind older ones that block: a worker whose job has been asked for
// again does not count (up to kMostStuckWorkers of them), and its result,
// when it comes, is dropped.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

namespace ostrel {

template <class Value>
class BackgroundJobs {
public:
    // Workers left with a superseded job that may never end, beyond which a
    // new request waits for one of them after all.
    static constexpr int kMostStuckWorkers = 8;

    // Asked by a job as it goes: false once its place has asked for something
    // newer, or the jobs are stopping. It never turns true again, so a job
    // may give up on the spot: its result would be dropped anyway.
    using StillWanted = std::function<bool()>;
    using Job = std::function<Value(const StillWanted&)>;
    struct Result {
        int place = 0;
        Value value{};  // a value-initialised one when the job threw
    };

    explicit BackgroundJobs(std::function<void()> ready, int maxWorkers = 1)
        : state_(std::make_shared<State>(std::move(ready), std::max(maxWorkers, 1))) {}
    // Waits for the jobs in hand: a caller whose jobs may block calls
    // stopWithin first and ends the process when it fails.
    ~BackgroundJobs() { stop(); }
    BackgroundJobs(const BackgroundJobs&) = delete;
    BackgroundJobs& operator=(const BackgroundJobs&) = delete;

    // work runs on a worker, and replaces a request for the place that has
    // not started yet. It is called with a StillWanted, or with nothing.
    template <class Work>
    void request(int place, Work work) {
        if constexpr (std::is_invocable_v<Work&, const StillWanted&>)
            requestJob(place, Job(std::move(work)));
        else
            requestJob(place, Job([work = std::move(work)](const StillWanted&) mutable { return work(); }));
    }

    void requestJob(int place, Job job) {
        State& s = *state_;
        std::unique_lock lock(s.mutex);
        if (s.stopping) return;
        const std::uint64_t number = ++s.requests;
        s.wanted[place] = number;
        std::erase_if(s.queue, [place](const Queued& queued) { return queued.place == place; });
        s.done.erase(place);
        s.queue.push_back({place, number, std::move(job)});
        if (s.idle == 0 && s.workers < s.maxWorkers + std::min(s.superseded(), kMostStuckWorkers)) {
            try {
                std::thread([state = state_] { work(*state); }).detach();
                ++s.workers;
            } catch (const std::system_error&) {
                if (s.workers == 0) {
                    // No thread to be had: done here, late rather than never.
                    Queued queued = std::move(s.queue.back());
                    s.queue.pop_back();
                    lock.unlock();
                    finish(s, queued.place, queued.number, run(s, queued));
                    return;
                }
            }
        }
        lock.unlock();
        s.wake.notify_one();
    }

    // Nothing asked for the place is wanted any more.
    void drop(int place) {
        State& s = *state_;
        std::lock_guard lock(s.mutex);
        s.wanted[place] = 0;
        std::erase_if(s.queue, [place](const Queued& queued) { return queued.place == place; });
        s.done.erase(place);
    }

    // The results finished since the last call: the newest request of each place.
    std::vector<Result> take() {
        State& s = *state_;
        std::lock_guard lock(s.mutex);
        std::vector<Result> results;
        for (auto& [place, result] : s.done) results.push_back(std::move(result));
        s.done.clear();
        return results;
    }

    // Drops what has not started and waits for the jobs in hand; nothing is
    // done or reported afterwards. Called before what `ready` posts to goes.
    void stop() { stopUntil(std::nullopt); }

    // stop() that waits at most limit. False when a job is still running;
    // the caller must then end the process before what the jobs use goes.
    bool stopWithin(std::chrono::milliseconds limit) { return stopUntil(std::chrono::steady_clock::now() + limit); }

private:
    struct Queued {
        int place;
        std::uint64_t number;
        Job job;
    };
    // Shared with the workers, so that one still blocked when this goes
    // finds it when it wakes.
    struct State {
        State(std::function<void()> r, int most) : ready(std::move(r)), maxWorkers(most) {}
        std::function<void()> ready;
        const int maxWorkers;
        std::mutex mutex;
        std::condition_variable wake;   // work to do, or stopping
        std::condition_variable ended;  // a worker has ended
        bool stopping = false;
        int workers = 0;  // running
        int idle = 0;     // of those, waiting for work
        std::uint64_t requests = 0;
        std::map<int, std::uint64_t> wanted;  // place -> number of its newest request, 0 for none
        std::deque<Queued> queue;
        std::map<int, Result> done;
        std::map<std::uint64_t, int> running;  // number -> place of the jobs in hand

        // Jobs in hand whose place has asked for something newer since.
        int superseded() const {
            int count = 0;
            for (const auto& [number, place] : running) {
                const auto wantedNow = wanted.find(place);
                count += wantedNow == wanted.end() || wantedNow->second != number;
            }
            return count;
        }
    };

    bool stopUntil(std::optional<std::chrono::steady_clock::time_point> deadline) {
        State& s = *state_;
        std::unique_lock lock(s.mutex);
        s.stopping = true;
        s.queue.clear();
        s.wake.notify_all();
        const auto allEnded = [&s] { return s.workers == 0; };
        if (!deadline) {
            s.ended.wait(lock, allEnded);
            return true;
        }
        return s.ended.wait_until(lock, *deadline, allEnded);
    }

    static Value run(State& s, Queued& queued) {
        const StillWanted stillWanted = [&s, place = queued.place, number = queued.number] {
            std::lock_guard lock(s.mutex);
            const auto wanted = s.wanted.find(place);
            return !s.stopping && wanted != s.wanted.end() && wanted->second == number;
        };
        try {
            return queued.job(stillWanted);
        } catch (...) {
            return Value{};  // work that cannot be done is work with no result
        }
    }

    static void work(State& s) {
        std::unique_lock lock(s.mutex);
        for (;;) {
            ++s.idle;
            s.wake.wait(lock, [&s] { return s.stopping || !s.queue.empty(); });
            --s.idle;
            if (s.stopping) break;
            Queued queued = std::move(s.queue.front());
            s.queue.pop_front();
            s.running[queued.number] = queued.place;
            lock.unlock();
            finish(s, queued.place, queued.number, run(s, queued));
            lock.lock();
            s.running.erase(queued.number);
            // A worker started beside stuck ones ends once there is nothing to do.
            if (s.workers > s.maxWorkers && s.queue.empty()) break;
        }
        --s.workers;
        s.ended.notify_all();
    }

    static void finish(State& s, int place, std::uint64_t number, Value value) {
        {
            std::lock_guard lock(s.mutex);
            if (s.stopping || s.wanted[place] != number) return;
            s.done[place] = Result{place, std::move(value)};
        }
        s.ready();
    }

    std::shared_ptr<State> state_;
};

}  // namespace ostrel
