#include "platform/win32/WinInetInternet.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>

#include "platform/win32/UniqueHandle.h"

namespace ostrel::win32 {
namespace {

class WinInetRequest final : public InternetRequest {
public:
    WinInetRequest(UniqueInternetHandle request, std::optional<unsigned> status)
        : request_(std::move(request)), status_(status) {}

    std::optional<unsigned> httpStatus() const override { return status_; }

    std::optional<std::size_t> read(void* buffer, std::size_t n) override {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n, 0x40000000));
        if (!InternetReadFile(request_.get(), buffer, want, &got)) return std::nullopt;
        return got;
    }

private:
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
        UniqueInternetHandle request(
            InternetOpenUrlA(session_.get(), url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0));
        if (!request) return nullptr;
        // Not every WinInet hands the session's timeout down to its requests.
        setReceiveTimeout(request.get(), receiveTimeoutMs_);
        std::optional<unsigned> status;
        if (url.compare(0, 5, "http:") == 0 || url.compare(0, 6, "https:") == 0) {
            DWORD code = 0, size = sizeof code;
            // A response without a readable status is no response to trust.
            if (!HttpQueryInfoA(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size,
                                nullptr))
                code = 0;
            status = code;
        }
        return std::make_unique<WinInetRequest>(std::move(request), status);
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
    // a stalled server cannot keep a transfer (and the program's exit) waiting.
    setReceiveTimeout(session.get(), options.receiveTimeoutMs);
    return std::make_unique<WinInetSession>(std::move(session), options.receiveTimeoutMs);
}

}  // namespace ostrel::win32
