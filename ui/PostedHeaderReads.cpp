#include "ui/PostedHeaderReads.h"

#include "platform/ReadsWhileWanted.h"
#include "ui/ErrorBox.h"

namespace ostrel::ui {
namespace {

constexpr const wchar_t* kClassName = L"OstrelHeaderFindings";

}  // namespace

PostedHeaderReads::~PostedHeaderReads() {
    jobs_.stop();
    destroyWindow();
}

bool PostedHeaderReads::create() {
    WindowClass findings{kClassName, &windowProc};
    findings.arrowCursor = false;  // a message-only window
    if (!registerWindowClass(instance_, findings)) return false;
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance_, this);
    return window_ != nullptr;
}

void PostedHeaderReads::read(int place, std::vector<HeaderJob> batch, Done done) {
    if (stopped_) return;
    done_[place] = std::move(done);
    // The batch is moved to the worker: it reads nothing the interface thread writes.
    // A batch asked for again (the walk restarted) stops at its next file.
    jobs_.request(place, [&files = files_, batch = std::move(batch)](const Jobs::StillWanted& stillWanted) {
        return readHeaders(ReadsWhileWanted(files, stillWanted), batch);
    });
}

bool PostedHeaderReads::stopWithin(std::chrono::milliseconds limit) {
    stopped_ = true;
    done_.clear();
    return jobs_.stopWithin(limit);
}

void PostedHeaderReads::deliver() {
    // One message may carry the findings of several places; a lost post
    // leaves them for the next one.
    for (auto& result : jobs_.take()) {
        auto found = done_.find(result.place);
        if (found == done_.end()) continue;
        Done done = std::move(found->second);
        done_.erase(found);  // done may ask for the place's next batch
        guarded(hwnd_, [&done, &result] { done(std::move(result.value)); });
    }
}

LRESULT PostedHeaderReads::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kFindingsMessage) return DefWindowProcW(hwnd_, message, wParam, lParam);
    deliver();
    return 0;
}

}  // namespace ostrel::ui
