#include "download/AutoDownload.h"

#include <utility>

#include "download/CatalogueIndex.h"
#include "download/CatalogueUrls.h"
#include "download/LoadedRecord.h"
#include "download/LocalName.h"

namespace ostrel {
namespace {

constexpr std::size_t kRecordsPerRun = 100;
constexpr std::size_t kLocalNameCut = 7;

// Only a whole or a stopped body is in the file; every other end of a fetch
// leaves nothing worth recording, like a URL that could not be opened.
bool failed(const FetchResult& result) {
    return result.outcome != FetchOutcome::Completed && result.outcome != FetchOutcome::Stopped;
}

}  // namespace

AutoDownload::AutoDownload(FileSystem& fs, AutoDownloadPort& port, AutoDownloadSettings settings)
    : fs_(fs), port_(port), settings_(std::move(settings)) {}

std::string AutoDownload::catalogue() const { return catalogueFolder(settings_.dataFolder()); }

bool AutoDownload::tick(bool browserShowing) {
    if (autoDownloading_ || browserShowing) return false;
    stopDownload_ = false;
    autoDownloading_ = true;
    waiting_ = Waiting::Index;
    port_.startFetch({indexUrl(settings_.baseUrl()), catalogue() + std::string(kIndexName), kIndexLimit},
                     stopDownload_);
    return true;
}

void AutoDownload::onFetched(const FetchResult& result) {
    const Waiting was = std::exchange(waiting_, Waiting::Nothing);
    if (was == Waiting::Index) indexFetched(result);
    if (was == Waiting::Picture) pictureFetched(result);
}

void AutoDownload::end(bool clearStop) {
    autoDownloading_ = false;
    if (clearStop) stopDownload_ = false;
    waiting_ = Waiting::Nothing;
}

void AutoDownload::indexFetched(const FetchResult& result) {
    if (failed(result)) return end(false);  // silently: no connection
    port_.showNotice();
    if (exitRequested_) port_.terminate();
    if (stopDownload_) return end(false);
    const std::string folder = catalogue();
    auto records = loadwall(fs_, folder);
    // A record that is there but unreadable would make every picture look new:
    // they would all be fetched again and appended a second time.
    auto loaded = dospisokloaded(fs_, folder);
    if (!records || !loaded) return end(false);
    records_ = std::move(*records);
    loaded_ = std::move(*loaded);
    position_ = kRecordsPerRun;
    nextRecord();
}

void AutoDownload::nextRecord() {
    const std::string folder = catalogue();
    for (; position_ > 0; --position_) {
        if (stopDownload_) return end(false);  // left set until the next tick
        // Made even when the index is short of records, so that a run that
        // found nothing leaves an empty record behind. An append reports a failure.
        (void)createLoadedIfMissing(fs_, folder);
        if (position_ > records_.size()) continue;
        const std::string& fullPath = records_[position_ - 1];
        if (!isNewPicture(fullPath, loaded_)) continue;
        const std::string name = localName(fullPath, kLocalNameCut);
        if (stopDownload_) return end(true);
        // A name from the server that would leave the folder or reach a device
        // is never written; the record fails as an unreachable URL would.
        if (!safeLocalName(name)) return end(true);
        picturePath_ = settings_.downloadFolder() + name;
        waiting_ = Waiting::Picture;
        FetchRequest request{catalogueUrl(settings_.baseUrl(), fullPath), picturePath_, kPictureLimit};
        request.deleteIfStopped = true;  // a stopped picture is never kept
        port_.startFetch(request, stopDownload_);
        return;
    }
    end(true);
}

void AutoDownload::pictureFetched(const FetchResult& result) {
    if (exitRequested_) port_.terminate();
    // An empty body is no picture: nothing is kept or recorded, and the run
    // ends as it would at a URL that does not open.
    if (result.outcome == FetchOutcome::Completed && result.byteCount <= 1) {
        (void)fs_.deleteFile(picturePath_);
        return end(true);
    }
    if (failed(result)) return end(true);
    // A stopped body is partial even when the stop came from elsewhere.
    if (stopDownload_ || result.outcome == FetchOutcome::Stopped) {
        if (fs_.fileExists(picturePath_)) (void)fs_.deleteFile(picturePath_);
    } else {
        // Listed only once recorded: otherwise the next run would list it again.
        if (!appendLoaded(fs_, catalogue(), records_[position_ - 1])) return end(true);
        if (settings_.addvlist()) port_.addToList(picturePath_);
    }
    --position_;
    nextRecord();
}

}  // namespace ostrel
