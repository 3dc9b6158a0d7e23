#include "download/Fetch.h"

#include <array>
#include <memory>

namespace ostrel {

FetchRequest fetchRequest(FetchKind kind, std::string url, std::string localPath) {
    FetchRequest request{std::move(url), std::move(localPath)};
    switch (kind) {
    case FetchKind::Index:
        request.maxBytes = kIndexLimit;
        request.replaceExisting = true;
        request.deadline = kCatalogueDeadline;
        break;
    case FetchKind::Preview:
        request.maxBytes = kPreviewLimit;
        request.deadline = kCatalogueDeadline;
        break;
    case FetchKind::Picture: break;
    case FetchKind::ChosenPicture: request.replaceExisting = true; break;
    }
    return request;
}

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

FetchResult fetchUrl(Internet& internet, FileSystem& files, const ProxySettings& proxy, const FetchRequest& request,
                     FetchWatch& watch) {
    // Declared before the request so that the request is closed first.
    std::unique_ptr<InternetSession> session = internet.openSession(sessionOptionsFor(proxy, request.receiveTimeoutMs));
    if (!session) return {};
    std::unique_ptr<InternetRequest> body = session->openUrl(request.url);
    if (watch.stopRequested()) return {FetchOutcome::Stopped, 0};
    // Only a 200 is the file itself: an error page, a redirect or a part is no picture.
    if (!body || body->httpStatus() != 200) return {FetchOutcome::UrlFailed, 0};
    // Only a body of announced length can be told whole from one cut short,
    // and an empty one is no picture either.
    const std::optional<std::uint64_t> length = body->contentLength();
    if (!length || *length == 0) return {FetchOutcome::Incomplete, 0};
    if (*length > request.maxBytes) return {FetchOutcome::LimitExceeded, 0};
    if (!request.replaceExisting && files.fileExists(request.localPath)) return {FetchOutcome::NameTaken, 0};

    std::unique_ptr<DownloadStream> out = files.openDownload(request.localPath, request.replaceExisting);
    if (!out) return {FetchOutcome::FileFailed, 0};
    watch.temporaryFile(out->temporaryPath());
    std::uint64_t received = 0;
    const auto end = [&](FetchOutcome outcome) {
        out.reset();  // the temporary file goes with it
        watch.temporaryFile({});
        return FetchResult{outcome, 1 + received};
    };

    std::array<char, kFetchBlock> block;
    for (;;) {
        const std::optional<std::size_t> got = body->read(block.data(), block.size());
        if (watch.stopRequested()) return end(FetchOutcome::Stopped);
        if (!got) return end(FetchOutcome::ReadFailed);
        if (*got == 0) break;
        if (*got > *length - received) {
            received += *got;
            return end(FetchOutcome::Incomplete);  // longer than announced
        }
        if (!out->write(block.data(), *got)) return end(FetchOutcome::FileFailed);
        received += *got;
        watch.received(received);
    }
    if (received != *length) return end(FetchOutcome::Incomplete);
    if (!watch.mayKeep()) return end(FetchOutcome::Stopped);
    if (!out->commit()) {
        // The name may have been taken since it was looked at.
        const bool taken = !request.replaceExisting && files.fileExists(request.localPath);
        return end(taken ? FetchOutcome::NameTaken : FetchOutcome::FileFailed);
    }
    watch.temporaryFile({});
    return {FetchOutcome::Completed, 1 + received};
}

TransferPace::TransferPace(const FetchRequest& request, Clock::time_point start)
    : deadline_(start + request.deadline),
      periodEnd_(start + request.ratePeriod),
      period_(request.ratePeriod),
      minBytes_(request.minBytesPerPeriod) {}

bool TransferPace::onTime(Clock::time_point now, std::uint64_t received) {
    if (now >= deadline_) return false;
    if (now < periodEnd_) return true;
    if (received - periodStartBytes_ < minBytes_) return false;
    periodStartBytes_ = received;
    periodEnd_ = now + period_;
    return true;
}

}  // namespace ostrel
