#include "ui/PostedFetches.h"

#include "ui/ErrorBox.h"

namespace ostrel::ui {
namespace {

constexpr const wchar_t* kClassName = L"OstrelFetchResults";

}  // namespace

PostedFetches::PostedFetches(HINSTANCE instance, Internet& internet, FileSystem& files, const ProxySettings& proxy)
    : instance_(instance), files_(files), workers_(internet, files, proxy) {}

PostedFetches::~PostedFetches() {
    workers_.stopAndJoin();
    destroyWindow();
}

bool PostedFetches::create() {
    WindowClass results{kClassName, &windowProc};
    results.arrowCursor = false;  // a message-only window
    if (!registerWindowClass(instance_, results)) return false;
    return CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance_, this) != nullptr;
}

void PostedFetches::startFetch(FetchRequest request, const std::atomic<bool>& stop, Done done) {
    // The window's handle is taken here: the worker reads nothing the
    // interface thread writes.
    workers_.start(std::move(request), stop, [this, window = hwnd_, done = std::move(done)](const FetchResult& result) {
        {
            std::lock_guard lock(mutex_);
            results_.emplace_back(done, result);
        }
        // One message may carry several results; a lost post leaves its
        // result for the next one.
        PostMessageW(window, kResultsMessage, 0, 0);
    });
}

void PostedFetches::deliver() {
    std::deque<std::pair<Done, FetchResult>> ready;
    {
        std::lock_guard lock(mutex_);
        ready.swap(results_);
    }
    // One result's failure must not lose the others: a run waiting for its
    // result would wait for ever.
    for (auto& [done, result] : ready)
        if (done) guarded(hwnd_, [&done, &result] { done(result); });
}

bool PostedFetches::stopAll(std::chrono::milliseconds limit) {
    std::vector<std::string> temporaryFiles;
    const bool ended = workers_.stopAndJoinFor(limit, temporaryFiles);
    // Written with delete sharing: each goes when its worker's handle closes
    // with the process.
    for (const std::string& path : temporaryFiles) (void)files_.deleteFile(path);
    return ended;
}

LRESULT PostedFetches::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kResultsMessage) return DefWindowProcW(hwnd_, message, wParam, lParam);
    deliver();
    return 0;
}

}  // namespace ostrel::ui
