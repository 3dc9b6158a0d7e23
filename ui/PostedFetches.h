#pragma once
// Transfers on worker threads whose results reach the interface thread as
// posted messages: a worker only queues its result and posts; the callbacks
// run when the message loop dispatches that message.
#include <windows.h>

#include <chrono>
#include <deque>
#include <mutex>
#include <utility>

#include "download/FetchPort.h"
#include "download/FetchThread.h"
#include "ui/WindowBase.h"

namespace ostrel::ui {

class PostedFetches final : public FetchPort, public WindowBase<PostedFetches> {
public:
    PostedFetches(HINSTANCE instance, Internet& internet, FileSystem& files, const ProxySettings& proxy);
    ~PostedFetches() override;

    // The message-only window the results are posted to.
    [[nodiscard]] bool create();
    void startFetch(FetchRequest request, const std::atomic<bool>& stop, Done done) override;

    // At the end of the program: every transfer stops; waits at most limit.
    // False when some are still blocked in a read: their temporary files are
    // then marked for deletion, and the caller must end the process at once
    // instead of destroying what the workers use.
    bool stopAll(std::chrono::milliseconds limit) override;

private:
    friend class WindowBase<PostedFetches>;
    static constexpr UINT kResultsMessage = WM_APP + 1;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void deliver();

    HINSTANCE instance_;
    FileSystem& files_;
    std::mutex mutex_;
    std::deque<std::pair<Done, FetchResult>> results_;
    // Last, so that its workers are joined before the rest goes.
    FetchWorkers workers_;
};

}  // namespace ostrel::ui
