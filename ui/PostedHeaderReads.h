#pragma once
// The pictures' headers read on worker threads; the findings reach the
// interface thread as posted messages, and each batch's callback runs when
// the message loop dispatches that message.
#include <windows.h>

#include <chrono>
#include <map>
#include <vector>

#include "base/BackgroundJobs.h"
#include "list/HeaderReader.h"
#include "ui/WindowBase.h"

namespace ostrel::ui {

class PostedHeaderReads final : public HeaderReader, public WindowBase<PostedHeaderReads> {
public:
    PostedHeaderReads(HINSTANCE instance, const FileSystem& files) : instance_(instance), files_(files) {}
    ~PostedHeaderReads() override;

    // The message-only window the findings are posted to.
    [[nodiscard]] bool create();
    void read(int place, std::vector<HeaderJob> batch, Done done) override;
    // At the end: nothing is read or reported any more. Waits at most limit
    // for the files in hand; false when some are still blocked, and the
    // caller must then end the process at once.
    bool stopWithin(std::chrono::milliseconds limit);

private:
    friend class WindowBase<PostedHeaderReads>;
    using Jobs = BackgroundJobs<std::vector<HeaderFinding>>;
    static constexpr UINT kFindingsMessage = WM_APP + 1;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void deliver();

    // A file that blocks holds up its own batch only: the row the user
    // selects next is read beside it.
    static constexpr int kMostWorkers = 3;

    HINSTANCE instance_;
    const FileSystem& files_;
    bool stopped_ = false;
    std::map<int, Done> done_;  // place -> the callback of its newest batch
    HWND window_ = nullptr;     // set before the first read starts a worker
    // Last, so that the workers have ended before the rest goes.
    Jobs jobs_{[this] { PostMessageW(window_, kFindingsMessage, 0, 0); }, kMostWorkers};
};

}  // namespace ostrel::ui
