#include "imaging/BackgroundDecodes.h"

#include <algorithm>
#include <system_error>

namespace ostrel {

void BackgroundDecodes::request(int place, Decode decode) {
    std::unique_lock lock(mutex_);
    if (stopping_) return;
    const std::uint64_t number = ++requests_;
    wanted_[place] = number;
    std::erase_if(jobs_, [place](const Job& job) { return job.place == place; });
    done_.erase(place);
    jobs_.push_back({place, number, std::move(decode)});
    if (!worker_.joinable()) {
        try {
            worker_ = std::thread([this] { work(); });
        } catch (const std::system_error&) {
            // No thread to be had: decoded here, late rather than never.
            Job job = std::move(jobs_.back());
            jobs_.pop_back();
            lock.unlock();
            finish(job.place, job.number, job.decode());
            return;
        }
    }
    lock.unlock();
    wake_.notify_one();
}

void BackgroundDecodes::drop(int place) {
    std::lock_guard lock(mutex_);
    wanted_[place] = 0;
    std::erase_if(jobs_, [place](const Job& job) { return job.place == place; });
    done_.erase(place);
}

std::vector<BackgroundDecodes::Result> BackgroundDecodes::take() {
    std::lock_guard lock(mutex_);
    std::vector<Result> results;
    for (auto& [place, result] : done_) results.push_back(std::move(result));
    done_.clear();
    return results;
}

void BackgroundDecodes::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_one();
    if (worker_.joinable()) worker_.join();
}

void BackgroundDecodes::work() {
    for (;;) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (stopping_) return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        std::optional<Image> picture;
        try {
            picture = job.decode();
        } catch (...) {
            // A picture that cannot be made is a picture that does not decode.
        }
        finish(job.place, job.number, std::move(picture));
    }
}

void BackgroundDecodes::finish(int place, std::uint64_t number, std::optional<Image> picture) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_ || wanted_[place] != number) return;
        done_[place] = Result{place, std::move(picture)};
    }
    ready_();
}

}  // namespace ostrel
