#pragma once
// The main window "TMainForm": it turns window messages into calls of the
// controller and shows what the controller holds. A hidden top-level window
// owns it, which keeps the program off the taskbar.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "app/MainController.h"
#include "app/MainView.h"
#include "platform/win32/Icons.h"
#include "platform/win32/UniqueHandle.h"
#include "ui/AboutBox.h"
#include "ui/Dpi.h"
#include "ui/HelpWindow.h"
#include "ui/ListGrid.h"
#include "ui/MainFace.h"
#include "ui/PreviewPicture.h"
#include "ui/WindowBase.h"

namespace ostrel::ui {

class MainWindow final : public MainView, public WindowBase<MainWindow> {
public:
    MainWindow(HINSTANCE instance, UINT taskbarCreatedMessage);
    ~MainWindow() override;

    // Creates the hidden application window and the main window; neither is shown.
    [[nodiscard]] bool create();
    // Destroys both windows, if they still exist.
    void destroy();
    // The list grid, which takes the keyboard back from the full-screen viewer.
    HWND listHwnd() const { return grid_.hwnd(); }

    // Messages reach the controller once it is attached; nullptr detaches.
    void attach(MainController* controller);
    // The menu shortcuts; true when msg was one of them and has been handled.
    bool translateAccelerator(MSG& msg);
    // Every mouse move taken from the queue, before it is dispatched: the
    // list header's highlight follows the pointer.
    void examineMouseMove(const MSG& msg);
    // Where the folder chooser goes when it is shown (screen coordinates).
    POINT folderChooserPosition() const;
    // Called, while a controller is attached, when the scaling of a monitor
    // or the displays changed: the tray icon follows the taskbar's.
    std::function<void()> onScalingChanged;

    // MainView
    DpiScale scale() const override { return scale_; }
    FrameSize frameAt(DpiScale at) const override;
    void showWindow() override;
    void hideWindow() override;
    int windowWidth() const override;
    int windowHeight() const override;
    void setWindowSize(int width, int height) override;
    void setWindowPosition(int left, int top) override;
    void setPlayButtonPressed(bool pressed) override { face_.setChecked(Playbtn, pressed); }
    void setShuffleButtonPressed(bool pressed) override { face_.setChecked(shufleBtn, pressed); }
    bool postHotkeyRearm() override;
    void requestQuit() override;
    void layOut() override { FormResize(); }
    void listChanged() override;
    void rowsChanged(int firstRow, int lastRow) override { grid_.refreshRows(firstRow, lastRow); }
    void showPlaceholderPreview() override;
    void showPreview(const std::string& path) override;
    void processPendingMessages() override;
    void blinkAddButton() override;
    void stopAddButtonBlink() override;
    // At the end: the preview decodes no more. False when one is still
    // blocked after limit (a file on a share that is off).
    bool stopPreviewDecodes(std::chrono::milliseconds limit) { return preview_.stopWithin(limit); }

private:
    // The ids of this window: its controls and its private messages.
    enum Id : UINT {
        kQuitMessage = WM_APP + 1,     // destroy from the message loop, never mid-handler
        kPreviewDecoded = WM_APP + 2,  // the preview's worker has the selected picture
    };

    friend class WindowBase<MainWindow>;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool onCreate();
    void onDpiChanged(const DpiChange& change);
    void FormResize();
    void plistResize();
    void paint();
    void onDropFiles(HDROP drop);
    void onCommand(Command command);
    void onFaceButton(FaceButton button);
    void openMenuFromButton(FaceButton button, HMENU menu, Point at);
    void setHeaderHover(int which);
    void invalidatePreview();
    void faceChanged(const RECT* area);  // nullptr: the whole window

    HINSTANCE instance_;
    UINT taskbarCreatedMessage_;
    MainController* controller_ = nullptr;

    HWND application_ = nullptr;  // hidden owner, never shown
    DpiScale scale_;              // the window's DPI, known once it is made
    ListGrid grid_;
    MainFace face_;
    HelpWindow help_;
    AboutBox about_;
    win32::UniqueAccelerators accelerators_;
    win32::UniqueFont font_;
    win32::UniqueBrush background_;
    win32::WindowIcons icons_;  // at the window's DPI

    PreviewPicture preview_;
    // The window's picture between paints. The bitmap is declared first so that
    // the DC holding it goes first.
    win32::UniqueBitmap cacheBitmap_;
    win32::UniqueMemoryDc cacheDc_;
    SIZE cacheSize_{};
    bool cacheValid_ = false;
    bool addButtonLit_ = false;
    bool trackingLeave_ = false;
    bool previewPressed_ = false;  // the press of a click began on the preview
};

}  // namespace ostrel::ui
