// The download flow against a hostile catalogue: a fuzzed index and fuzzed
// answers drive the automatic download, then the browser's pages and clicks.
// Nothing is written outside the catalogue and download folders, the
// automatic download writes over no file, no temporary file is left, and
// only a whole answer is kept or recorded in loaded.txt, whose earlier lines
// stay as they were read.
//
// Input: fields cut at 0x1E. The first is the index; each other is one answer,
// given in turn to the URLs asked for: a control byte, then the body. The
// control byte's bits 0-2 pick the status (200 five times in eight, else
// 204, 302, 404), bits 3-4 the announced length (the body's, none, one more,
// one less), bit 5 makes the read at the end fail, and bit 6 presses "stop"
// while the automatic download reads it.
#include <deque>

#include "FuzzSupport.h"
#include "download/AutoDownload.h"
#include "download/CatalogueUrls.h"
#include "download/DownloadBrowser.h"
#include "download/LoadedRecord.h"
#include "download/LocalName.h"
#include "fakes/FakeDownloads.h"
#include "fakes/FakeServices.h"
#include "platform/TemporaryFiles.h"

namespace {

using namespace ostrel;
using Answer = fuzz::ScriptedInternet::Answer;

const std::string kData = "C:\\data";
const std::string kWalls = "C:\\data\\walls\\";
const std::string kBase = "http://cat.test/";
const std::string kCatalogue = catalogueFolder(kData);
const std::string kLoaded = kCatalogue + std::string(kLoadedName);
// The user's own picture and an earlier download, and a record whose last
// line ends in CR alone.
const std::map<std::string, std::string> kBefore = {
    {kWalls + "mine.jpg", "the user's own"},
    {kWalls + "old.jpg", "an earlier download"},
    {kLoaded, "images/old.jpg\r\nimages/by-hand.jpg\r"},
};

constexpr std::size_t kMostFetches = 400;

Answer answerOf(std::string_view field, bool& stops) {
    Answer answer;
    if (field.empty()) return answer;
    const unsigned control = static_cast<unsigned char>(field[0]);
    answer.body = std::string(field.substr(1));
    static constexpr unsigned kStatuses[] = {200, 200, 200, 200, 200, 204, 302, 404};
    answer.status = kStatuses[control & 7];
    switch ((control >> 3) & 3) {
    case 0: answer.length = answer.body.size(); break;
    case 1: break;
    case 2: answer.length = answer.body.size() + 1; break;
    case 3: answer.length = answer.body.size() - (answer.body.empty() ? 0 : 1); break;
    }
    answer.failsAtEnd = (control & 0x20) != 0;
    stops = (control & 0x40) != 0;
    return answer;
}

// Every transfer runs on the calling thread, one after another, in the order
// they were started; the results go back as the interface thread's would.
struct Transfers final : FetchPort, AutoDownloadPort {
    fuzz::ScriptedInternet& internet;
    fuzz::MemoryFileSystem& files;
    ProxySettings proxy;
    AutoDownload* run = nullptr;
    struct Waiting {
        FetchRequest request;
        const std::atomic<bool>* stop;
        Done done;
    };
    std::deque<Waiting> waiting;
    std::size_t fetches = 0;
    bool automatic = false;  // the automatic download's part of the flow

    Transfers(fuzz::ScriptedInternet& internet, fuzz::MemoryFileSystem& files) : internet(internet), files(files) {}

    void startFetch(FetchRequest request, const std::atomic<bool>& stop, Done done) override {
        waiting.push_back({std::move(request), &stop, std::move(done)});
    }
    void startFetch(const FetchRequest& request, const std::atomic<bool>& stop) override {
        waiting.push_back({request, &stop, [this](const FetchResult& r) { run->onFetched(r); }});
    }
    bool stopAll(std::chrono::milliseconds) override { return true; }
    void showNotice() override {}
    void terminate() override {}
    void addToList(const std::string&) override {}

