#pragma once
// Headers read when the test lets the posted results arrive, the way the
// message loop would deliver them after the command that asked.
#include <utility>
#include <vector>

#include "list/HeaderReader.h"

namespace ostrel::testing {

struct FakeHeaderReader final : HeaderReader {
    explicit FakeHeaderReader(const FileSystem& files) : files_(files) {}

    struct Pending {
        int place = 0;
        std::vector<HeaderJob> batch;
        Done done;
    };
    std::vector<Pending> pending;  // in the order asked for; each place's newest batch only
    int batches = 0;

    void read(int place, std::vector<HeaderJob> batch, Done done) override {
        ++batches;
        std::erase_if(pending, [place](const Pending& p) { return p.place == place; });
        pending.push_back({place, std::move(batch), std::move(done)});
    }
    // Reads the batch asked for longest ago; false when none was asked for.
    bool deliverOne() {
        if (pending.empty()) return false;
        Pending first = std::move(pending.front());
        pending.erase(pending.begin());
        first.done(readHeaders(files_, first.batch));
        return true;
    }
    // Reads everything asked for, and what that asks for in turn.
    void deliverAll() {
        while (deliverOne()) {}
    }

private:
    const FileSystem& files_;
};

}  // namespace ostrel::testing
