#pragma once
// HTTP transfers as the catalogue client needs them (WinInet on Windows): a
// session per transfer, one GET of a full URL, and reading its body in blocks.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace ostrel {

// WinInet's access types.
inline constexpr std::uint32_t kAccessPreconfig = 0;  // the system's own Internet settings
inline constexpr std::uint32_t kAccessProxy = 3;      // through the named proxy

struct SessionOptions {
    std::string agent;
    std::uint32_t accessType = kAccessPreconfig;
    std::string proxyName;  // "host:port" with kAccessProxy, else empty
    // How long one read may wait for data before it fails.
    std::uint32_t receiveTimeoutMs = 30000;
};

// The body of one opened URL. Closed when destroyed.
class InternetRequest {
public:
    virtual ~InternetRequest() = default;
    // The server's status code for an http(s) URL; nullopt for other schemes.
    virtual std::optional<unsigned> httpStatus() const = 0;
    // Reads the next block of at most n bytes: 0 at the end of the data,
    // nullopt when the read failed or timed out.
    virtual std::optional<std::size_t> read(void* buffer, std::size_t n) = 0;
};

// One Internet session. Closed when destroyed, after its requests.
class InternetSession {
public:
    virtual ~InternetSession() = default;
    // Issues a GET that bypasses every cache; nullptr when the URL could not
    // be opened (no connection, host unreachable, malformed URL).
    virtual std::unique_ptr<InternetRequest> openUrl(const std::string& url) = 0;
};

class Internet {
public:
    virtual ~Internet() = default;
    // nullptr when no session could be opened. Safe to call from any thread.
    virtual std::unique_ptr<InternetSession> openSession(const SessionOptions& options) = 0;
};

}  // namespace ostrel
