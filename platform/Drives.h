#pragma once
// The drive letters of the machine and what kind of drive each one is.
#include <vector>

namespace ostrel {

enum class DriveKind { Removable, Fixed, Remote, CdRom, Other };

struct Drive {
    char letter = 'A';
    DriveKind kind = DriveKind::Other;
};

class Drives {
public:
    virtual ~Drives() = default;
    // The letters that name a drive, A to Z in order.
    virtual std::vector<Drive> present() const = 0;
};

}  // namespace ostrel
