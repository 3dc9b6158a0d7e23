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

// A stop ends the run at the next record; every other end of a fetch but a
// whole body ends it there, like a URL that could not be opened.
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
    port_.startFetch(
        fetchRequest(FetchKind::Index, indexUrl(settings_.baseUrl()), catalogue() + std::string(kIndexName)),
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
        // A name from the server that would leave the folder, reach a device,
        // another file or one of the program's own is never written, and a
        // path with a line break in it never reaches the request or
        // loaded.txt. The record is passed over, unrecorded, as a taken name
        // is: one such record must not keep every newer picture away.
        if (hasControlCharacter(fullPath) || !safeLocalName(name) || isProgramFileName(name)) continue;
        picturePath_ = settings_.downloadFolder() + name;
        // Nothing is written over a file already there (the user's own, or
        // another record's of the same name): the record waits, unrecorded,
        // until its name is free.
        if (fs_.fileExists(picturePath_)) continue;
        waiting_ = Waiting::Picture;
        port_.startFetch(fetchRequest(FetchKind::Picture, catalogueUrl(settings_.baseUrl(), fullPath), picturePath_),
                         stopDownload_);
        return;
    }
    end(true);
}

void AutoDownload::pictureFetched(const FetchResult& result) {
    if (exitRequested_) port_.terminate();
    // Only a whole body is kept; a name taken meanwhile is passed over like
    // one that was taken before.
    if (failed(result) && result.outcome != FetchOutcome::NameTaken) return end(true);
    if (result.outcome == FetchOutcome::Completed) {
        if (stopDownload_) {
            // Stopped as it was kept: the new file (it replaced none) goes again.
            (void)fs_.deleteFile(picturePath_);
        } else {
            // Listed only once recorded: otherwise the next run would list it again.
            if (!appendLoaded(fs_, catalogue(), records_[position_ - 1])) return end(true);
            if (settings_.addvlist()) port_.addToList(picturePath_);
        }
    }
    --position_;
    nextRecord();
}

}  // namespace ostrel
