#pragma once
// In-memory stand-ins for the window and the platform services of the main
// window's logic: timers that fire when the test says so, a settable clock,
// and logs of what was asked of the tray, the desktop and the window.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/MainView.h"
#include "app/OptionsView.h"
#include "changer/ViewerView.h"
#include "list/FolderChooser.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/Hotkeys.h"
#include "platform/Random.h"
#include "platform/SystemInfo.h"
#include "platform/Timers.h"
#include "platform/Tray.h"

namespace ostrel::testing {

struct FakeTimers final : TimerService {
    void start(TimerId id, std::uint32_t intervalMs) override { running_[id] = {intervalMs, intervalMs}; }
    void stop(TimerId id) override { running_.erase(id); }

    bool running(TimerId id) const { return running_.count(id) != 0; }
    std::uint32_t interval(TimerId id) const { return running(id) ? running_.at(id).interval : 0; }

    // Moves time on by ms, firing every running timer whose countdown runs out,
    // in time order. The handler may start and stop timers.
    void advance(std::uint64_t ms, const std::function<void(TimerId)>& fire) {
        while (ms > 0) {
            std::uint64_t step = ms;
            for (auto& [id, t] : running_) step = std::min<std::uint64_t>(step, t.left);
            ms -= step;
            std::vector<TimerId> due;
            for (auto& [id, t] : running_)
                if ((t.left -= static_cast<std::uint32_t>(step)) == 0) due.push_back(id);
            for (TimerId id : due) {
                auto it = running_.find(id);
                if (it == running_.end() || it->second.left != 0) continue;  // stopped or restarted meanwhile
                it->second.left = it->second.interval;
                fire(id);
            }
        }
    }

private:
    struct Countdown {
        std::uint32_t interval, left;
    };
    std::map<TimerId, Countdown> running_;
};

struct FakeClock final : Clock {
    LocalTime time;
    LocalTime now() const override { return time; }
};

struct FakeTray final : Tray {
    bool present = false;
    int adds = 0;
    TrayIcon icon = TrayIcon::Stopped;
    std::string tip;

    void add(TrayIcon i, const std::string& t) override { modify(i, t), present = true, ++adds; }
    void modify(TrayIcon i, const std::string& t) override { icon = i, tip = t; }
    void remove() override { present = false; }
};

struct FakeHotkeys final : Hotkeys {
    static constexpr std::uint32_t kNext = 0xC101, kBack = 0xC102, kStart = 0xC103, kStop = 0xC104;
    bool registered = false;
    void registerAll() override { registered = true; }
    void unregisterAll() override { registered = false; }
    HotkeyAction actionOf(std::uint32_t id) const override {
        return id == kNext    ? HotkeyAction::Next
               : id == kBack  ? HotkeyAction::Back
               : id == kStart ? HotkeyAction::Start
               : id == kStop  ? HotkeyAction::Stop
                              : HotkeyAction::None;
    }
};

struct FakeDesktop final : Desktop {
    ScreenSize screen{1280, 1024};
    bool activeDesktop = false;
    int shellNotifications = 0;
    std::vector<std::string> reloads;
    bool failReload = false;  // the system call throws, as an unexpected error would

