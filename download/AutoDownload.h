#pragma once
// The automatic download of new catalogue pictures (downloadNew), run as a
// chain of events on the interface thread instead of a wait with a message
// pump: every fetch goes out through the port, and the caller hands its result
// back with onFetched. The steps and stop points keep their order.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "download/Fetch.h"
#include "platform/FileSystem.h"

namespace ostrel {

// TimerDownload's interval: before the first run, and after each run or stop.
inline constexpr std::uint32_t kFirstAutoDownloadDelayMs = 300000;
inline constexpr std::uint32_t kAutoDownloadIntervalMs = 60000000;

// What the run asks of the application.
class AutoDownloadPort {
public:
    virtual ~AutoDownloadPort() = default;
    // Runs the fetch on a worker, stopped by stop; its result comes back
    // through onFetched on the interface thread. One fetch at a time.
    virtual void startFetch(const FetchRequest& request, const std::atomic<bool>& stop) = 0;
    // Places the notice at the bottom right of the screen and shows it.
    virtual void showNotice() = 0;
    // Asks the application to end.
    virtual void terminate() = 0;
    // Append entry and Restart prober at row 1, by the list controller.
    virtual void addToList(const std::string& path) = 0;
};

// The settings the run reads, at the moment it needs them.
struct AutoDownloadSettings {
    std::function<std::string()> dataFolder;
    std::function<std::string()> downloadFolder;  // "downfoad", ends in "\"
    std::function<bool()> addvlist;
    std::function<std::string()> baseUrl;
};

class AutoDownload {
public:
    AutoDownload(FileSystem& fs, AutoDownloadPort& port, AutoDownloadSettings settings);

    // TimerDownload's tick: starts a run unless one is in progress or the
    // download browser is showing. True when a run started; the caller then
    // sets the timer to kAutoDownloadIntervalMs.
    bool tick(bool browserShowing);
    // The result of the fetch last started through the port.
    void onFetched(const FetchResult& result);

    // The notice's button and the tray item (the timer is the caller's).
    void requestStop() { stopDownload_ = true; }
    // An exit command: the run terminates the application after its fetch.
    void requestExit() {
        stopDownload_ = true;
        exitRequested_ = true;
    }

    bool autoDownloading() const { return autoDownloading_; }
    bool stopDownload() const { return stopDownload_; }

private:
    enum class Waiting { Nothing, Index, Picture };

    void indexFetched(const FetchResult& result);
    void pictureFetched(const FetchResult& result);
    // Goes on from the record at position_ until a fetch starts or the run ends.
    void nextRecord();
    void end(bool clearStop);
    std::string catalogue() const;

    FileSystem& fs_;
    AutoDownloadPort& port_;
    AutoDownloadSettings settings_;
    bool autoDownloading_ = false;
    std::atomic<bool> stopDownload_{false};  // read by the fetch in hand
    bool exitRequested_ = false;

    Waiting waiting_ = Waiting::Nothing;
    std::vector<std::string> records_;  // full paths of the index
    std::vector<std::string> loaded_;   // read once, at the start of the run
    std::size_t position_ = 0;          // one past the record in hand
    std::string picturePath_;           // local file of the fetch in hand
};

}  // namespace ostrel
