#pragma once
// Processor count and the system's idle and wall time, for the load gate.
#include <cstdint>
#include <optional>

namespace ostrel {

struct LoadSample {
    unsigned processors = 0;      // 8-bit count in the system's basic information
    std::int64_t systemTime = 0;  // 100 ns units
    std::int64_t idleTime = 0;    // 100 ns units, all processors together
};

class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    // nullopt when any of the three queries fails.
    virtual std::optional<LoadSample> sample() = 0;
};

}  // namespace ostrel
