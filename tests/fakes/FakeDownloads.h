#pragma once
// Stand-ins for the download side: transfers that finish when the test says
// so (writing the body the test gives), the notice, and the browser's dialog.
#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "app/NoticeView.h"
#include "download/DownloadBrowser.h"
#include "download/FetchPort.h"
#include "fakes/TempDir.h"

namespace ostrel::testing {

struct FakeFetches final : FetchPort {
    struct Started {
        FetchRequest request;
        const std::atomic<bool>* stop;
        Done done;
        bool finished = false;
    };
    std::vector<Started> started;
    bool stoppedAll = false;

    void startFetch(FetchRequest request, const std::atomic<bool>& stop, Done done) override {
        started.push_back({std::move(request), &stop, std::move(done)});
    }
    bool stopAll(std::chrono::milliseconds) override { return stoppedAll = true; }
    // Transfer i ends: Completed writes body to its file; any other end leaves none.
    void finish(std::size_t i, const std::string& body, FetchOutcome outcome = FetchOutcome::Completed) {
        Started& s = started.at(i);
        s.finished = true;
        std::uint64_t count = 0;
        if (outcome == FetchOutcome::Completed) {
            TempDir::put(s.request.localPath, body);
            count = body.size() + 1;
        }
        Done done = s.done;  // done may start the next transfer
        done({outcome, count});
    }
    std::size_t unfinished() const {
        std::size_t n = 0;
        for (const Started& s : started) n += !s.finished;
        return n;
    }
    // The last transfer started and not finished.
    std::size_t last() const {
        for (std::size_t i = started.size(); i-- > 0;)
            if (!started[i].finished) return i;
        return started.size();
    }
};

struct FakeNotice final : NoticeView {
    int shown = 0;
    void showNotice() override { ++shown; }
};

struct FakeBrowserView final : DownloadBrowserView {
    DownloadBrowser* browser = nullptr;
    std::function<void()> whileShown;  // the user's doings while the dialog is up
    std::function<void()> onMessage;   // runs as the box is dismissed
    std::array<bool, 4> visible{};
    std::array<std::string, 4> pictures, labels;
    bool previous = false, next = false, note = false;
    std::string date, pageLabel, status1, status2;
    std::vector<std::string> messages;
    int clockStarts = 0;
    char separator = ',';

    void showModal() override {
        browser->FormShow();
        browser->FormActivate();
        if (whileShown) whileShown();
        browser->FormClose();
    }
    void setSlotVisible(int slot, bool v) override { visible.at(slot - 1) = v; }
    void setSlotPicture(int slot, const std::string& file) override { pictures.at(slot - 1) = file; }
    void setSlotLabel(int slot, const std::string& text) override { labels.at(slot - 1) = text; }
    void setPagingEnabled(bool p, bool n) override { previous = p, next = n; }
    void setDateLabel(const std::string& text) override { date = text; }
    void setPageLabel(const std::string& text) override { pageLabel = text; }
    void setNoteVisible(bool v) override { note = v; }
    void setStatus(StatusPanel panel, const std::string& text) override {
        (panel == StatusPanel::Progress ? status1 : status2) = text;
    }
    void startClock() override { ++clockStarts; }
    void showMessage(const std::string& text) override {
        messages.push_back(text);
        // Dismissing a box over the dialog activates the dialog again.
        if (onMessage) onMessage();
    }
    void repaint() override {}
    char decimalSeparator() const override { return separator; }
};

}  // namespace ostrel::testing