    void pump() {
        while (!waiting.empty() && fetches++ < kMostFetches) {
            Waiting next = std::move(waiting.front());
            waiting.pop_front();
            const std::string& path = next.request.localPath;
            // The automatic download replaces nothing, not even its own
            // picture of the same name; only the index takes the last one's place.
            if (automatic) FUZZ_CHECK(next.request.replaceExisting == (path == kCatalogue + std::string(kIndexName)));
            const auto prior = files.files.find(path);
            const std::optional<std::string> before =
                prior == files.files.end() ? std::nullopt : std::optional<std::string>(prior->second);
            StopFlag watch(*next.stop);
            const FetchResult result = fetchUrl(internet, files, proxy, next.request, watch);
            if (result.outcome == FetchOutcome::Completed) FUZZ_CHECK(files.fileExists(path));
            if (before && (!next.request.replaceExisting || result.outcome != FetchOutcome::Completed))
                FUZZ_CHECK(files.files.count(path) && files.files.at(path) == *before);
            next.done(result);
        }
    }
};

bool isTemporaryPath(const std::string& path) {
    return isTemporaryName(std::string_view(path).substr(path.find_last_of('\\') + 1));
}

// Whether a whole answer to url (to any URL when url is empty) had this body.
bool cameWhole(const fuzz::ScriptedInternet& internet, const std::string& url, const std::string* body) {
    for (const auto& [asked, answer] : internet.asked)
        if ((url.empty() || asked == url) && answer && answer->whole() && (!body || answer->body == *body)) return true;
    return false;
}

// The properties that hold after each part of the flow. mayReplace: the
// files a click allowed to be replaced.
void checkFiles(const fuzz::MemoryFileSystem& fs, const fuzz::ScriptedInternet& internet,
                const std::set<std::string>& mayReplace) {
    for (const std::string& path : fs.touched)
        FUZZ_CHECK(fuzz::directlyIn(kCatalogue, path) || fuzz::directlyIn(kWalls, path));

    // Earlier lines stay as they were read; each new one is a picture that came whole.
    const std::vector<std::string> before = loadedLines(kBefore.at(kLoaded));
    const std::vector<std::string> after = loadedLines(fs.files.at(kLoaded));
    FUZZ_CHECK(after.size() >= before.size() && std::equal(before.begin(), before.end(), after.begin()));
    for (std::size_t i = before.size(); i < after.size(); ++i)
        FUZZ_CHECK(!hasControlCharacter(after[i]) && cameWhole(internet, catalogueUrl(kBase, after[i]), nullptr));

    for (const auto& [path, bytes] : fs.files) {
        FUZZ_CHECK(!isTemporaryPath(path));
        const auto earlier = kBefore.find(path);
        if (path == kLoaded || (earlier != kBefore.end() && earlier->second == bytes)) continue;
        if (earlier != kBefore.end()) FUZZ_CHECK(mayReplace.count(path) != 0);
        if (!path.starts_with(kWalls)) {
            FUZZ_CHECK(cameWhole(internet, "", &bytes));  // the index or a preview
            continue;
        }
        // A picture kept is one recorded, and came whole under its record's URL.
        bool recorded = false;
        for (std::size_t i = before.size(); i < after.size() && !recorded; ++i)
            recorded = cameWhole(internet, catalogueUrl(kBase, after[i]), &bytes);
        FUZZ_CHECK(recorded);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> parts = fuzz::fields(fuzz::bytesOf(data, size), '\x1e');
    fuzz::ScriptedInternet internet;
    std::vector<bool> stops;
    internet.answers[indexUrl(kBase)] = {200, parts[0], parts[0].size()};
    for (std::size_t i = 1; i < parts.size(); ++i) {
        bool stop = false;
        internet.inTurn.push_back(answerOf(parts[i], stop));
        stops.push_back(stop);
    }
    fuzz::MemoryFileSystem fs;
    fs.folders = {kData, kCatalogue, kWalls};
    for (const auto& [path, bytes] : kBefore) fs.files[path] = bytes;
    Transfers transfers(internet, fs);

    // The automatic download, a stop pressed during the answers that ask for it.
    AutoDownload run(fs, transfers,
                     {[] { return kData; }, [] { return kWalls; }, [] { return true; }, [] { return kBase; }});
    transfers.run = &run;
    internet.onRead = [&] {
        const std::size_t answer = internet.nextInTurn;
        if (answer > 0 && stops[answer - 1] && internet.asked.back().second) run.requestStop();
    };
    transfers.automatic = true;
    FUZZ_CHECK(run.tick(false));
    transfers.pump();
    transfers.automatic = false;
    FUZZ_CHECK(!run.autoDownloading() || transfers.fetches > kMostFetches);
    checkFiles(fs, internet, {});
    internet.onRead = nullptr;

    // The browser: every page in turn, each picture on it clicked.
    testing::FakeTimers timers;
    testing::FakeBrowserView view;
    std::set<std::string> clicked;
    DownloadBrowser browser(fs, transfers, timers, view,
                            {[] { return kData; }, [] { return kWalls; }, [] { return kBase; }, [] { return true; },
                             [](const std::string&) {}, [] {}});
    view.browser = &browser;
    view.whileShown = [&] {
        for (int page = 1; page <= kCataloguePages; ++page) {
            transfers.pump();
            if (browser.page() != page) break;
            for (int k = 1; k <= kBrowserSlots; ++k) {
                if (!browser.slot(k).present) continue;
                clicked.insert(kWalls + browser.slot(k).localName);
                browser.downloadpic(k);
            }
            transfers.pump();
            browser.nextPage();
        }
    };
    browser.show();
    transfers.pump();
    checkFiles(fs, internet, clicked);
    return 0;
}
