#pragma once
// A job run on a second thread while the caller goes on, for work split in
// two for speed. One such thread is kept between jobs: under Wine starting a
// thread costs the caller more than a millisecond each time. It sleeps when
// no job is given, so that it costs an idle program no wake-ups.
#include <cstdint>
#include <functional>
#include <thread>

namespace ostrel {

class SecondThread {
public:
    SecondThread() = default;
    // Waits for the job.
    ~SecondThread() { wait(); }
    SecondThread(const SecondThread&) = delete;
    SecondThread& operator=(const SecondThread&) = delete;

    // Starts job, which must not throw: on the kept thread, or on a thread of
    // its own while the kept one serves another caller. False when no thread
    // can be had; the job has not run then.
    [[nodiscard]] bool start(std::function<void()> job);
    // Returns once the job has returned; at once when none was started.
    void wait();

private:
    std::uint64_t kept_ = 0;  // the kept thread's number for the job; 0: not there
    std::thread own_;
};

}  // namespace ostrel
