#pragma once
// A main-window controller wired to fakes, with a temporary "Personal" folder.
#include <gtest/gtest.h>

#include <memory>

#include "app/MainController.h"
#include "imaging/BmpCodec.h"
#include "fakes/FakeDownloads.h"
#include "fakes/FakeHeaderReader.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeServices.h"
#include "fakes/TempDir.h"
#include "fakes/TestImages.h"
#include "list/ListFile.h"
#include "fakes/TestFileSystem.h"

namespace ostrel::testing {

struct ControllerTest : ::testing::Test {
    ControllerTest() {
        registry.setShellFolder("Personal", temp.path());
        rebuild();
    }

    void rebuild() {
        controller = std::make_unique<MainController>(
            Services{registry, files, desktop, tray, hotkeys, systemInfo, timers, clock, random, dialogs, chooser,
                     viewerView, optionsView, programPath, fetches, proxy, notice, browserView, headers},
            view);
        browserView.browser = &controller->downloadBrowser();
    }

    std::string dataFolder() const { return temp.path() + "\\Ostrel Wallpapers"; }
    std::string hostDataFolder() const { return temp.path() + "/Ostrel Wallpapers"; }

    // A solid-colour bitmap of the given size, in the temporary folder.
    std::string picture(const std::string& name, int w, int h) {
        return temp.write(name, bmpBytes(solidImage(w, h, {0x80, 0x80, 0x80})));
    }

    // Writes a working list of these paths before start-up.
    void workingList(const std::vector<std::string>& paths) {
        files.createDirectory(hostDataFolder());
        WallpaperList list;
        list.writeHeader();
        for (const auto& p : paths) list.appendEntry(p);
        ASSERT_TRUE(saveF(files, list, dataFolder() + "\\Default.tav"));
    }

    // n pictures p1..pn, picture i being i pixels wide, so the installed bitmap tells which one it was.
    void workingListOf(int n) {
        std::vector<std::string> paths;
        for (int i = 1; i <= n; ++i) paths.push_back(picture(pictureName(i), i, 1));
        workingList(paths);
    }
    // The working list of n pictures, then start-up.
    void startWithListOf(int n) {
        workingListOf(n);
        start();
    }
    static std::string pictureName(int i) {  // (+= : gcc 12 warns falsely on "p" + std::to_string(i))
        std::string name = "p";
        return (name += std::to_string(i)) += ".bmp";
    }

    void setting(const std::string& name, const std::string& value) {
        registry.set(RegistryRoot::CurrentUser, "RZ", name, value);
    }
    // Play on from the start, a change every so many seconds.
    void playEvery(int seconds) {
        setting("TimeInterval", std::to_string(seconds));
        setting("secund", "1");
        setting("playstat", "1");
    }
    std::string stored(const std::string& name) const {
        return registry.readString(RegistryRoot::CurrentUser, "RZ", name).value_or("<absent>");
    }

    void start(StartMode mode = {}) { quitAtOnce = controller->FormCreate(mode); }
    // The headers asked for so far are read first, as a posted result
    // arrives before a later timer.
    void advance(std::uint64_t ms) {
        headers.deliverAll();
        timers.advance(ms, [this](TimerId id) { controller->onTimer(id); });
    }
    // Sends queued hotkey ids the way the message queue would deliver them,
    // with the posted re-arm messages behind them.
    void deliverHotkeys(std::vector<std::uint32_t> queue) {
        for (std::size_t i = 0; i < queue.size(); ++i) {
            int before = view.rearms;
            controller->onHotkey(queue[i]);
            for (int k = before; k < view.rearms; ++k) queue.push_back(0);
        }
    }
    int current() const { return controller->settings().list.currentIndex; }

    OptionsController& options() { return controller->options(); }
    // Opens the options as the command does; the user's edits go to the form returned.
    OptionsForm& openOptions(Command command = Command::Options) {
        controller->onCommand(command);
        options().FormActivate();
        return options().form();
    }
    void chooseMode(bool OptionsForm::*mode) {
        OptionsForm& form = options().form();
        form.fixedMode = form.randomMode = form.dailyMode = false;
        form.*mode = true;
        options().onModeClicked();
    }
    // The daily mode at 10:30 (the minute list goes by tens).
    void chooseDailyAtHalfPastTen() {
        chooseMode(&OptionsForm::dailyMode);
        options().form().dailyHourItem = 10;
        options().form().dailyMinuteItem = 3;
    }

    std::optional<std::string> programPath = "C:\\Program Files\\Ostrel Wallpapers\\OstrelWallpapers.exe";
    TempDir temp;
    FakeRegistry registry;
    TestFileSystem files;
    FakeDesktop desktop;
    FakeTray tray;
    FakeHotkeys hotkeys;
    FakeSystemInfo systemInfo;
    FakeTimers timers;
    FakeClock clock;
    FakeRandom random;
    FakeDialogs dialogs;
    FakeFolderChooser chooser;
    FakeViewerView viewerView;
    FakeOptionsView optionsView;
    FakeFetches fetches;
    FakeHeaderReader headers{files};
    ProxySettings proxy;
    FakeNotice notice;
    FakeBrowserView browserView;
    FakeView view;
    std::unique_ptr<MainController> controller;
    bool quitAtOnce = false;
};

}  // namespace ostrel::testing
