#pragma once
// The main window's owner: it holds the settings and the subsystems (the
// working list, the changer and its scheduler), runs the creation and
// shutdown sequences, and routes the window's commands, timers, hotkeys and
// tray clicks to them. It knows no window handle; the window forwards
// messages here and implements MainView.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/Commands.h"
#include "app/MainView.h"
#include "app/NoticeView.h"
#include "app/OneBoxAtATime.h"
#include "app/OptionsController.h"
#include "app/OptionsView.h"
#include "app/PreviewFrame.h"
#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "app/StartMode.h"
#include "platform/WindowTimer.h"
#include "changer/ChangeScheduler.h"
#include "changer/FullScreenViewer.h"
#include "changer/ViewerView.h"
#include "changer/WallpaperChanger.h"
#include "download/AutoDownload.h"
#include "download/DownloadBrowser.h"
#include "download/FetchPort.h"
#include "download/ProxySettings.h"
#include "imaging/Image.h"
#include "list/FolderChooser.h"
#include "list/HeaderReader.h"
#include "list/ListController.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Hotkeys.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"
#include "platform/Timers.h"
#include "platform/Tray.h"

namespace ostrel {

struct Services {
    Registry& registry;
    FileSystem& files;
    Desktop& desktop;
    Tray& tray;
    Hotkeys& hotkeys;
    SystemInfo& systemInfo;
    TimerService& timers;
    Clock& clock;
    Random& random;
    Dialogs& dialogs;
    FolderChooser& folderChooser;
    ViewerView& viewerView;
    OptionsView& optionsView;
    // The program file's full path, for the autorun entry; nullopt when the
    // ANSI code page can write neither it nor its short form.
    std::optional<std::string> programPath;
    FetchPort& fetches;
    // The proxy the transfers go through, as the options set it for this run.
    ProxySettings& proxy;
    NoticeView& notice;
    DownloadBrowserView& browserView;
    // Reads the pictures' headers for the list's resolutions.
    HeaderReader& headers;
};

enum class TrayMouse { LeftDown, RightDown, Other };

class MainController {
public:
    MainController(Services services, MainView& view);

    // ---- start and end ----
    // The creation sequence. Answers true when the program is to end at once
    // (change-and-exit start, or ended while start-up showed a message).
    bool FormCreate(StartMode mode);
    // The shutdown sequence; runs at most once.
    void FormDestroy();
    void FormClose();   // title-bar close: hide to the tray
    void onMinimize();  // SC_MINIMIZE: hide to the tray
    // The window was shown or hidden, by this program or by a second copy of it.
    void onWindowShown(bool shown) { setWindowShown(shown); }
    void onEndSession(bool sessionEnds);  // WM_ENDSESSION
    void onTaskbarCreated();              // Explorer restarted: re-add the icon
    // The window went to a monitor of another DPI, or the scaling changed;
    // the view's scale() is already the new one. The window keeps its
    // designed client area and list edge: both are sized anew in its pixels.
    void onDpiChanged(DpiScale from, DpiScale to);

    // ---- input ----
    void onCommand(Command command);
    void onTimer(TimerId id);
    void onHotkey(std::uint32_t id);
    void onTrayMouse(TrayMouse mouse);
    void showHideToggle();
    void exitCommand();
    // The notice's "Остановить" (the notice closes itself).
    void stopFromNotice();

    // The work that decodes the picture the preview shows for a file, to run
    // on any thread while this lives; it gives nullopt when the file is
    // missing or cannot be decoded (the placeholder is shown then).
    std::function<std::optional<PreviewSource>(const std::function<bool()>& stillWanted)> previewDecoder(
        const std::string& path, ImageSize frame) const;

    // ---- the subsystems and the state the window reads ----
    ListController& listController() { return list_; }
    WallpaperChanger& changer() { return changer_; }
    ChangeScheduler& scheduler() { return scheduler_; }
    FullScreenViewer& viewer() { return viewer_; }
    OptionsController& options() { return options_; }
    DownloadBrowser& downloadBrowser() { return browser_; }
    // The program's boxes: the window's general error box keeps to their rules too.
    OneBoxAtATime& boxes() { return dialogs_; }
    const AutoDownload& autoDownload() const { return autoDownload_; }
    const ProxySettings& proxy() const { return s_.proxy; }
    const ChangeScheduler& scheduler() const { return scheduler_; }
    const WallpaperList& list() const { return list_.list(); }
    const GridState& grid() const { return list_.grid(); }
    const Settings& settings() const { return settings_; }
    Settings& mutableSettings() { return settings_; }
    const std::string& dataFolder() const { return dataFolder_; }
    const std::string& screenResolutionText() const { return list_.screenResolutionText(); }
    bool windowShown() const { return windowShown_; }
    bool hotkeyBusy() const { return hotkeyBusy_; }
    bool autoDownloading() const { return autoDownload_.autoDownloading(); }
    const std::string& showHideCaption() const { return showHideCaption_; }
    const std::string& runStopCaption() const { return scheduler_.runStopCaption(); }

private:
    // What the automatic download asks of the program.
    class AutoDownloadLink final : public AutoDownloadPort {
    public:
        explicit AutoDownloadLink(MainController& owner) : owner_(owner) {}
        void startFetch(const FetchRequest& request, const std::atomic<bool>& stop) override;
        void showNotice() override { owner_.s_.notice.showNotice(); }
        void terminate() override { owner_.view_.requestQuit(); }
        void addToList(const std::string& path) override { owner_.list_.addDownloaded(path); }

    private:
        MainController& owner_;
    };

    bool opensWindow(Command command) const;
    void stopDownloadCommand();
    void stopAllTimers();
    // The window shown or hidden: the list blinks its add button only while shown.
    void setWindowShown(bool shown);
    void saveSettings();  // unless the program is ending or its files are going
    void writeSettings();
    void removeProgramFiles();

    Services s_;
    MainView& view_;
    OneBoxAtATime dialogs_;
    SettingsStore store_;
    Settings settings_;
    std::string dataFolder_;
    ListController list_;
    WallpaperChanger changer_;
    ChangeScheduler scheduler_;
    FullScreenViewer viewer_;
    WindowTimer timerDownload_;
    OptionsController options_;
    AutoDownloadLink autoDownloadLink_{*this};
    AutoDownload autoDownload_;
    DownloadBrowser browser_;

    std::string showHideCaption_ = "Развернуть/свернуть";
    bool windowShown_ = true;
    bool hotkeyBusy_ = false;
    bool filesRemoved_ = false;
    bool shutdownDone_ = false;
    bool created_ = false;
    bool startupDone_ = false;  // the creation sequence ran to its end
};

}  // namespace ostrel
