#pragma once
// Drives as GetDriveTypeA reports them.
#include "platform/Drives.h"

namespace ostrel::win32 {

class Win32Drives final : public Drives {
public:
    std::vector<Drive> present() const override;
};

}  // namespace ostrel::win32
