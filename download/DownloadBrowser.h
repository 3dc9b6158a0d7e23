#pragma once
// The download browser (TLoadForm): the catalogue's newest pictures, four
// previews a page over 25 pages, and single pictures downloaded by a click.
// The index and the previews are fetched one at a time, each result going on
// with the next step; full-size pictures are fetched side by side.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/WindowTimer.h"
#include "download/CatalogueIndex.h"
#include "download/DownloadBrowserView.h"
#include "download/FetchPort.h"
#include "platform/FileSystem.h"

namespace ostrel {

inline constexpr std::uint32_t kBrowserTickMs = 100;

// What the browser reads from the rest of the program, when it needs it.
struct DownloadBrowserLinks {
    std::function<std::string()> dataFolder;
    std::function<std::string()> downloadFolder;  // "downfoad", ends in "\"
    std::function<std::string()> baseUrl;
    std::function<bool()> addvlist;
    // A finished picture joins the wallpaper list as a new last row.
    std::function<void(const std::string&)> addToList;
    // On closing: the working list saved and the prober restarted at row 1.
    std::function<void()> closed;
};

// One preview position of the page shown.
struct BrowserSlot {
    bool present = false;     // the index has a record here with a usable name
    std::string fullPath;     // server path of the picture
    std::string previewPath;  // server path of the preview
    std::string localName;    // of the preview path, n = 6
    std::string date;         // cut to 10 characters
    std::string label;        // the status text shown under it
};

class DownloadBrowser {
public:
    DownloadBrowser(FileSystem& files, FetchPort& fetches, TimerService& timers, DownloadBrowserView& view,
                    DownloadBrowserLinks links);

    // Shows the dialog modally (the menu's "Скачать новые   ").
    void show();
    bool showing() const { return showing_; }

    // ---- the dialog's events ----
    void FormShow();
    void FormActivate();
    void FormClose();
    void nextPage();      // ">>>"
    void previousPage();  // "<<<"
    void downloadpic(int slot);
    void statusTick();
    bool onTimer(TimerId id);

    // ---- state ----
    int page() const { return page_; }
    // The last page that has a record: 25, or fewer after a short index.
    int lastPage() const;
    const BrowserSlot& slot(int slot) const { return slots_[static_cast<std::size_t>(slot - 1)]; }
    const std::vector<std::string>& pending() const { return pending_; }
    const std::vector<std::string>& failed() const { return failed_; }
    std::uint64_t byteTotal() const { return byteTotal_; }

private:
    enum class After { Nothing, Start, Next, Previous };

    void startOver();
    void indexFetched(const FetchResult& result);
    // Showing a page: the slots of page_, then their previews one by one.
    void refresh(After after);
    void nextPreview();
    void previewFetched(const FetchResult& result);
    void pageShown();
    // An index or preview result that belongs to an earlier start.
    // Every browser fetch adds its bytes; true when the result is not to be
    // acted on (a start-over was asked for, or it belongs to an earlier one).
    bool stale(unsigned generation, const FetchResult& result);
    void connectionFailed(bool index);
    void pictureFetched(const std::string& url, const std::string& file, const FetchResult& result);
    void plusload(std::uint64_t count);
    void setLabel(int slot, const std::string& text);
    std::string catalogue() const;
    std::string slotUrl(int slot) const;

    FileSystem& files_;
    FetchPort& fetches_;
    DownloadBrowserView& view_;
    DownloadBrowserLinks links_;
    WindowTimer timer_;

    bool showing_ = false;
    std::atomic<bool> closing_{false};
    int page_ = 1;
    CatalogueIndex index_;
    std::array<BrowserSlot, kBrowserSlots> slots_;
    std::vector<std::string> pending_;  // full-size URLs being fetched
    std::vector<std::string> failed_;   // full-size URLs that failed, for the whole run
    std::uint64_t byteTotal_ = 0;       // over every showing in this run
    int animationStep_ = 0;
    std::string animation_;

    // The index or a preview is being fetched (one at a time); a start-over
    // asked for meanwhile waits for its result.
    bool fetching_ = false;
    bool startOverWanted_ = false;
    unsigned generation_ = 0;
    After after_ = After::Nothing;
    int nextSlot_ = 0;  // the slot whose preview comes next
    // A start-over that follows the dismissal of the connection message
    // reports a second failure in the status bar only, so that the dialog
    // can still be closed while the catalogue is out of reach.
    bool afterMessage_ = false;
    bool quietFailure_ = false;
};

}  // namespace ostrel
