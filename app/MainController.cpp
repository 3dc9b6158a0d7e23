#include "app/MainController.h"

#include <algorithm>
#include <utility>

#include "changer/BmpCodec.h"
#include "changer/PictureLoader.h"
#include "list/ImageProbe.h"
#include "list/ListFile.h"

namespace ostrel {
namespace {

constexpr const char* kProgramTitle = "Ostrel Wallpapers";
constexpr const char* kDesktopKey = "Control Panel\\desktop";
constexpr int kDefaultRowHeight = 15;
constexpr const char* kListFilter = "Файл листа(*.tav)|*.tav|Все файлы(*.*)|*.*";
constexpr const char* kOpenListFilter = "Файл листа(*.tav)|*.tav|Все файлы|*.tav";

std::string cutFolderText(const std::string& text) {
    return text.substr(0, std::min(text.size(), kFolderTextLimit));
}

}  // namespace

MainController::MainController(Services services, MainView& view)
    : s_(services),
      view_(view),
      store_(services.registry),
      timer1_(services.timers, TimerId::Change, 5000, false),
      timer2_(services.timers, TimerId::Prober, 11, false),
      timeout_(services.timers, TimerId::Countdown, 1000, false),
      chinTimer_(services.timers, TimerId::Daily, 1000, false),
      timerDelay_(services.timers, TimerId::Browsing, 10000, false),
      timer3_(services.timers, TimerId::Blink, 1000, false),
      timerDownload_(services.timers, TimerId::Download, 300000, false) {}

// ---------------------------------------------------------------- start and end

bool MainController::FormCreate(StartMode mode) {
    created_ = true;
    // 1. Run-time flags.
    windowShown_ = !mode.hiddenStart;
    hotkeyBusy_ = exitRequested_ = stopDownload_ = autoDownloading_ = false;
    elapsedSeconds_ = 0;
    history_ = ChangeHistory();
    // 2. The automatic download waits five minutes after start (download not built yet).
    timerDownload_.setInterval(300000);
    // 3. Settings store.
    store_.open();
    // 4. Grid preparation happens in the window.
    // 5.
    ScreenSize screen = s_.desktop.screenSize();
    screenResolutionText_ = ostrel::screenResolutionText(screen.width, screen.height);
    prober_.setProbeRow(1);
    timer2_.setEnabled(true);
    timerDelay_.setEnabled(true);
    // 6. Dropped files: accepted by the window once dropping is supported.
    // 7. Data folder.
    dataFolder_ = readDataFolder(s_.registry);
    s_.files.createDirectory(dataFolder_);  // failures (already there, no rights) are ignored
    s_.files.createDirectory(dataFolder_ + "\\download");
    s_.files.createDirectory(dataFolder_ + "\\walls");
    // A write cut short by a crash or power loss leaves its temporary file here.
    s_.files.removeStaleTemporaries(dataFolder_);
    // 8. Hotkeys.
    s_.hotkeys.registerAll();
    // 9. Minimising is turned into hiding by the window itself.
    // 10. Tray icon, the stopped icon until the play state is restored below.
    trayIcon_ = TrayIcon::Stopped;
    trayTip_ = kProgramTitle;
    s_.tray.add(trayIcon_, trayTip_);
    // 11. Settings.
    settings_ = store_.readAll(dataFolder_);
    view_.setWindowSize(settings_.windowWidth, settings_.windowHeight);
    // 12. Daily change.
    if (settings_.dailyMode) {
        chinTimer_.setEnabled(true);
        ChinTimerTimer();
    }
    // 13. Automatic download (its run is not built yet; the tick does nothing).
    timerDownload_.setEnabled(settings_.loadnew);
    // 14. Column widths belong to the grid.
    // 15. Centre the window.
    int w = view_.windowWidth(), h = view_.windowHeight();
    view_.setWindowPosition(static_cast<int>(roundHalfEven(screen.width - w, 2)),
                            static_cast<int>(roundHalfEven(screen.height - h, 2)));
    // 16. Restore the selection, then the play and shuffle state.
    if (currentIndex() >= 0) plistSelectCell(0, currentIndex());
    PlaybtnClick();
    shufleBtnClick();
    // 17. Change interval.
    if (auto ms = fixedIntervalMs(settings_.intervalValue, settings_.intervalUnit)) timer1_.setInterval(*ms);
    // 18. Download folder.
    store_.readDownloadFolder(settings_, dataFolder_);
    // 19. Colours belong to the window. 20. Header.
    list_.writeHeader();
    // 21. Working list. A file that is there but cannot be read (locked by
    // another program, no permission, a disk error) is the user's list all the
    // same: it stays protected from the default saves until the user decides.
    // The protection is on from the start, so that a failure before this step
    // cannot let an empty list be written over it either.
    const ListRead read = openF(s_.files, defaultListPath(), list_);
    keepDefaultListFile_ = read != ListRead::Loaded && s_.files.fileExists(defaultListPath());
    if (keepDefaultListFile_) {
        reportError("Не удалось прочитать рабочий список Default.tav. Программа не будет его "
                    "перезаписывать, пока вы сами не загрузите, не очистите или не сохраните список.");
        if (shutdownDone_) return true;  // the program was ended while the box was up
    }
    // 22. Limit the current entry, unless the list it belongs to was not read.
    if (!keepDefaultListFile_ && currentIndex() >= list_.rowCount()) setCurrentIndex(0);
    grid_.currentRow = currentIndex() > 0 ? currentIndex() : grid_.firstVisibleRow;
    grid_.selectionTop = grid_.currentRow;
    view_.listChanged();
    // 23. Change-and-exit start.
    if (mode.changeAndExit) {
        ChWall();
        FormDestroy();
        view_.requestQuit();
        return true;
    }
    // 24. Show the window unless started hidden.
    if (!mode.hiddenStart) {
        windowShown_ = true;
        view_.showWindow();
    } else {
        windowShown_ = false;
    }
    // 25.
    userBrowsing_ = false;
    AcTiveDescTop();
    plistSelectCell(0, grid_.currentRow);
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
    saveDefaultList();
    settings_.windowWidth = view_.windowWidth();
    settings_.windowHeight = view_.windowHeight();
    if (!store_.saveoptions(settings_, s_.desktop.screenSize()))
        reportError("Не удалось записать настройки в реестр.");
}

void MainController::stopAllTimers() {
    for (WindowTimer* timer : {&timer1_, &timer2_, &timeout_, &chinTimer_, &timerDelay_, &timer3_, &timerDownload_})
        timer->setEnabled(false);
}

void MainController::reportError(const std::string& textUtf8) {
    // Timers go on firing inside a message box's loop; a lasting failure (a
    // full disk, say) must not pile box upon box. Another error that comes up
    // meanwhile is shown once the box is closed; the same one again is not.
    if (errorBoxShown_) {
        if (textUtf8 != shownError_) pendingError_ = textUtf8;
        return;
    }
    errorBoxShown_ = true;
    struct Reset {
        MainController& c;
        ~Reset() {
            c.errorBoxShown_ = false;
            c.shownError_.clear();
        }
    } reset{*this};
    for (std::string text = textUtf8; !text.empty(); text = std::exchange(pendingError_, {})) {
        shownError_ = text;
        s_.dialogs.message(text);
    }
}

void MainController::FormClose() {
    view_.hideWindow();
    windowShown_ = false;
}

void MainController::onMinimize() { showHideToggle(); }

void MainController::onEndSession(bool sessionEnds) {
    if (!sessionEnds) return;
    // The system may end the process as soon as this message is answered, so the
    // list and the settings are saved now rather than after the loop ends.
    FormDestroy();
    view_.requestQuit();
}

void MainController::onTaskbarCreated() {
    trayTip_ = kProgramTitle;
    s_.tray.add(trayIcon_, trayTip_);
}

void MainController::exitCommand() {
    stopDownload_ = true;
    exitRequested_ = true;
    view_.requestQuit();
}

// ---------------------------------------------------------------- input

void MainController::onCommand(Command command) {
    if (shutdownDone_) return;  // the last save has been made
    switch (command) {
        case Command::Next: ChWall(); break;
        case Command::Back: golast(); break;
        case Command::SaveList: N2Click(); break;
        case Command::LoadList: N3Click(); break;
        case Command::ClearList: N4Click(); break;
        case Command::Exit: exitCommand(); break;
        case Command::PlayToggle: PlaybtnClick(); break;
        case Command::ShowHide: showHideToggle(); break;
        case Command::StopDownload:
            stopDownload_ = true;
            timerDownload_.setInterval(60000000);
            break;
        case Command::InstallSelected: installSelected(); break;
        case Command::ShuffleToggle: shufleBtnClick(); break;
        case Command::OpenDownloads:  // download browser: not built yet
        case Command::Options:        // options dialog: not built yet
        case Command::Help:           // help window: not built yet
        case Command::About:          // about box: not built yet
            break;
    }
}

void MainController::onTimer(TimerId id) {
    if (shutdownDone_) return;  // a tick queued before the timers were stopped
    switch (id) {
        case TimerId::Change: Timer1Timer(); break;
        case TimerId::Prober: Timer2Timer(); break;
        case TimerId::Countdown: timeoutTimer(); break;
        case TimerId::Daily: ChinTimerTimer(); break;
        case TimerId::Browsing: TimerDelayTimer(); break;
        case TimerId::Blink:     // add-button blinking: comes with the toolbar
        case TimerId::Download:  // automatic download: not built yet
            break;
    }
}

void MainController::onHotkey(std::uint32_t id) {
    if (shutdownDone_) return;
    HotkeyAction action = s_.hotkeys.actionOf(id);
    if (!hotkeyBusy_ && (action == HotkeyAction::Next || action == HotkeyAction::Back)) {
        hotkeyBusy_ = true;
        try {
            action == HotkeyAction::Next ? ChWall() : golast();
        } catch (...) {
            hotkeyBusy_ = false;  // no re-arm message follows: the keys must stay alive
            throw;
        }
    }
    if (id == 0) {
        hotkeyBusy_ = false;
        return;
    }
    if (action == HotkeyAction::Start) {
        settings_.playing = false;
        PlaybtnClick();
    } else if (action == HotkeyAction::Stop) {
        settings_.playing = true;
        PlaybtnClick();
    }
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

void MainController::plistSelectCell(int /*column*/, int row) {
    userBrowsing_ = true;
    timerDelay_.setEnabled(false);
    timerDelay_.setEnabled(true);
    if (row <= 0 || row >= list_.rowCount()) return;
    if (list_.resolution(row).find('x') == std::string::npos)
        list_.setCell(ResolutionColumn, row, resolutionText(s_.files, list_.path(row)));
    view_.showPreview(list_.path(row));
}

// ---------------------------------------------------------------- change sequencing

void MainController::ChWall() {
    int count = list_.entryCount();
    if (count <= 0) return;
    if (currentIndex() <= 0 || currentIndex() > count) setCurrentIndex(1);
    history_.push(currentIndex());
    if (settings_.shuffle) {
        if (count >= 2) {
            std::int32_t next;
            do {
                next = 1 + s_.random.below(count);
            } while (next == currentIndex());
            setCurrentIndex(next);
        } else {
            setCurrentIndex(1);
        }
        SetWall();
    } else {
        setCurrentIndex(currentIndex() + 1 > count ? 1 : currentIndex() + 1);
        // An entry with an empty path installs nothing; the next step moves on from it.
        if (!list_.path(currentIndex()).empty()) SetWall();
    }
}

bool MainController::stepBack() {
    int q = history_.previousSlot();
    if (history_.slot(q) == 0) return false;
    history_.setPosition(q);
    setCurrentIndex(history_.slot(q));
    return true;
}

void MainController::golast() {
    if (stepBack()) SetWall();
}

void MainController::installSelected() {
    int row = grid_.selectionTop;
    if (list_.path(row).empty()) return;
    history_.push(currentIndex());
    setCurrentIndex(row);
    SetWall();
}

void MainController::SetWall() {
    // An unusable entry falls back to the one before it in the history. One turn
    // of the ring at most: a history full of unusable entries must not loop forever.
    for (int fallbacks = 0;; ++fallbacks) {
        if (tryInstallCurrent()) break;
        view_.showPlaceholderPreview();
        if (fallbacks >= ChangeHistory::kSlots || !stepBack()) break;
    }
    view_.listChanged();
}

// True when the entry was installed, or when an error was shown that must not
// lead on to the history; false when its file is missing or cannot be decoded.
bool MainController::tryInstallCurrent() {
    const std::string path = list_.path(currentIndex());
    if (path.empty() || !s_.files.fileExists(path)) return false;
    settings_.currentPath = path;
    std::optional<Image> picture =
        loadWallpaperPicture(s_.files, path, settings_.fitToScreen, s_.desktop.screenSize());
    if (!picture) return false;

    const std::string bitmapPath = wallpaperBitmapPath();
    auto out = s_.files.openReplace(bitmapPath);
    if (!out || !writeBmp24(*picture, *out) || !out->commit()) {
        reportError("Не удалось записать файл обоев.");
        return true;
    }
    if (!s_.registry.writeString(RegistryRoot::CurrentUser, kDesktopKey, "Wallpaper", bitmapPath) ||
        !s_.registry.writeString(RegistryRoot::CurrentUser, kDesktopKey, "TileWallpaper", "0") ||
        !s_.registry.writeString(RegistryRoot::CurrentUser, kDesktopKey, "WallpaperStyle",
                                 settings_.wallpaperStyle)) {
        reportError("Не удалось записать параметры рабочего стола в реестр.");
        return true;
    }
    s_.desktop.reloadWallpaper(bitmapPath);
    if (activeDesktop_) AcTiveDescTop();
    return true;
}

void MainController::AcTiveDescTop() {
    activeDesktop_ = s_.desktop.activeDesktopPresent();
    if (activeDesktop_) s_.desktop.notifyShellAssocChanged();
}

void MainController::gotoselected() {
    int visibleRows = static_cast<int>(roundHalfEven(grid_.heightPixels - 3 * kDefaultRowHeight, kDefaultRowHeight));
    int top = grid_.firstVisibleRow;
    int ci = currentIndex();
    if (top <= ci && ci <= top + visibleRows) return;
    if (ci > 0 && ci < list_.rowCount()) {
        grid_.firstVisibleRow = std::max(1, std::min(ci, list_.rowCount() - visibleRows - 1));
        view_.listChanged();
    }
}

// ---------------------------------------------------------------- scheduler

void MainController::PlaybtnClick() {
    if (settings_.dailyMode) {
        playButtonPressed_ = false;
        view_.setPlayButtonPressed(false);
        return;
    }
    settings_.playing = !settings_.playing;
    playButtonPressed_ = settings_.playing;
    view_.setPlayButtonPressed(settings_.playing);
    if (settings_.playing) {
        timer1_.setEnabled(true);
        elapsedSeconds_ = 0;
        timeout_.setEnabled(true);
        runStopCaption_ = "Остановить смену обоев";
        trayIcon_ = TrayIcon::Playing;
    } else {
        timer1_.setEnabled(false);
        timeout_.setEnabled(false);
        runStopCaption_ = "Запустить смену обоев";
        trayIcon_ = TrayIcon::Stopped;
        trayTip_ = kProgramTitle;
    }
    updateTray();
}

void MainController::shufleBtnClick() {
    settings_.shuffle = !settings_.shuffle;
    view_.setShuffleButtonPressed(settings_.shuffle);
}

void MainController::showHideToggle() {
    if (windowShown_) {
        view_.hideWindow();
        windowShown_ = false;
    } else {
        view_.showWindow();
        windowShown_ = true;
    }
}

void MainController::Timer1Timer() {
    ++tickCount_;
    if (settings_.randomInterval) {
        std::int64_t from = settings_.timeFromMs;
        std::int64_t span = static_cast<std::int64_t>(settings_.timeToMs) - from;
        std::int64_t wait = from + (span > 0 ? s_.random.below(static_cast<std::int32_t>(std::min<std::int64_t>(span, INT32_MAX))) : 0);
        // A range edited by hand in the registry must not make the timer spin or stop.
        timer1_.setInterval(static_cast<std::uint32_t>(std::clamp<std::int64_t>(wait, 1000, INT32_MAX)));
    }
    elapsedSeconds_ = 0;
    std::optional<int> load = loadGate_.Proc(s_.systemInfo.sample());
    if (!load || *load > 50) return;
    if (tickCount_ >= 10) {
        tickCount_ = 0;
        AcTiveDescTop();
    }
    ChWall();
    if (!userBrowsing_) gotoselected();
}

void MainController::timeoutTimer() {
    ++elapsedSeconds_;
    if (static_cast<std::int64_t>(elapsedSeconds_) * 1000 == timer1_.interval()) elapsedSeconds_ = 0;
    if (playButtonPressed_) {
        trayTip_ = std::string(kProgramTitle) + " - " + timetoch(timer1_.interval(), elapsedSeconds_);
        updateTray();
    }
}

void MainController::ChinTimerTimer() {
    LocalTime now = s_.clock.now();
    if (now.hour == settings_.dailyHour && now.minute == settings_.dailyMinute) {
        ChWall();
        chinTimer_.setInterval(kDailyHourMs);
        return;
    }
    chinTimer_.setInterval(dailyCheckDelayMs(now.hour, now.minute, settings_.dailyHour, settings_.dailyMinute));
}

void MainController::applyScheduleOptions(const ScheduleChoice& choice) {
    settings_.randomInterval = choice.randomInterval;
    settings_.timeFromMs = static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{choice.timeFromMinutes} * 60000, 0, INT32_MAX));
    settings_.timeToMs = static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{choice.timeToMinutes} * 60000, 0, INT32_MAX));
    settings_.intervalUnit = choice.intervalUnit;
    if (settings_.randomInterval) {
        timer1_.setInterval(static_cast<std::uint32_t>(settings_.timeFromMs));
    } else {
        settings_.intervalValue = choice.intervalValue;
        if (auto ms = fixedIntervalMs(settings_.intervalValue, settings_.intervalUnit)) timer1_.setInterval(*ms);
    }
    if (choice.dailyMode) {
        if (settings_.playing) PlaybtnClick();  // interval playback stops before the daily mode begins
        settings_.dailyMode = true;
    } else {
        settings_.dailyMode = false;
    }
    if (settings_.dailyMode) {
        settings_.dailyHour = choice.dailyHour;
        settings_.dailyMinute = choice.dailyMinute;
        chinTimer_.setEnabled(true);
        ChinTimerTimer();
    } else {
        chinTimer_.setEnabled(false);
    }
    elapsedSeconds_ = 0;
    settings_.shuffle = !choice.shuffle;
    shufleBtnClick();
}

