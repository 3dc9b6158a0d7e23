#pragma once
// One catalogue transfer: one URL into one local file. The body goes to a
// temporary file beside the target, which takes the target's place only once
// the body is whole and accepted; every other end leaves the target as it was.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include "download/ProxySettings.h"
#include "platform/FileSystem.h"
#include "platform/Internet.h"

namespace ostrel {

inline constexpr const char* kFetchAgent = "DIRODID Download";
inline constexpr std::size_t kFetchBlock = 1024;
inline constexpr std::uint32_t kReceiveTimeoutMs = 30000;

// The most a transfer may bring, by what it fetches: a hostile or broken
// server must not fill the disk.
inline constexpr std::uint64_t kIndexLimit = 1u << 20;      // "rz.txt"
inline constexpr std::uint64_t kPreviewLimit = 4u << 20;    // a preview picture
inline constexpr std::uint64_t kPictureLimit = 200u << 20;  // a full-size picture

// A slow server must not hold a transfer for hours: each ends by its
// deadline, counted from its start, and one that brings less than the
// minimum in any period (the first one counted from its start) ends then.
inline constexpr std::chrono::seconds kCatalogueDeadline{120};  // the index, a preview
inline constexpr std::chrono::seconds kPictureDeadline{1800};   // a full-size picture
inline constexpr std::chrono::seconds kRatePeriod{30};
inline constexpr std::uint64_t kMinBytesPerPeriod = 16u << 10;

enum class FetchKind {
    Index,          // "rz.txt" into the catalogue folder, over the last one
    Preview,        // a preview into the catalogue folder, never over a file there
    Picture,        // a picture of the automatic download, never over a file there
    ChosenPicture,  // a picture clicked in the browser: the click may replace a file of its name
};

struct FetchRequest {
    std::string url;        // full URL
    std::string localPath;  // full path
    std::uint64_t maxBytes = kPictureLimit;
    // Whether the body may replace a file already at localPath.
    bool replaceExisting = false;
    std::chrono::milliseconds deadline = kPictureDeadline;
    std::chrono::milliseconds ratePeriod = kRatePeriod;
    std::uint64_t minBytesPerPeriod = kMinBytesPerPeriod;
    std::uint32_t receiveTimeoutMs = kReceiveTimeoutMs;
};

// The request for one kind of file, with that kind's limits.
FetchRequest fetchRequest(FetchKind kind, std::string url, std::string localPath);

// Every outcome but Completed leaves nothing: the target is as it was.
enum class FetchOutcome {
    Completed,      // the whole body is at localPath
    Stopped,        // a stop condition ended it
    UrlFailed,      // the URL could not be opened, or the answer was other than 200 (an error page, a redirect)
    SessionFailed,  // no Internet session, and no network error either
    LimitExceeded,  // an announced length over maxBytes
    Incomplete,     // not the whole announced body: none announced (or chunked), empty, cut short or longer
    ReadFailed,     // a read failed or timed out
    TimedOut,       // past the deadline, or slower than the minimum rate
    NameTaken,      // a file of that name is there and may not be replaced
    FileFailed,     // the temporary file could not be created, written or moved to localPath
};

struct FetchResult {
    FetchOutcome outcome = FetchOutcome::SessionFailed;
    // One more than the bytes received once the temporary file was created, else 0.
    std::uint64_t byteCount = 0;
};

// What watches a transfer while it runs.
class FetchWatch {
public:
    virtual ~FetchWatch() = default;
    // Asked after every read: true ends the transfer as stopped.
    virtual bool stopRequested() = 0;
    // The bytes received so far, after every read.
    virtual void received(std::uint64_t total) { (void)total; }
    // The temporary file the body is written to; "" once it is gone or moved.
    virtual void temporaryFile(const std::string& path) { (void)path; }
    // Asked once the body is whole, just before it takes the target's place:
    // false keeps nothing (the transfer was stopped or given up meanwhile).
    virtual bool mayKeep() { return !stopRequested(); }
};

// A watch of one stop flag.
class StopFlag final : public FetchWatch {
public:
    explicit StopFlag(const std::atomic<bool>& stop) : stop_(stop) {}
    bool stopRequested() override { return stop_.load(); }

private:
    const std::atomic<bool>& stop_;
};

// Runs one transfer on the calling thread. A call blocked in the network
// waits at most the request's receive timeout for data; the deadline and the
// minimum rate are kept by whoever watches (FetchWorkers).
FetchResult fetchUrl(Internet& internet, FileSystem& files, const ProxySettings& proxy, const FetchRequest& request,
                     FetchWatch& watch);

// The session options for the proxy chosen at this moment.
SessionOptions sessionOptionsFor(const ProxySettings& proxy, std::uint32_t receiveTimeoutMs);

// Whether a running transfer keeps to its deadline and the minimum rate.
class TransferPace {
public:
    using Clock = std::chrono::steady_clock;
    TransferPace(const FetchRequest& request, Clock::time_point start);
    // With the time and the bytes received so far: false once past the
    // deadline, or when a period that has ended brought less than the minimum.
    bool onTime(Clock::time_point now, std::uint64_t received);

private:
    Clock::time_point deadline_, periodEnd_;
    Clock::duration period_;
    std::uint64_t minBytes_, periodStartBytes_ = 0;
};

}  // namespace ostrel
