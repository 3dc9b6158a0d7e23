#pragma once
// Headers read when the test lets the posted results arrive, the way the
// message loop would deliver them after the command that asked.
#include <map>
#include <utility>
#include <vector>

#include "list/HeaderReader.h"

namespace ostrel::testing {

struct FakeHeaderReader final : HeaderReader {
    explicit FakeHeaderReader(const FileSystem& files) : files_(files) {}

    struct Pending {
        std::vector<HeaderJob> batch;
        Done done;
    };
    std::map<int, Pending> pending;  // place -> its newest batch
    int batches = 0;

    void read(int place, std::vector<HeaderJob> batch, Done done) override {
        ++batches;
        pending[place] = {std::move(batch), std::move(done)};
    }
    // Reads the oldest place's batch; false when none was asked for.
    bool deliverOne() {
        if (pending.empty()) return false;
        auto node = pending.extract(pending.begin());
        node.mapped().done(readHeaders(files_, node.mapped().batch));
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