void MainController::TimerDelayTimer() {
    userBrowsing_ = false;
    timerDelay_.setEnabled(false);
}

void MainController::Timer2Timer() {
    Prober::TickResult result = prober_.tick(s_.files, list_);
    if (result == Prober::TickResult::Nothing) return;
    if (result == Prober::TickResult::Finished) {
        timer2_.setEnabled(false);
        saveDefaultList();
    }
    view_.listChanged();
}

void MainController::updateTray() { s_.tray.modify(trayIcon_, trayTip_); }

// ---------------------------------------------------------------- list commands

void MainController::restartProber(int row) {
    prober_.setProbeRow(row);
    timer2_.setEnabled(true);
}

void MainController::saveDefaultList() {
    if (keepDefaultListFile_) return;  // the unread working list stays as it is
    if (!saveF(s_.files, list_, defaultListPath()))
        reportError("Не удалось записать файл списка Default.tav.");
}

void MainController::N2Click() {
    auto chosen = s_.dialogs.saveFile({settings_.lastsave, kListFilter, "tav"});
    if (!chosen) return;
    if (!saveF(s_.files, list_, *chosen)) {
        reportError("Не удалось записать файл листа.");
        return;
    }
    keepDefaultListFile_ = false;  // the user has made the list theirs again
    settings_.lastsave = cutFolderText(*chosen);
    list_.fixHeaderIfEntries();
}

void MainController::N3Click() {
    auto chosen = s_.dialogs.openFile({settings_.lastsave, kOpenListFilter, "tav"});
    if (!chosen) return;
    switch (openF(s_.files, *chosen, list_)) {
        case ListRead::Loaded: keepDefaultListFile_ = false; break;
        case ListRead::NotOpened: break;  // ignored, as a list file always was
        case ListRead::ReadFailed: reportError("Не удалось прочитать файл листа."); break;
    }
    settings_.lastsave = cutFolderText(*chosen);
    list_.fixHeaderIfEntries();
    restartProber(0);
    view_.listChanged();
}

void MainController::N4Click() {
    keepDefaultListFile_ = false;
    list_.clear();
    view_.listChanged();
}

}  // namespace ostrel
