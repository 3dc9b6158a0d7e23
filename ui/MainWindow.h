#pragma once
// The main window "TMainForm": it turns window messages into calls of the
// controller and shows what the controller holds. A hidden top-level window
// owns it, which keeps the program off the taskbar.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/MainController.h"
#include "app/MainView.h"
#include "platform/win32/UniqueHandle.h"
#include "ui/PreviewPicture.h"

namespace ostrel::ui {

class MainWindow final : public MainView {
public:
    MainWindow(HINSTANCE instance, UINT taskbarCreatedMessage);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the hidden application window and the main window; neither is shown.
    [[nodiscard]] bool create();
    // Destroys both windows, if they still exist.
    void destroy();
    HWND hwnd() const { return hwnd_; }

    // Messages reach the controller once it is attached; nullptr detaches.
    void attach(MainController* controller);
    // The menu shortcuts; true when msg was one of them and has been handled.
    bool translateAccelerator(MSG& msg);

    // MainView
    void showWindow() override;
    void hideWindow() override;
    int windowWidth() const override;
    int windowHeight() const override;
    void setWindowSize(int width, int height) override;
    void setWindowPosition(int left, int top) override;
    void setPlayButtonPressed(bool pressed) override { playPressed_ = pressed; }
    void setShuffleButtonPressed(bool pressed) override { shufflePressed_ = pressed; }
    bool postHotkeyRearm() override;
    void requestQuit() override;
    void listChanged() override;
    void showPlaceholderPreview() override;
    void showPreview(const std::string& path) override;
    RECT previewFrame() const;

private:
    // The ids of this window: its control and its private messages.
    enum Id : UINT {
        kListViewId = 1,
        kQuitMessage = WM_APP + 1,       // destroy from the message loop, never mid-handler
        kSelectionMessage = WM_APP + 2,  // the list's selection settled after a burst of changes
    };

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    bool onCreate();
    void layout();
    void fitColumns();
    void paint();
    LRESULT onNotify(const NMHDR& header, LPARAM lParam);
    void onGetDispInfo(NMLVDISPINFOW& info);
    LRESULT onCustomDraw(NMLVCUSTOMDRAW& draw);
    void onSelectionChanged();
    void onSelectionSettled();
    void installSelected();

    // Keeping the controller's grid state and the list control in step.
    void moveCurrentRow(int row, int entries);
    void scrollToRow(int row);
    void pullScrollState();

    HINSTANCE instance_;
    UINT taskbarCreatedMessage_;
    MainController* controller_ = nullptr;

    HWND application_ = nullptr;  // hidden owner, never shown
    HWND hwnd_ = nullptr;
    HWND list_ = nullptr;
    win32::UniqueAccelerators accelerators_;
    win32::UniqueFont font_;
    win32::UniqueBrush background_;
    win32::UniqueBrush frameBrush_;

    RECT previewArea_{};
    PreviewPicture preview_;
    int layoutLeft_ = -1;

    // The grid values last exchanged with the controller: a difference means
    // the controller asked for a move.
    int syncedCurrentRow_ = 0;
    int syncedTopRow_ = 1;
    int suppressSelection_ = 0;
    bool selectionPending_ = false;

    bool playPressed_ = false;
    bool shufflePressed_ = false;
};

}  // namespace ostrel::ui
