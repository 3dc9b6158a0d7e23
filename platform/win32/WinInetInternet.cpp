#include "platform/win32/WinInetInternet.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>

#include "platform/win32/UniqueHandle.h"

namespace ostrel::win32 {
namespace {

// Every GET: from the server itself and into no cache (a second copy of
// every index, preview and picture, failed ones included), no cookie sent or
// kept (a tracking ID across runs), and no redirect followed (a static
// catalogue needs none; a loop would go on without end).
constexpr DWORD kRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTO_REDIRECT;

class WinInetRequest final : public InternetRequest {
public:
    WinInetRequest(UniqueInternetHandle connection, UniqueInternetHandle request)
        : connection_(std::move(connection)), request_(std::move(request)) {}

    unsigned httpStatus() const override {
        DWORD code = 0, size = sizeof code;
        // A response without a readable status is no response to trust.
        if (!HttpQueryInfoA(request_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr))
            return 0;
        return code;
    }

    std::optional<std::uint64_t> contentLength() const override {
        // WinInet decodes a chunked body and ends one cut short like a whole one.
        if (header(HTTP_QUERY_TRANSFER_ENCODING)) return std::nullopt;
        const std::optional<std::string> length = header(HTTP_QUERY_CONTENT_LENGTH);
        return length ? parseContentLength(*length) : std::nullopt;
    }

    std::optional<std::size_t> read(void* buffer, std::size_t n) override {
        // Asked first how much has come, so that a read never waits to fill
        // its buffer: a server sending a byte now and then would hold it for hours.
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request_.get(), &available, 0, 0)) return std::nullopt;
        if (available == 0) return 0;  // the end of the data
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>({n, available, 0x40000000}));
        if (!InternetReadFile(request_.get(), buffer, want, &got)) return std::nullopt;
        return got;
    }

private:
    std::optional<std::string> header(DWORD query) const {
        char value[64] = {};
        DWORD size = sizeof value;
        // A value too long for the buffer is no length either.
        if (!HttpQueryInfoA(request_.get(), query, value, &size, nullptr)) return std::nullopt;
        return std::string(value, size);
    }

    UniqueInternetHandle connection_;  // closed after the request
    UniqueInternetHandle request_;
};

void setReceiveTimeout(HINTERNET handle, std::uint32_t timeoutMs) {
    DWORD timeout = timeoutMs;
    InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
}

class WinInetSession final : public InternetSession {
public:
    WinInetSession(UniqueInternetHandle session, std::uint32_t receiveTimeoutMs)
        : session_(std::move(session)), receiveTimeoutMs_(receiveTimeoutMs) {}

    // The GET in steps rather than through InternetOpenUrlA, so that the
    // receive timeout is on the request before it connects: some WinInets
    // (Wine's) take it only then, and a stalled server would otherwise hold
    // the transfer for good.
    std::unique_ptr<InternetRequest> openUrl(const std::string& url) override {
        if (url.compare(0, 7, "http://") != 0 && url.compare(0, 8, "https://") != 0) return nullptr;
        char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
        std::string path(url.size() + 1, '\0');
        URL_COMPONENTSA parts{};
        parts.dwStructSize = sizeof parts;
        parts.lpszHostName = host;
        parts.dwHostNameLength = sizeof host;
        parts.lpszUrlPath = path.data();
        parts.dwUrlPathLength = static_cast<DWORD>(path.size());
        if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return nullptr;
        path.resize(parts.dwUrlPathLength);
        if (path.empty()) path.assign(1, '/');
        UniqueInternetHandle connection(
            InternetConnectA(session_.get(), host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
        if (!connection) return nullptr;
        const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0;
        UniqueInternetHandle request(HttpOpenRequestA(connection.get(), "GET", path.c_str(), nullptr, nullptr, nullptr,
                                                      kRequestFlags | secure, 0));
        if (!request) return nullptr;
        setReceiveTimeout(request.get(), receiveTimeoutMs_);
        if (!HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) return nullptr;
        return std::make_unique<WinInetRequest>(std::move(connection), std::move(request));
    }

private:
    UniqueInternetHandle session_;
    std::uint32_t receiveTimeoutMs_;
};

}  // namespace

std::unique_ptr<InternetSession> WinInetInternet::openSession(const SessionOptions& options) {
    const bool proxy = options.accessType == INTERNET_OPEN_TYPE_PROXY;
    UniqueInternetHandle session(InternetOpenA(options.agent.c_str(), options.accessType,
                                               proxy ? options.proxyName.c_str() : nullptr, nullptr, 0));
    if (!session) return nullptr;
    // Set on the session, the timeout holds for every request opened in it:
    // a stalled server cannot keep a transfer waiting.
    setReceiveTimeout(session.get(), options.receiveTimeoutMs);
    return std::make_unique<WinInetSession>(std::move(session), options.receiveTimeoutMs);
}

}  // namespace ostrel::win32
