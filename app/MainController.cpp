#include "app/MainController.h"

#include "base/Rounding.h"
#include "changer/FitToScreen.h"
#include "app/PreviewFrame.h"
#include "app/ProgramRemoval.h"
#include "download/CatalogueUrls.h"
#include "platform/ReadsWhileWanted.h"

namespace ostrel {

MainController::MainController(Services services, MainView& view)
    : s_(services),
      view_(view),
      dialogs_(services.dialogs),
      store_(services.registry, services.files),
      list_(services.files, dialogs_, services.folderChooser, services.timers, services.headers, settings_.list, view,
            dataFolder_),
      changer_({services.files, services.registry, services.desktop, services.random, dialogs_}, list_.list(),
               settings_.list, settings_.changer, view, dataFolder_),
      scheduler_({services.timers, services.systemInfo, services.clock, services.random, services.tray},
                 settings_.schedule, view, changer_,
                 {[this] { return list_.userBrowsing(); }, [this] { list_.gotoselected(); }}),
      viewer_(services.files, services.desktop, list_, services.viewerView),
      timerDownload_(services.timers, TimerId::Download, kFirstAutoDownloadDelayMs, false),
      options_({services.registry, dialogs_, scheduler_, changer_, viewer_, timerDownload_, services.proxy,
                services.programPath, [this] { saveSettings(); }, [this] { removeProgramFiles(); }},
               settings_, services.optionsView),
      autoDownload_(services.files, autoDownloadLink_,
                    {[this] { return dataFolder_; }, [this] { return settings_.download.downfoad; },
                     [this] { return settings_.download.addvlist; }, [] { return catalogueBaseUrl(); }}),
      browser_(services.files, services.fetches, services.timers, services.browserView,
               {[this] { return dataFolder_; }, [this] { return settings_.download.downfoad; },
                [] { return catalogueBaseUrl(); }, [this] { return settings_.download.addvlist; },
                [this](const std::string& path) {
                    if (!shutdownDone_ && !filesRemoved_) list_.addFetchedPicture(path);
                },
                [this] {
                    // Nothing is saved once the last save is made or the files are going.
                    if (!shutdownDone_ && !filesRemoved_) list_.browserClosed();
                }}) {
    list_.setInstaller([this](int row) {
        if (!filesRemoved_) changer_.installEntry(row);  // nothing is written once the files are being removed
    });
    list_.setViewer(viewer_);
}

// ---------------------------------------------------------------- start and end

bool MainController::FormCreate(StartMode mode) {
    created_ = true;
    windowShown_ = !mode.hiddenStart;
    hotkeyBusy_ = false;
    changer_.resetHistory();
    // The automatic download waits five minutes after start.
    timerDownload_.setInterval(kFirstAutoDownloadDelayMs);
    store_.open();
    const ScreenSize screen = s_.desktop.screenSize();
    list_.setScreenSize(screen.width, screen.height);
    list_.startTimers();
    dataFolder_ = readDataFolder(s_.registry);
    s_.files.createDirectory(dataFolder_);  // failures (already there, no rights) are ignored
    s_.files.createDirectory(dataFolder_ + "\\download");
    s_.files.createDirectory(dataFolder_ + "\\walls");
    // A write cut short by a crash or power loss leaves its temporary file here.
    s_.files.removeStaleTemporaries(dataFolder_);
    s_.hotkeys.registerAll();
    // The tray icon, the stopped icon until the play state is restored below.
    // A start that only changes the wallpaper and ends shows none: the icon
    // would flash, and taking it away again waits for the taskbar, which is
    // busy with the new wallpaper.
    if (!mode.changeAndExit) scheduler_.addTrayIcon();
    settings_ = store_.readAll(dataFolder_);
    const DpiScale scale = view_.scale();
    settings_.window = settings_.window.inPixels(scale, view_.frameAt({}), view_.frameAt(scale));
    view_.setWindowSize(settings_.window.windowWidth, settings_.window.windowHeight);
    // The daily change is checked at the end, once the working list is there.
    timerDownload_.setEnabled(settings_.download.loadnew);
    // Centred on the screen.
    int w = view_.windowWidth(), h = view_.windowHeight();
    view_.setWindowPosition(static_cast<int>(roundHalfEven(screen.width - w, 2)),
                            static_cast<int>(roundHalfEven(screen.height - h, 2)));
    // Restore the selection, then the play and shuffle state.
    if (settings_.list.currentIndex >= 0) list_.plistSelectCell(0, settings_.list.currentIndex);
    scheduler_.PlaybtnClick();
    changer_.shufleBtnClick();
    scheduler_.applyFixedInterval();
    store_.readDownloadFolder(settings_, dataFolder_);
    // A transfer the program's end cut short leaves its temporary file beside its target.
    s_.files.removeStaleTemporaries(catalogueFolder(dataFolder_));
    s_.files.removeStaleTemporaries(settings_.download.downfoad);
    list_.model().mutableList().writeHeader();
    if (!list_.model().openWorkingList()) {
        dialogs_.message(
            "Не удалось прочитать рабочий список Default.tav. Программа не будет его "
            "перезаписывать, пока вы сами не загрузите, не очистите или не сохраните список.");
        if (shutdownDone_) return true;  // the program was ended while the box was up
    }
    list_.limitCurrentEntry();
    // Started to change the wallpaper and end.
    if (mode.changeAndExit) {
        changer_.ChWall();
        startupDone_ = true;
        FormDestroy();
        view_.requestQuit();
        return true;
    }
    // The resolutions the working list lacks are read from here on.
    list_.startProber();
    if (!mode.hiddenStart) {
        setWindowShown(true);
        view_.showWindow();
    } else {
        setWindowShown(false);
    }
    changer_.AcTiveDescTop();
    view_.layOut();
    list_.plistSelectCell(0, list_.grid().currentRow);
    startupDone_ = true;
    // Started in the set minute (at logon at the set time), the day's change is made now.
    scheduler_.startDailyCheck();
    return false;
}

void MainController::FormDestroy() {
    if (!created_ || shutdownDone_) return;
    shutdownDone_ = true;
    // No change, probe or save may run from a timer while a box below is up,
    // nor after the list and the settings have been saved for the last time.
    stopAllTimers();
    s_.hotkeys.unregisterAll();
    s_.tray.remove();
    if (filesRemoved_) {
        store_.deleteAll();
        return;
    }
    // Ended half-way through start-up (the session ending meanwhile): nothing
    // of the user's has changed yet, and a half-read state must not be saved
    // over the settings and the list.
    if (!startupDone_) {
        list_.model().stopSaving();
        return;
    }
    list_.model().saveForTheLastTime();
    viewer_.close();
    writeSettings();
}

void MainController::saveSettings() {
    // Once the program ends or its files go, nothing but the shutdown writes
    // them: an options apply that a box held up until then must not bring the
    // key back or write over the last save.
    if (shutdownDone_ || filesRemoved_) return;
    writeSettings();
}

void MainController::writeSettings() {
    settings_.window.windowWidth = view_.windowWidth();
    settings_.window.windowHeight = view_.windowHeight();
    // Stored in designed units, and held against the screen in the same units.
    const DpiScale scale = view_.scale();
    Settings stored = settings_;
    stored.window = settings_.window.inDesignedUnits(scale, view_.frameAt({}), view_.frameAt(scale));
    const ScreenSize screen = s_.desktop.screenSize();
    if (!store_.saveoptions(stored, {scale.designed(screen.width), scale.designed(screen.height)}))
        dialogs_.message("Не удалось записать настройки в реестр.");
}

void MainController::onDpiChanged(DpiScale from, DpiScale to) {
    WindowSettings& window = settings_.window;
    window.windowWidth = view_.windowWidth();
    window.windowHeight = view_.windowHeight();
    const FrameSize designedFrame = view_.frameAt({});
    window =
        window.inDesignedUnits(from, designedFrame, view_.frameAt(from)).inPixels(to, designedFrame, view_.frameAt(to));
    view_.setWindowSize(window.windowWidth, window.windowHeight);
}

void MainController::removeProgramFiles() {
    if (removalAllowed(dataFolder_)) {
        // From here on nothing of the program's may be written again: no change,
        // probe or save into the folder being deleted, also not from a timer or
        // a hotkey while a box about an undeletable file is up, nor at shutdown.
        filesRemoved_ = true;
        list_.model().stopSaving();
        stopAllTimers();
        // Nor by a transfer: it would keep a file open in the folder being deleted.
        autoDownload_.requestStop();
        (void)s_.fetches.stopAll(kTransfersEndWait);
    }
    if (!ostrel::removeProgramFiles(s_.registry, s_.files, dialogs_, dataFolder_)) return;
    exitCommand();
}

void MainController::stopAllTimers() {
    list_.stopTimers();
    scheduler_.stopTimers();
    timerDownload_.setEnabled(false);
}

void MainController::FormClose() {
    view_.hideWindow();
    setWindowShown(false);
}

void MainController::onMinimize() { showHideToggle(); }

void MainController::onEndSession(bool sessionEnds) {
    if (!sessionEnds) return;
    // The system may end the process as soon as this message is answered, so the
    // list and the settings are saved now rather than after the loop ends.
    FormDestroy();
    view_.requestQuit();
}

void MainController::onTaskbarCreated() { scheduler_.addTrayIcon(); }

void MainController::exitCommand() {
    // A fetch in hand stops at once and keeps nothing.
    autoDownload_.requestExit();
    view_.requestQuit();
}

void MainController::stopDownloadCommand() {
    autoDownload_.requestStop();
    timerDownload_.setInterval(kAutoDownloadIntervalMs);
}

void MainController::stopFromNotice() {
    if (shutdownDone_ || filesRemoved_) return;
    stopDownloadCommand();
}

void MainController::AutoDownloadLink::startFetch(const FetchRequest& request, const std::atomic<bool>& stop) {
    owner_.s_.fetches.startFetch(request, stop, [this](const FetchResult& result) {
        MainController& c = owner_;
        if (c.shutdownDone_ || c.filesRemoved_) return;  // nothing more is written
        c.autoDownload_.onFetched(result);
        // After every run the next one is 16 h 40 min away.
        if (!c.autoDownload_.autoDownloading()) c.timerDownload_.setInterval(kAutoDownloadIntervalMs);
    });
}

// ---------------------------------------------------------------- input

// Commands that open a window of their own. The full-screen viewer stays on
// top of everything, so it closes first: the window then stands in front and
// takes the keys the user sees it take.
bool MainController::opensWindow(Command command) const {
    switch (command) {
    case Command::SaveList:
    case Command::LoadList:
    case Command::AddFolder:
    case Command::AddFile:
    case Command::OpenDownloads:
    case Command::ScheduleOptions:
    case Command::Options:
    case Command::Help:
    case Command::About: return true;
    case Command::DownloadButton: return !autoDownload_.autoDownloading();
    default: return false;
    }
}

void MainController::onCommand(Command command) {
    if (shutdownDone_ || filesRemoved_) return;  // the last save has been made, or nothing may be saved
    if (opensWindow(command)) viewer_.close();
    switch (command) {
    case Command::Next: changer_.ChWall(); break;
    case Command::Back: changer_.golast(); break;
    case Command::SaveList: list_.saveListAs(); break;
    case Command::LoadList: list_.loadList(); break;
    case Command::ClearList: list_.clearList(); break;
    case Command::Exit: exitCommand(); break;
    case Command::PlayToggle: scheduler_.PlaybtnClick(); break;
    case Command::ShowHide: showHideToggle(); break;
    case Command::StopDownload: stopDownloadCommand(); break;
    case Command::InstallSelected: changer_.installEntry(list_.grid().selectionTop); break;
    case Command::ShuffleToggle: changer_.shufleBtnClick(); break;
    case Command::AddFolder: list_.AddBtnClick(); break;
    case Command::AddFile: list_.filebtnClick(); break;
    case Command::SortByName: list_.sortByName(); break;
    case Command::SortByResolution: list_.sortByResolution(); break;
    case Command::SortAscending: list_.orderAscending(); break;
    case Command::SortDescending: list_.orderDescending(); break;
    case Command::RemoveFromList: list_.removeSelectedRowsFromList(); break;
    case Command::DeleteFile: list_.deleteSelectedFiles(); break;
    case Command::FullScreen: viewer_.open(); break;
    case Command::DownloadButton:
        if (autoDownload_.autoDownloading()) break;
        [[fallthrough]];
    case Command::OpenDownloads: browser_.show(); break;
    case Command::ScheduleOptions: options_.option(OptionsPage::Changing); break;
    case Command::Options: options_.option(OptionsPage::General); break;
    case Command::Help:  // windows of the interface alone: the window opens them after this
    case Command::About: break;
    }
}

void MainController::onTimer(TimerId id) {
    if (shutdownDone_ || filesRemoved_) return;  // a tick queued before the timers were stopped
    // A tick's errors come back with the next tick: one box at a time for them.
    const OneBoxAtATime::Background background(dialogs_);
    if (list_.onTimer(id) || scheduler_.onTimer(id) || browser_.onTimer(id)) return;
    if (id == TimerId::Download) autoDownload_.tick(browser_.showing());
}

void MainController::onHotkey(std::uint32_t id) {
    if (shutdownDone_ || filesRemoved_) return;
    HotkeyAction action = s_.hotkeys.actionOf(id);
    if (!hotkeyBusy_ && (action == HotkeyAction::Next || action == HotkeyAction::Back)) {
        hotkeyBusy_ = true;
        try {
            action == HotkeyAction::Next ? changer_.ChWall() : changer_.golast();
        } catch (...) {
            hotkeyBusy_ = false;  // no re-arm message follows: the keys must stay alive
            throw;
        }
    }
    if (id == 0) {
        hotkeyBusy_ = false;
        return;
    }
    if (action == HotkeyAction::Start) scheduler_.start();
    if (action == HotkeyAction::Stop) scheduler_.stop();
    // Queued repeats of next/back find the flag set and are dropped; this message
    // arrives after them and re-arms the keys. Without it they would stay dead.
    if (hotkeyBusy_ && !view_.postHotkeyRearm()) hotkeyBusy_ = false;
}

void MainController::onTrayMouse(TrayMouse mouse) {
    if (mouse == TrayMouse::RightDown)
        showHideCaption_ = windowShown_ ? "Свернуть" : "Развернуть";
    else if (mouse == TrayMouse::LeftDown)
        showHideToggle();
}

void MainController::showHideToggle() {
    // The full-screen view goes with it: over a hidden window it would keep the
    // screen with nothing to take the keys, and a window shown belongs in front.
    viewer_.close();
    if (windowShown_) {
        view_.hideWindow();
        setWindowShown(false);
    } else {
        view_.showWindow();
        setWindowShown(true);
    }
}

void MainController::setWindowShown(bool shown) {
    windowShown_ = shown;
    list_.setWindowShown(shown);
}

std::function<std::optional<PreviewSource>(const std::function<bool()>&)> MainController::previewDecoder(
    const std::string& path, ImageSize frame) const {
    // A decode the user has moved past stops at its next read.
    return [&files = s_.files, path, frame](const std::function<bool()>& stillWanted) {
        return loadPreviewSource(ReadsWhileWanted(files, stillWanted), path, frame);
    };
}

}  // namespace ostrel
