#include "ui/PostedFetches.h"

#include "ui/ErrorBox.h"
#include "ui/WindowClass.h"

namespace ostrel::ui {
namespace {

constexpr const wchar_t* kClassName = L"OstrelFetchResults";

}  // namespace

PostedFetches::PostedFetches(HINSTANCE instance, Internet& internet, FileSystem& files, const ProxySettings& proxy)
    : instance_(instance), files_(files), workers_(internet, files, proxy) {}

PostedFetches::~PostedFetches() {
    workers_.stopAndJoin();
    if (window_) DestroyWindow(window_);
}

bool PostedFetches::create() {
    WindowClass results{kClassName, &PostedFetches::windowProc};
    results.arrowCursor = false;  // a message-only window
    if (!registerWindowClass(instance_, results)) return false;
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance_, this);
    return window_ != nullptr;
}

void PostedFetches::startFetch(FetchRequest request, const std::atomic<bool>& stop, Done done) {
    workers_.start(std::move(request), stop, [this, done = std::move(done)](const FetchResult& result) {
        {
            std::lock_guard lock(mutex_);
            results_.emplace_back(done, result);
        }
        // One message may carry several results; a lost post leaves its
        // result for the next one.
        PostMessageW(window_, kResultsMessage, 0, 0);
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
        if (done) guarded(window_, [&done, &result] { done(result); });
}

bool PostedFetches::stopAll(std::chrono::milliseconds limit) {
    std::vector<std::string> temporaryFiles;
    const bool ended = workers_.stopAndJoinFor(limit, temporaryFiles);
    // Written with delete sharing: each goes when its worker's handle closes
    // with the process.
    for (const std::string& path : temporaryFiles) (void)files_.deleteFile(path);
    return ended;
}

LRESULT CALLBACK PostedFetches::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    PostedFetches* self = windowObject<PostedFetches>(hwnd, message, lParam);
    if (message == kResultsMessage) {
        if (self) guarded(hwnd, [self] { self->deliver(); });
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace ostrel::ui
