#pragma once
// Pictures decoded on a thread of their own, for a window that must go on
// answering while they are made (the download browser's previews come from
// the network and may be anything). The window asks for the picture of one
// of its places; the worker decodes the newest request of each place in
// turn and then calls `ready`, on the worker, for the window to post itself a
// message and collect the results on its own thread with take(). A result
// asked for again or dropped before it is collected is never handed out.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "imaging/Image.h"

namespace ostrel {

class BackgroundDecodes {
public:
    using Decode = std::function<std::optional<Image>()>;
    struct Result {
        int place = 0;
        std::optional<Image> picture;  // nullopt: it could not be decoded
    };

    explicit BackgroundDecodes(std::function<void()> ready) : ready_(std::move(ready)) {}
    ~BackgroundDecodes() { stop(); }
    BackgroundDecodes(const BackgroundDecodes&) = delete;
    BackgroundDecodes& operator=(const BackgroundDecodes&) = delete;

    // decode runs on the worker, and replaces a request for the place that
    // has not started yet.
    void request(int place, Decode decode);
    // Nothing asked for the place is wanted any more.
    void drop(int place);
    // The results finished since the last call: the newest request of each place.
    std::vector<Result> take();
    // Waits for the decode in hand and drops the rest; nothing is decoded or
    // reported afterwards. Called before what `ready` posts to goes.
    void stop();

private:
    struct Job {
        int place;
        std::uint64_t number;
        Decode decode;
    };
    void work();
    void finish(int place, std::uint64_t number, std::optional<Image> picture);

    std::function<void()> ready_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::uint64_t requests_ = 0;
    std::map<int, std::uint64_t> wanted_;  // place -> number of its newest request, 0 for none
    std::deque<Job> jobs_;
    std::map<int, Result> done_;
    std::thread worker_;  // started by the first request
};

}  // namespace ostrel
