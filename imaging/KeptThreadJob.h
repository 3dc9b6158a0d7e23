#pragma once
// A job run on a second thread while the caller goes on, for work split in
// two for speed. The thread is kept for such jobs, one at a time, from the
// first to the end of the program: under Wine starting a thread costs the
// caller more than a millisecond each time. Between jobs it sleeps, so that
// it costs an idle program no wake-ups.
#include <cstdint>
#include <functional>

namespace ostrel {

class KeptThreadJob {
public:
    KeptThreadJob() = default;
    // Waits for the job.
    ~KeptThreadJob() { wait(); }
    KeptThreadJob(const KeptThreadJob&) = delete;
    KeptThreadJob& operator=(const KeptThreadJob&) = delete;

    // Starts job, which must not throw, on the kept thread. False when that
    // thread is busy with another caller's job or cannot be made: the job has
    // not run then, and the caller does the work alone.
    [[nodiscard]] bool start(std::function<void()> job);
    // Returns once the job has returned; at once when none was started.
    void wait();

private:
    std::uint64_t number_ = 0;  // the job's number on the kept thread; 0: none
};

}  // namespace ostrel
