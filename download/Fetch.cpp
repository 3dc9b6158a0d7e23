#include "download/Fetch.h"

#include <array>
#include <memory>

namespace ostrel {

SessionOptions sessionOptionsFor(const ProxySettings& proxy, std::uint32_t receiveTimeoutMs) {
    SessionOptions options;
    options.agent = kFetchAgent;
    options.receiveTimeoutMs = receiveTimeoutMs;
    if (std::optional<std::string> name = proxy.get()) {
        options.accessType = kAccessProxy;
        options.proxyName = std::move(*name);
    }
    return options;
}

namespace {

bool isSuccess(std::optional<unsigned> status) { return !status || (*status >= 200 && *status < 300); }

}  // namespace

FetchResult fetchUrl(Internet& internet, FileSystem& files, const ProxySettings& proxy,
                     const FetchRequest& request, const std::atomic<bool>& stop,
                     const std::atomic<bool>* alsoStop, std::atomic<bool>* fileOpened) {
    FetchResult result;
    // Declared before the request so that the request is closed first.
    std::unique_ptr<InternetSession> session =
        internet.openSession(sessionOptionsFor(proxy, request.receiveTimeoutMs));
    if (!session) return result;

    std::unique_ptr<InternetRequest> body = session->openUrl(request.url);
    // An error page is no picture: it is treated like a URL that did not open.
    if (!body || !isSuccess(body->httpStatus())) {
        result.outcome = FetchOutcome::UrlFailed;
        return result;
    }

    std::unique_ptr<WriteStream> out = files.openTruncate(request.localPath);
    if (!out) {
        result.outcome = FetchOutcome::FileFailed;
        return result;
    }
    if (fileOpened) fileOpened->store(true);
    std::uint64_t written = 0;
    const auto fail = [&](FetchOutcome outcome) {
        out.reset();  // closed before it can be deleted on Windows
        result.outcome = outcome;
        result.byteCount = 1 + written;
        result.partialFileLeft = !files.deleteFile(request.localPath);
        return result;
    };

    std::array<char, kFetchBlock> block;
    for (;;) {
        const std::optional<std::size_t> got = body->read(block.data(), block.size());
        if (!got) return fail(FetchOutcome::ReadFailed);
        if (*got == 0) break;
        if (*got > request.maxBytes - written) return fail(FetchOutcome::LimitExceeded);
        if (!out->write(block.data(), *got)) return fail(FetchOutcome::FileFailed);
        written += *got;
        // The program's own stop first: at its end the starter's flag may be going.
        if ((alsoStop && alsoStop->load()) || stop.load()) {
            if (request.deleteIfStopped) return fail(FetchOutcome::Stopped);
            if (!out->commit()) return fail(FetchOutcome::FileFailed);
            result.outcome = FetchOutcome::Stopped;
            result.byteCount = 1 + written;
            result.partialFileLeft = true;
            return result;
        }
    }
    if (!out->commit()) return fail(FetchOutcome::FileFailed);
    result.outcome = FetchOutcome::Completed;
    result.byteCount = 1 + written;
    return result;
}

}  // namespace ostrel
