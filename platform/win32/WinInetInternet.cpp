#include "platform/win32/WinInetInternet.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>

#include "platform/win32/UniqueHandle.h"

namespace ostrel::win32 {
namespace {

class WinInetRequest final : public InternetRequest {
public:
    WinInetRequest(UniqueInternetHandle connection, UniqueInternetHandle request, std::optional<unsigned> status)
        : connection_(std::move(connection)), request_(std::move(request)), status_(status) {}

    std::optional<unsigned> httpStatus() const override { return status_; }

    std::optional<std::size_t> read(void* buffer, std::size_t n) override {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n, 0x40000000));
        if (!InternetReadFile(request_.get(), buffer, want, &got)) return std::nullopt;
        return got;
    }

private:
    UniqueInternetHandle connection_;  // closed after the request
    UniqueInternetHandle request_;
    std::optional<unsigned> status_;
};

void setReceiveTimeout(HINTERNET handle, std::uint32_t timeoutMs) {
    DWORD timeout = timeoutMs;
    InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
}

class WinInetSession final : public InternetSession {
public:
    WinInetSession(UniqueInternetHandle session, std::uint32_t receiveTimeoutMs)
        : session_(std::move(session)), receiveTimeoutMs_(receiveTimeoutMs) {}

    std::unique_ptr<InternetRequest> openUrl(const std::string& url) override {
        UniqueInternetHandle connection;
        UniqueInternetHandle request = openHttp(url, connection);
        const bool http = static_cast<bool>(request);
        if (!http && !isHttp(url)) {
            // Another scheme: the one-call open, which has no status to check.
            request = UniqueInternetHandle(
                InternetOpenUrlA(session_.get(), url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0));
            if (request) setReceiveTimeout(request.get(), receiveTimeoutMs_);
        }
        if (!request) return nullptr;
        std::optional<unsigned> status;
        if (http) {
            DWORD code = 0, size = sizeof code;
            // A response without a readable status is no response to trust.
            if (!HttpQueryInfoA(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size,
                                nullptr))
                code = 0;
            status = code;
        }
        return std::make_unique<WinInetRequest>(std::move(connection), std::move(request), status);
    }

private:
    static bool isHttp(const std::string& url) {
        return url.compare(0, 5, "http:") == 0 || url.compare(0, 6, "https:") == 0;
    }

    // The GET of an http(s) URL in steps rather than through InternetOpenUrlA,
    // so that the receive timeout is on the request before it connects: some
    // WinInets (Wine's) take it only then, and a stalled server would
    // otherwise hold the transfer, and the program's exit, for good.
    UniqueInternetHandle openHttp(const std::string& url, UniqueInternetHandle& connection) {
        if (!isHttp(url)) return {};
        char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
        std::string path(url.size() + 1, '\0');
        URL_COMPONENTSA parts{};
        parts.dwStructSize = sizeof parts;
        parts.lpszHostName = host;
        parts.dwHostNameLength = sizeof host;
        parts.lpszUrlPath = path.data();
        parts.dwUrlPathLength = static_cast<DWORD>(path.size());
        if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return {};
        path.resize(parts.dwUrlPathLength);
        if (path.empty()) path.assign(1, '/');
        connection = UniqueInternetHandle(InternetConnectA(session_.get(), host, parts.nPort, nullptr, nullptr,
                                                           INTERNET_SERVICE_HTTP, 0, 0));
        if (!connection) return {};
        const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0;
        UniqueInternetHandle request(HttpOpenRequestA(connection.get(), "GET", path.c_str(), nullptr, nullptr,
                                                      nullptr, INTERNET_FLAG_RELOAD | secure, 0));
        if (!request) return {};
        setReceiveTimeout(request.get(), receiveTimeoutMs_);
        if (!HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) return {};
        return request;
    }

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
    // a stalled server cannot keep a transfer (and the program's exit) waiting.
    setReceiveTimeout(session.get(), options.receiveTimeoutMs);
    return std::make_unique<WinInetSession>(std::move(session), options.receiveTimeoutMs);
}

}  // namespace ostrel::win32
