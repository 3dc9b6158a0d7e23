#pragma once
// HTTP transfers as the catalogue client needs them (WinInet on Windows): a
// session per transfer, one GET of a full URL, and reading its body.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

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

// The answer to one GET. Closed when destroyed.
class InternetRequest {
public:
    virtual ~InternetRequest() = default;
    // The server's status code; 0 when the answer carried none that could be read.
    virtual unsigned httpStatus() const = 0;
    // The body's length as its Content-Length announces it, when that is
    // what delimits the body; nullopt without one, with one that is no plain
    // number (parseContentLength), or when a Transfer-Encoding delimits the
    // body instead: WinInet hands a chunked body over decoded and reports one
    // cut short as ended like a whole one, so such a body cannot be told whole.
    virtual std::optional<std::uint64_t> contentLength() const = 0;
    // Reads the next bytes, at most n, as soon as any have come (it does not
    // wait to fill n): 0 at the end of the data, nullopt when the read failed
    // or timed out.
    virtual std::optional<std::size_t> read(void* buffer, std::size_t n) = 0;
};

// One Internet session. Closed when destroyed, after its requests.
class InternetSession {
public:
    virtual ~InternetSession() = default;
    // Issues a GET of an http(s) URL that reads and writes no cache, sends
    // and keeps no cookie and follows no redirect (a 3xx comes back as it
    // is); nullptr when the URL could not be opened (no connection, host
    // unreachable, malformed URL, another scheme).
    virtual std::unique_ptr<InternetRequest> openUrl(const std::string& url) = 0;
};

class Internet {
public:
    virtual ~Internet() = default;
    // nullptr when no session could be opened. Safe to call from any thread.
    virtual std::unique_ptr<InternetSession> openSession(const SessionOptions& options) = 0;
};

// A Content-Length header's value: decimal digits only, at most 18 of them
// (no sign, no blanks, no list of lengths); nullopt for anything else.
inline std::optional<std::uint64_t> parseContentLength(std::string_view text) {
    if (text.empty() || text.size() > 18) return std::nullopt;
    std::uint64_t length = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        length = length * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return length;
}

}  // namespace ostrel
