#pragma once
// One catalogue transfer: one URL into one local file, block by block.
#include <atomic>
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

struct FetchRequest {
    std::string url;        // full URL
    std::string localPath;  // full path; an existing file is overwritten
    std::uint64_t maxBytes = kPictureLimit;
    std::uint32_t receiveTimeoutMs = kReceiveTimeoutMs;
    // A stopped transfer deletes what it wrote instead of leaving it.
    bool deleteIfStopped = false;
};

enum class FetchOutcome {
    Completed,      // the whole body is in the file
    Stopped,        // a stop flag ended it after a block; the partial file stays unless deleteIfStopped
    UrlFailed,      // the URL could not be opened or answered other than 2xx: no file
    SessionFailed,  // no Internet session: no file, and no network error either
    LimitExceeded,  // more than maxBytes: the partial file is deleted
    ReadFailed,     // a read failed or timed out: the partial file is deleted
    FileFailed,     // the local file could not be created, written or closed
};

struct FetchResult {
    FetchOutcome outcome = FetchOutcome::SessionFailed;
    // One more than the bytes written when the local file was created, else 0.
    std::uint64_t byteCount = 0;
    // A file that does not hold the whole body is at localPath: a stopped
    // transfer's, or a failed one's that could not be deleted.
    bool partialFileLeft = false;

    // What the waiting windows show as "no connection".
    bool networkError() const { return outcome == FetchOutcome::UrlFailed; }
};

// Runs one transfer on the calling thread. stop (and alsoStop when given) is
// read after every written block. Every path ends: nothing here waits longer
// than the request's receive timeout per block. fileOpened, when given, is
// set once the local file has been created (and an earlier one truncated).
FetchResult fetchUrl(Internet& internet, FileSystem& files, const ProxySettings& proxy,
                     const FetchRequest& request, const std::atomic<bool>& stop,
                     const std::atomic<bool>* alsoStop = nullptr, std::atomic<bool>* fileOpened = nullptr);

// The session options for the proxy chosen at this moment.
SessionOptions sessionOptionsFor(const ProxySettings& proxy, std::uint32_t receiveTimeoutMs);

}  // namespace ostrel
