#pragma once
// A catalogue server in memory: the answer's status and announced length,
// the body as blocks, and hooks to hold a transfer in its headers or in a
// read, as a slow or hostile server would.
#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Internet.h"

namespace ostrel::testing {

struct FakeInternet final : Internet {
    bool sessionFails = false, urlFails = false;
    bool endless = false;  // the blocks again and again
    unsigned status = 200;
    std::vector<std::string> blocks;
    std::optional<std::uint64_t> length;      // the announced length; serve() sets the blocks' own
    std::optional<std::size_t> failAt;        // the read of this block fails
    std::function<void()> onOpen;             // while the answer's headers come
    std::function<void(std::size_t)> onRead;  // before the read of each block

    std::atomic<std::size_t> largest{0};
    std::mutex mutex;
    std::vector<SessionOptions> opened;
    std::vector<std::string> log;

    // Answers 200 with these blocks, announcing their length.
    void serve(std::vector<std::string> body) {
        blocks = std::move(body);
        std::uint64_t total = 0;
        for (const std::string& b : blocks) total += b.size();
        length = total;
    }
    std::vector<SessionOptions> sessions() {
        std::lock_guard lock(mutex);
        return opened;
    }
    void note(std::string event) {
        std::lock_guard lock(mutex);
        log.push_back(std::move(event));
    }

    struct Request final : InternetRequest {
        FakeInternet& net;
        std::size_t next = 0;
        explicit Request(FakeInternet& net) : net(net) {}
        ~Request() override { net.note("request closed"); }
        unsigned httpStatus() const override { return net.status; }
        std::optional<std::uint64_t> contentLength() const override { return net.length; }
        std::optional<std::size_t> read(void* buffer, std::size_t n) override {
            net.largest = std::max(net.largest.load(), n);
            if (net.onRead) net.onRead(next);
            if (net.failAt == next) return std::nullopt;
            if (net.blocks.empty() || (!net.endless && next >= net.blocks.size())) return 0;
            const std::string& block = net.blocks[next++ % net.blocks.size()];
            return std::copy_n(block.data(), std::min(n, block.size()), static_cast<char*>(buffer)) -
                   static_cast<char*>(buffer);
        }
    };
    struct Session final : InternetSession {
        FakeInternet& net;
        explicit Session(FakeInternet& net) : net(net) {}
        ~Session() override { net.note("session closed"); }
        std::unique_ptr<InternetRequest> openUrl(const std::string& url) override {
            net.note("open " + url);
            if (net.onOpen) net.onOpen();
            return net.urlFails ? nullptr : std::make_unique<Request>(net);
        }
    };
    std::unique_ptr<InternetSession> openSession(const SessionOptions& options) override {
        std::lock_guard lock(mutex);
        opened.push_back(options);
        return sessionFails ? nullptr : std::make_unique<Session>(*this);
    }
};

}  // namespace ostrel::testing
