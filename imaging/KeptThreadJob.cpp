#include "imaging/KeptThreadJob.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace ostrel {
namespace {

// The thread, made at its first job and ended when the program ends.
class KeptThread {
public:
    static KeptThread& instance() {
        static KeptThread kept;
        return kept;
    }

    // Ends the sleeping thread; the program's jobs have all been waited for.
    ~KeptThread() {
        {
            std::lock_guard lock(mutex_);
            ending_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

    // The job's number, or 0 when the thread is busy or cannot be made.
    std::uint64_t start(std::function<void()> job) {
        std::lock_guard lock(mutex_);
        if (finished_ < started_ || ending_) return 0;
        if (!thread_.joinable()) {
            try {
                thread_ = std::thread([this] { serve(); });
            } catch (const std::system_error&) {
                return 0;
            }
        }
        job_ = std::move(job);
        ++started_;
        changed_.notify_all();
        return started_;
    }

    void wait(std::uint64_t number) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return finished_ >= number; });
    }

private:
    KeptThread() = default;

    void serve() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [&] { return finished_ < started_ || ending_; });
            if (finished_ == started_) return;  // ending, with no job waiting
            std::function<void()> job = std::move(job_);
            lock.unlock();
            job();
            job = nullptr;  // what the job holds goes before its caller hears it is done
            lock.lock();
            ++finished_;
            changed_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;
    std::uint64_t started_ = 0, finished_ = 0;
    bool ending_ = false;
    std::thread thread_;
};

}  // namespace

bool KeptThreadJob::start(std::function<void()> job) {
    wait();
    number_ = KeptThread::instance().start(std::move(job));
    return number_ != 0;
}

void KeptThreadJob::wait() {
    if (number_ == 0) return;
    KeptThread::instance().wait(number_);
    number_ = 0;
}

}  // namespace ostrel