    ScreenSize screenSize() const override { return screen; }
    void reloadWallpaper(const std::string& path) override {
        if (failReload) throw std::runtime_error("reload failed");
        reloads.push_back(path);
    }
    bool activeDesktopPresent() const override { return activeDesktop; }
    void notifyShellAssocChanged() override { ++shellNotifications; }
};

struct FakeSystemInfo final : SystemInfo {
    // Each sample advances the clock by 10 s of wall time at the given load.
    void setLoad(int percent) { load_ = percent; }
    void failNext() { fail_ = true; }
    std::optional<LoadSample> sample() override {
        if (std::exchange(fail_, false)) return std::nullopt;
        time_ += 100000000;                              // 10 s in 100 ns units
        idle_ += 100000000LL * 2 * (100 - load_) / 100;  // two processors
        return LoadSample{2, time_, idle_};
    }

private:
    int load_ = 10;
    bool fail_ = false;
    std::int64_t time_ = 132000000000000000LL;
    std::int64_t idle_ = 1000000000LL;
};

struct FakeRandom final : Random {
    std::deque<std::int32_t> queued;  // answers used first (taken modulo n)
    std::mt19937 engine{12345};
    std::int32_t below(std::int32_t n) override {
        if (n <= 0) return 0;
        if (queued.empty()) return std::uniform_int_distribution<std::int32_t>(0, n - 1)(engine);
        const std::int32_t v = queued.front();
        queued.pop_front();
        return v % n;
    }
};

struct FakeDialogs final : Dialogs {
    std::vector<std::string> messages, questions;
    std::optional<std::string> nextFile;
    std::vector<FileDialogRequest> requests;
    // Run while a message box or a question is up, as the box's own message
    // loop would run timers and other messages; deepest counts boxes on top of each other.
    std::function<void()> whileShowing, whileAsking;
    int deepest = 0;
    std::deque<bool> answers;  // for askYesNo, Yes when none are left
    bool askYesNo(const std::string& text, const std::string& caption) override {
        questions.push_back(caption + ": " + text);
        if (whileAsking) whileAsking();
        const bool answer = answers.empty() || answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    void message(const std::string& text) override {
        messages.push_back(text);
        ++depth_;
        deepest = std::max(deepest, depth_);
        if (whileShowing) whileShowing();
        --depth_;
    }
    // Paths are named as they are.
    std::string pathForMessage(const std::string& pathAnsi) const override { return pathAnsi; }
    std::optional<std::string> saveFile(const FileDialogRequest& r) override {
        requests.push_back(r);
        return nextFile;
    }
    std::optional<std::string> openFile(const FileDialogRequest& r) override {
        requests.push_back(r);
        return nextFile;
    }

private:
    int depth_ = 0;
};

struct FakeView final : MainView {
    std::vector<std::pair<int, int>> changedRows;  // rowsChanged, in order
    int listChanges = 0;
    bool visible = false, playPressed = false, shufflePressed = false;
    int width = 900, height = 600, left = -1, top = -1;
    DpiScale dpi;
    int rearms = 0, quits = 0, placeholders = 0, blinks = 0;
    std::vector<std::string> previews;
    std::function<void()> whilePumping;  // what the pending messages run

    void showWindow() override { visible = true; }
    void hideWindow() override { visible = false; }
    DpiScale scale() const override { return dpi; }
    // A frame thicker at more DPI, but not in proportion, as Windows draws it.
    FrameSize frameAt(DpiScale at) const override { return at.dpi() == 96 ? FrameSize{8, 54} : FrameSize{10, 66}; }
    int windowWidth() const override { return width; }
    int windowHeight() const override { return height; }
    void setWindowSize(int w, int h) override {
        width = std::max(w, dpi(515));
        height = std::max(h, dpi(472));
    }
    void setWindowPosition(int l, int t) override {
        left = l;
        top = t;
    }
    void setPlayButtonPressed(bool p) override { playPressed = p; }
    void setShuffleButtonPressed(bool p) override { shufflePressed = p; }
    bool postHotkeyRearm() override { return ++rearms, true; }
    void requestQuit() override { ++quits; }
    void layOut() override {}
    void listChanged() override { ++listChanges; }
    void rowsChanged(int firstRow, int lastRow) override { changedRows.emplace_back(firstRow, lastRow); }
    void showPlaceholderPreview() override { ++placeholders; }
    void showPreview(const std::string& path) override { previews.push_back(path); }
    void processPendingMessages() override {
        if (whilePumping) whilePumping();
    }
    void blinkAddButton() override { ++blinks; }
    void stopAddButtonBlink() override { blinks = 0; }
};

// The full-screen viewer's window: whether it is up and the pictures it was given.
struct FakeViewerView final : ViewerView {
    bool shown = false;
    std::vector<Image> pictures;

    void showFullScreen() override { shown = true; }
    void showPicture(const Image& screen) override { pictures.push_back(screen); }
    void close() override { shown = false; }
};

// The options dialog: whether it is up, and the form as last shown.
struct FakeOptionsView final : OptionsView {
    bool shown = false;
    OptionsForm form;

    void showOptions(const OptionsForm& f) override { shown = true, form = f; }
    void displayOptions(const OptionsForm& f) override { form = f; }
    void closeOptions() override { shown = false; }
};

struct FakeFolderChooser final : FolderChooser {
    std::optional<FolderChoice> answer;  // nullopt: cancelled
    std::function<void()> whileOpen;     // what its modal loop runs
    std::optional<FolderChoice> choose(const std::string&) override {
        if (whileOpen) whileOpen();
        return answer;
    }
};

}  // namespace ostrel::testing
