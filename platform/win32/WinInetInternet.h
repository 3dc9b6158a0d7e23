#pragma once
// HTTP transfers through WinInet's synchronous calls.
#include "platform/Internet.h"

namespace ostrel::win32 {

class WinInetInternet final : public Internet {
public:
    std::unique_ptr<InternetSession> openSession(const SessionOptions& options) override;
};

}  // namespace ostrel::win32
