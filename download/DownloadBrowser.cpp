#include "download/DownloadBrowser.h"

#include <algorithm>
#include <utility>

#include "download/ByteCountText.h"
#include "download/CatalogueUrls.h"
#include "download/DateLabel.h"
#include "download/DelOldPrev.h"
#include "download/LoadedRecord.h"
#include "download/LocalName.h"

namespace ostrel {
namespace {

constexpr std::size_t kPreviewCut = 6;
constexpr std::size_t kDateLength = 10;
constexpr const char* kNoConnection = "Интернет не подключен";
constexpr const char* kDownloaded = "    Скачано";
constexpr const char* kFailed = "    Ошибка";
// The animation grows by one of these a tick: "Скачивание...", then again.
constexpr const char* kAnimationSteps[] = {"С", "к", "а", "ч", "и", "в", "а", "н", "и", "е", ".", ".", "."};
constexpr int kAnimationLength = 13;

bool contains(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

}  // namespace

std::optional<ImageSize> previewShownSize(ImageSize picture, DpiScale s) {
    if (picture.width <= 0 || picture.height <= 0) return std::nullopt;
    const ImageSize place{s(kPreviewPlace.width), s(kPreviewPlace.height)};
    ImageSize shown{s(picture.width), s(picture.height)};
    if (shown.width > place.width || shown.height > place.height) {
        const double fit = std::min(static_cast<double>(place.width) / picture.width,
                                    static_cast<double>(place.height) / picture.height);
        shown = {std::max(1, static_cast<int>(picture.width * fit)),
                 std::max(1, static_cast<int>(picture.height * fit))};
    }
    if (shown.width == picture.width && shown.height == picture.height) return std::nullopt;
    return shown;
}

DownloadBrowser::DownloadBrowser(FileSystem& files, FetchPort& fetches, TimerService& timers, DownloadBrowserView& view,
                                 DownloadBrowserLinks links)
    : files_(files),
      fetches_(fetches),
      view_(view),
      links_(std::move(links)),
      timer_(timers, TimerId::LoadStatus, kBrowserTickMs, false) {}

std::string DownloadBrowser::catalogue() const { return catalogueFolder(links_.dataFolder()); }

std::string DownloadBrowser::slotUrl(int slot) const {
    return catalogueUrl(links_.baseUrl(), this->slot(slot).fullPath);
}

int DownloadBrowser::lastPage() const {
    if (index_.pageCount == kCataloguePages) return kCataloguePages;
    // A short index: the pages that have at least one record (the last one
    // may have come without its date).
    const int records = static_cast<int>((index_.fields.size() + 1) / 3);
    return std::clamp((records + kBrowserSlots - 1) / kBrowserSlots, 1, kCataloguePages);
}

// ---------------------------------------------------------------- showing and closing

void DownloadBrowser::show() {
    if (showing_) return;
    struct Showing {
        bool& flag;
        ~Showing() { flag = false; }
    } scope{showing_ = true};
    view_.showModal();
}

void DownloadBrowser::FormShow() {
    afterMessage_ = false;  // every showing reports its first failure in a box
    timer_.setEnabled(true);
}

void DownloadBrowser::FormActivate() {
    if (!showing_) return;
    // One index or preview fetch at a time: a start-over waits for the one in hand.
    if (fetching_) {
        startOverWanted_ = true;
        return;
    }
    startOver();
}

void DownloadBrowser::FormClose() {
    closing_ = true;
    pending_.clear();
    timer_.setEnabled(false);
    ++generation_;  // a result still on its way belongs to this showing only
    if (links_.closed) links_.closed();
}

void DownloadBrowser::startOver() {
    ++generation_;
    quietFailure_ = std::exchange(afterMessage_, false);
    for (int k = 1; k <= kBrowserSlots; ++k) view_.setSlotVisible(k, false);
    view_.setPagingEnabled(false, false);
    closing_ = false;
    view_.startClock();
    page_ = 1;
    const std::string folder = catalogue();
    // An unreadable old index only means that no old preview is cleared away.
    if (files_.fileExists(folder + std::string(kIndexName))) (void)DelOldPrev(files_, folder);
    const std::string url = indexUrl(links_.baseUrl());
    view_.setStatus(StatusPanel::Progress, "Идет загрузка " + url);

    FetchRequest request = fetchRequest(FetchKind::Index, url, folder + std::string(kIndexName));
    fetching_ = true;
    const unsigned generation = generation_;
    fetches_.startFetch(std::move(request), closing_, [this, generation](const FetchResult& result) {
        if (!stale(generation, result)) indexFetched(result);
    });
}

bool DownloadBrowser::stale(unsigned generation, const FetchResult& result) {
    plusload(result.byteCount);
    fetching_ = false;
    if (std::exchange(startOverWanted_, false)) {
        if (showing_) startOver();
        return true;
    }
    return generation != generation_;
}

void DownloadBrowser::connectionFailed(bool index) {
    // The status first: dismissing the box starts the dialog over at once.
    view_.setStatus(StatusPanel::Progress, index || quietFailure_ ? kNoConnection : "");
    if (quietFailure_) return;
    afterMessage_ = true;
    view_.showMessage(kNoConnection);
}

void DownloadBrowser::indexFetched(const FetchResult& result) {
    if (result.outcome == FetchOutcome::Stopped) return;  // the dialog closed
    if (result.outcome != FetchOutcome::Completed) return connectionFailed(true);
    view_.setStatus(StatusPanel::Progress, "");
    std::optional<CatalogueIndex> index = loadwalls(files_, catalogue());
    if (!index) {
        view_.setStatus(StatusPanel::Progress, "Не удалось прочитать список новых обоев");
        return;
    }
    index_ = std::move(*index);
    refresh(After::Start);
}

// ---------------------------------------------------------------- pages

void DownloadBrowser::refresh(After after) {
    for (int k = 1; k <= kBrowserSlots; ++k) setLabel(k, "");
    view_.setStatus(StatusPanel::Progress, "Идет загрузка маленьких картинок");
    for (int k = 1; k <= kBrowserSlots; ++k) {
        BrowserSlot& s = slots_[static_cast<std::size_t>(k - 1)];
        const std::size_t record = static_cast<std::size_t>(kBrowserSlots * (page_ - 1) + k - 1);
        std::optional<CatalogueRecord> r = catalogueRecord(index_, record);
        s = BrowserSlot{};
        if (!r) continue;  // past the end of a short index: the slot stays hidden
        s.fullPath = std::move(r->fullPath);
        s.previewPath = std::move(r->previewPath);
        s.date = r->date.substr(0, kDateLength);
        s.localName = localName(s.previewPath, kPreviewCut);
        // A name from the server that would leave the catalogue or the
        // download folder, reach a device or another file, or be one of the
        // program's own files, is never written, and a line break
        // in any field would reach a request, loaded.txt or the label; an
        // empty full path asks for the server's root and records nothing
        // loaded.txt can read: no slot.
        s.present = !s.fullPath.empty() && safeLocalName(s.localName) && !isProgramFileName(s.localName) &&
                    !hasControlCharacter(s.fullPath) && !hasControlCharacter(s.previewPath) &&
                    !hasControlCharacter(s.date);
    }
    after_ = after;
    nextSlot_ = 1;
    nextPreview();
}

void DownloadBrowser::nextPreview() {
    const std::string folder = catalogue();
    for (; nextSlot_ <= kBrowserSlots; ++nextSlot_) {
        const BrowserSlot& s = slot(nextSlot_);
        if (!s.present || files_.fileExists(folder + s.localName)) continue;
        FetchRequest request =
            fetchRequest(FetchKind::Preview, catalogueUrl(links_.baseUrl(), s.previewPath), folder + s.localName);
        fetching_ = true;
        const unsigned generation = generation_;
        fetches_.startFetch(std::move(request), closing_, [this, generation](const FetchResult& result) {
            if (!stale(generation, result)) previewFetched(result);
        });
        return;
    }
    pageShown();
}

void DownloadBrowser::previewFetched(const FetchResult& result) {
    if (result.outcome == FetchOutcome::Stopped) return;
    // The page ends here, as far as it got.
    if (result.outcome != FetchOutcome::Completed) return connectionFailed(false);
    ++nextSlot_;
    nextPreview();
}

void DownloadBrowser::pageShown() {
    const std::string folder = catalogue();
    int firstShown = 0, lastShown = 0;
    for (int k = 1; k <= kBrowserSlots; ++k) {
        const BrowserSlot& s = slot(k);
        view_.setSlotVisible(k, s.present);
        view_.setSlotPicture(k, s.present ? folder + s.localName : std::string());
        if (s.present) {
            if (firstShown == 0) firstShown = k;
            lastShown = k;
        }
    }
    view_.repaint();
    view_.setPagingEnabled(page_ != 1, page_ < lastPage());
    view_.setStatus(StatusPanel::Progress, "");
    view_.setPageLabel(std::to_string(page_) + "/" + std::to_string(kCataloguePages));
    std::string dates;
    if (lastShown != 0) {
        const std::string first = dateLabel(slot(firstShown).date), last = dateLabel(slot(lastShown).date);
        dates = first == last || last.empty() ? first : first + " / " + last;
    }
    view_.setDateLabel(dates);
    switch (std::exchange(after_, After::Nothing)) {
    case After::Start:
        view_.setNoteVisible(true);
        timer_.setEnabled(true);
        break;
    case After::Next:
        view_.setNoteVisible(false);
        view_.repaint();
        break;
    case After::Previous:
        view_.repaint();
        if (page_ > 1) view_.setNoteVisible(false);
        break;
    case After::Nothing: break;
    }
}

void DownloadBrowser::nextPage() {
    if (fetching_ || page_ >= lastPage()) return;
    view_.setPagingEnabled(false, false);
    for (int k = 1; k <= kBrowserSlots; ++k) view_.setSlotVisible(k, false);
    ++page_;
    refresh(After::Next);
}

void DownloadBrowser::previousPage() {
    if (fetching_ || page_ <= 1) return;
    view_.setPagingEnabled(false, false);
    --page_;
    refresh(After::Previous);
}

// ---------------------------------------------------------------- full-size pictures

void DownloadBrowser::downloadpic(int slotNumber) {
    if (slotNumber < 1 || slotNumber > kBrowserSlots) return;
    const BrowserSlot& s = slot(slotNumber);
    if (!s.present) return;
    const std::string url = slotUrl(slotNumber);
    // Two fetches of one picture would write one file at the same time.
    if (contains(pending_, url)) return;
    const std::string file = links_.downloadFolder() + s.localName;
    pending_.push_back(url);
    // The click is the user's word: the picture may replace a file of its name.
    fetches_.startFetch(fetchRequest(FetchKind::ChosenPicture, url, file), closing_,
                        [this, url, file](const FetchResult& result) { pictureFetched(url, file, result); });
}

void DownloadBrowser::pictureFetched(const std::string& url, const std::string& file, const FetchResult& result) {
    plusload(result.byteCount);
    std::erase(pending_, url);
    if (result.outcome == FetchOutcome::Stopped) return;  // closed meanwhile: nothing was kept
    if (result.outcome != FetchOutcome::Completed) {
        // err: the label shows the failure for the rest of the run.
        failed_.push_back(url);
        return;
    }
    // Whole before the closing was seen: it is kept, so it is recorded (and
    // listed) too; deleting it could not bring back a file it replaced.
    if (links_.addvlist() && links_.addToList) links_.addToList(file);
    if (!appendLoaded(files_, catalogue(), catalogueUrlPath(links_.baseUrl(), url)))
        view_.setStatus(StatusPanel::Progress, "Не удалось записать loaded.txt");
}

void DownloadBrowser::plusload(std::uint64_t count) {
    byteTotal_ += count;
    view_.setStatus(StatusPanel::ByteTotal, "Скачано " + tostr(byteTotal_, view_.decimalSeparator()));
}

// ---------------------------------------------------------------- the status tick

bool DownloadBrowser::onTimer(TimerId id) {
    if (id != TimerId::LoadStatus) return false;
    statusTick();
    return true;
}

void DownloadBrowser::statusTick() {
    animationStep_ = animationStep_ % kAnimationLength + 1;
    if (animationStep_ == 1) animation_.clear();
    animation_ += kAnimationSteps[animationStep_ - 1];
    const std::string folder = links_.downloadFolder();
    for (int k = 1; k <= kBrowserSlots; ++k) {
        const BrowserSlot& s = slot(k);
        if (!s.present) continue;
        const std::string url = slotUrl(k);
        // Later steps win: a picture being fetched animates even when an
        // older copy exists, and a failed one says so.
        if (files_.fileExists(folder + s.localName)) setLabel(k, kDownloaded);
        if (contains(failed_, url)) setLabel(k, kFailed);
        if (contains(pending_, url)) setLabel(k, animation_);
    }
}

void DownloadBrowser::setLabel(int slotNumber, const std::string& text) {
    BrowserSlot& s = slots_[static_cast<std::size_t>(slotNumber - 1)];
    if (s.label == text) return;
    s.label = text;
    view_.setSlotLabel(slotNumber, text);
}

}  // namespace ostrel
