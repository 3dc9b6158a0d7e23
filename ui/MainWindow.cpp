#include "ui/MainWindow.h"

#include <windowsx.h>
#include <shellapi.h>

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "list/FolderScan.h"
#include "list/GridGeometry.h"
#include "platform/win32/KeyRepeat.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Tray.h"
#include "resources/resource.h"
#include "app/MainLayout.h"
#include "app/PreviewFrame.h"
#include "base/ProgramName.h"
#include "ui/ClassNames.h"
#include "ui/Dpi.h"
#include "ui/MainMenus.h"
#include "ui/TrayPresenter.h"
#include "ui/PixelFont.h"

namespace ostrel::ui {
namespace {

constexpr const wchar_t* kApplicationClass = L"OstrelWallpapersApplication";

constexpr COLORREF kBackground = RGB(245, 247, 249);

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 472;
constexpr int kDefaultListLeft = 311;

// The placeholder picture, part of the program, as drawn for the window's scale.
std::string_view placeholderBytes(HINSTANCE instance, DpiScale scale) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(drawnArtworkId(IDR_PLACEHOLDER, scale)),
                                MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data ? std::string_view(static_cast<const char*>(data), SizeofResource(instance, found))
                : std::string_view();
}

bool registerApplicationClass(HINSTANCE instance) {
    WindowClass application{kApplicationClass, DefWindowProcW};
    application.icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    application.arrowCursor = false;
    return registerWindowClass(instance, application);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, UINT taskbarCreatedMessage)
    : instance_(instance),
      taskbarCreatedMessage_(taskbarCreatedMessage),
      grid_(instance),
      face_(instance),
      help_(instance),
      about_(instance) {}

MainWindow::~MainWindow() {
    controller_ = nullptr;
    destroy();
}

bool MainWindow::create() {
    if (!registerApplicationClass(instance_)) return false;

    // No background: painted by the window, double-buffered.
    WindowClass main{kMainWindowClass, &windowProc, nullptr, CS_DBLCLKS};
    main.icon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_APP));
    main.smallIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    if (!registerWindowClass(instance_, main)) return false;

    background_.reset(CreateSolidBrush(kBackground));
    accelerators_ = createMainAccelerators();

    // Owned top-level windows get no taskbar button; this owner is never shown,
    // so the program never has one.
    application_ = CreateWindowExW(WS_EX_TOOLWINDOW, kApplicationClass, kProgramTitleWide, WS_POPUP, 0, 0, 0, 0,
                                   nullptr, nullptr, instance_, nullptr);
    if (!application_) return false;

    win32::UniqueMenu menu = createMainMenu();
    // Until the window is there to ask, the system's DPI.
    const DpiScale s = windowScale(nullptr);
    const ScreenSize screen = win32::primaryScreenSize();
    const int left = (screen.width - s(kDefaultWidth)) / 2;
    const int top = (screen.height - s(kDefaultHeight)) / 2;
    HWND created = CreateWindowExW(0, kMainWindowClass, kProgramTitleWide, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, left,
                                   top, s(kDefaultWidth), s(kDefaultHeight), application_, menu.get(), instance_, this);
    if (!created) return false;
    menu.release();  // the window owns its menu bar now
    // Made once, after the main window they are centred over. Neither is needed
    // to run: one that cannot be made now is tried again when it is asked for.
    (void)help_.create(hwnd_);
    (void)about_.create(hwnd_);
    return true;
}

void MainWindow::destroy() {
    destroyWindow();
    if (application_) {
        DestroyWindow(application_);
        application_ = nullptr;
    }
}

void MainWindow::attach(MainController* controller) {
    controller_ = controller;
    grid_.attach(controller_ ? &controller_->listController() : nullptr);
}

bool MainWindow::translateAccelerator(MSG& msg) {
    if (!hwnd_ || !accelerators_) return false;
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    // One press, one command: a held shortcut's auto-repeats are dropped. A
    // held Ctrl+S would otherwise open the save dialog again as soon as it
    // was closed, and a held Ctrl+N clear what came meanwhile.
    if (win32::isRepeatedKeyDown(msg)) {
        const BYTE modifiers =
            static_cast<BYTE>((GetKeyState(VK_CONTROL) < 0 ? FCONTROL : 0) | (GetKeyState(VK_SHIFT) < 0 ? FSHIFT : 0) |
                              (GetKeyState(VK_MENU) < 0 ? FALT : 0));
        if (isMainShortcut({modifiers, static_cast<WORD>(msg.wParam)})) return true;
    }
    return TranslateAcceleratorW(hwnd_, accelerators_.get(), &msg) != 0;
}

// ---- messages ----

LRESULT MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        // The loop must end even when the shutdown sequence fails.
        if (controller_) guarded(hwnd_, [this] { controller_->FormDestroy(); });
        PostQuitMessage(0);
        return 0;
    }
    if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_) {
        // Explorer restarted: the icon has to be added again.
        if (controller_) controller_->onTaskbarCreated();
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }

    switch (message) {
    case WM_CREATE: return onCreate() ? 0 : -1;

    case WM_SIZE:
        // A minimized window has no client area to lay out; the layout stays
        // as it was until the window is restored.
        if (wParam != SIZE_MINIMIZED) FormResize();
        return 0;

    case WM_DPICHANGED:
        onDpiChanged(dpiChangeOf(wParam, lParam));
        if (controller_ && onScalingChanged) onScalingChanged();
        return 0;

    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
        // The taskbar's monitor may have a new scaling without this window
        // being on it, and so without a WM_DPICHANGED here.
        if (controller_ && onScalingChanged) onScalingChanged();
        return DefWindowProcW(hwnd_, message, wParam, lParam);

    case WM_GETMINMAXINFO: {
        const LRESULT result = DefWindowProcW(hwnd_, message, wParam, lParam);
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        const WindowSettings least = WindowSettings::smallest(scale_, frameAt({}), frameAt(scale_));
        info->ptMinTrackSize.x = least.windowWidth;
        info->ptMinTrackSize.y = least.windowHeight;
        return result;
    }

    case WM_SETFOCUS:
        // Keys go to the list, as they did before the window was left.
        if (grid_.hwnd()) SetFocus(grid_.hwnd());
        return 0;

    case WM_ERASEBKGND: return 1;  // WM_PAINT covers everything

    case WM_PAINT: paint(); return 0;

    case WM_COMMAND:
        // Menus and accelerators send lParam 0.
        if (lParam == 0 && LOWORD(wParam) != 0) onCommand(static_cast<Command>(LOWORD(wParam)));
        return 0;

    case WM_MOUSEMOVE: {
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        face_.hover(at);
        if (!trackingLeave_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
            trackingLeave_ = TrackMouseEvent(&track) != 0;
        }
        return 0;
    }

    case WM_MOUSELEAVE:
        trackingLeave_ = false;
        face_.hover({-1, -1});
        return 0;

    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            // The hand, and the hint, strictly inside the preview only.
            POINT cursor{};
            GetCursorPos(&cursor);
            ScreenToClient(hwnd_, &cursor);
            if (face_.overPreview(cursor)) {
                SetCursor(LoadCursorA(nullptr, IDC_HAND));
                return TRUE;
            }
        }
        break;

    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // A double click's second press counts for the buttons, but the preview
        // installs once per double click, like any other click on the window.
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (face_.press(at)) {
            SetCapture(hwnd_);
        } else {
            previewPressed_ = message == WM_LBUTTONDOWN && face_.overPreview(at);
        }
        return 0;
    }

    case WM_LBUTTONUP: {
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const bool previewClicked = previewPressed_ && face_.overPreview(at);
        previewPressed_ = false;
        if (GetCapture() == hwnd_) ReleaseCapture();
        if (std::optional<FaceButton> clicked = face_.release(at)) {
            onFaceButton(*clicked);
        } else if (previewClicked && controller_) {
            controller_->onCommand(Command::InstallSelected);  // a click with the hand pointer
        }
        return 0;
    }

    case WM_TIMER:
        if (controller_) controller_->onTimer(static_cast<TimerId>(wParam));
        return 0;

    case WM_HOTKEY:
        if (controller_) controller_->onHotkey(static_cast<std::uint32_t>(wParam));
        return 0;

    case win32::kTrayCallbackMessage:
        if (controller_) onTrayCallback(hwnd_, *controller_, lParam);
        return DefWindowProcW(hwnd_, message, wParam, lParam);

    case WM_DROPFILES: onDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;

    case WM_NCMOUSEMOVE: setHeaderHover(0); return DefWindowProcW(hwnd_, message, wParam, lParam);

    case WM_CLOSE:
        // The close button hides to the tray; only Exit and the end of the
        // session end the program.
        if (controller_) controller_->FormClose();
        return 0;

    case WM_SYSCOMMAND:
        // The low four bits of a system command are used by the system itself,
        // so they are masked off: the title-bar button and the system menu both
        // mean SC_MINIMIZE, and both hide to the tray.
        if ((wParam & 0xFFF0) == SC_MINIMIZE) {
            if (controller_) controller_->onMinimize();
            return 0;
        }
        break;

    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && application_) ShowWindow(application_, SW_HIDE);
        break;

    case WM_SHOWWINDOW:
        // Shown or hidden by whoever asked: the controller itself, or a
        // second copy of the program bringing this one forward.
        if (controller_ && lParam == 0) controller_->onWindowShown(wParam != FALSE);
        break;

    case WM_ENDSESSION:
        // Windows may end the process as soon as this returns, so the
        // controller saves at once.
        if (wParam != 0 && controller_) controller_->onEndSession(true);
        break;

    case kQuitMessage: DestroyWindow(hwnd_); return 0;

    case kPreviewDecoded:
        if (preview_.takeDecoded()) invalidatePreview();
        return 0;

    default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool MainWindow::onCreate() {
    scale_ = windowScale(hwnd_);
    icons_.set(hwnd_, instance_, IDI_APP, scale_.dpi());
    font_ = pixelFont(L"Tahoma", scale_(11));
    if (!grid_.create(hwnd_) || !face_.create(hwnd_, scale_)) return false;
    face_.onChange = [this](const RECT& area) { faceChanged(&area); };
    grid_.onResize = [this] { plistResize(); };
    grid_.onRowMenu = [this](const RowMenu& state) {
        win32::UniqueMenu menu = createRowMenu(state);
        if (menu)
            TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, state.screenX, state.screenY, 0, hwnd_,
                           nullptr);
    };
    grid_.mainWindowOrigin = [this] {
        RECT outer{};
        GetWindowRect(hwnd_, &outer);
        return POINT{outer.left, outer.top};
    };
    preview_.setLoader(
        [this](const std::string& path, ImageSize frame) {
            return controller_ ? controller_->previewDecoder(path, frame) : PreviewPicture::Decode{};
        },
        placeholderBytes(instance_, scale_), hwnd_, kPreviewDecoded);
    DragAcceptFiles(hwnd_, TRUE);
    return true;
}

void MainWindow::onCommand(Command command) {
    if (!controller_) return;
    controller_->onCommand(command);  // Help and About too: the full-screen viewer closes first
    if (command == Command::Help && help_.create(hwnd_)) help_.show();
    if (command == Command::About && about_.create(hwnd_)) about_.show();
}

void MainWindow::onFaceButton(FaceButton button) {
    if (!controller_) return;
    RECT outer{};
    GetWindowRect(hwnd_, &outer);
    switch (button) {
    case Playbtn: onCommand(Command::PlayToggle); break;
    case Nextbtn:
        onCommand(Command::Next);
        controller_->listController().gotoselected();
        break;
    case TimeBtn: onCommand(Command::ScheduleOptions); break;
    case shufleBtn: onCommand(Command::ShuffleToggle); break;
    case AddButton: {
        win32::UniqueMenu menu = createAddMenu();
        openMenuFromButton(AddButton, menu.get(), addMenuAt(outer.left, outer.top, face_.layout()));
        break;
    }
    case ListButton: {
        win32::UniqueMenu menu = createListMenu(controller_->listController());
        openMenuFromButton(ListButton, menu.get(), listMenuAt(outer.left, outer.top, face_.layout()));
        break;
    }
    case DownloadButton: onCommand(Command::DownloadButton); break;
    case FullScreenButton: onCommand(Command::FullScreen); break;
    case ExitButton: onCommand(Command::Exit); break;
    default: break;
    }
}

// ---- layout and painting ----

// On every resize of the window the list keeps its right edge 4 pixels inside
// the window's outer width and its height fixed; the user changes its width by
// dragging its left edge within the limits given here.
void MainWindow::FormResize() {
    if (!hwnd_ || !grid_.hwnd()) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int width = windowWidth();
    // The strip that continues the banner follows the client height.
    const int left = controller_ ? controller_->settings().window.listLeft : scale_(kDefaultListLeft);
    const ListBounds bounds = listBounds(width, windowHeight(), client.bottom, left, scale_);
    grid_.SetMinMax(bounds.maxWidth, bounds.maxHeight, bounds.minWidth, bounds.minHeight);
    MoveWindow(grid_.hwnd(), bounds.left, bounds.top, bounds.width, bounds.height, TRUE);
    plistResize();
}

// The window keeps its designed client area and list edge at the new DPI
// (the controller sizes it), at the place Windows suggests.
void MainWindow::onDpiChanged(const DpiChange& change) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const DpiScale before = std::exchange(scale_, change.scale);
    icons_.set(hwnd_, instance_, IDI_APP, scale_.dpi());  // the caption's and Alt+Tab's sizes at the new DPI
    grid_.setScale(scale_);
    preview_.setPlaceholder(placeholderBytes(instance_, scale_));
    const RECT& r = change.suggested;
    if (!controller_) {
        SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        FormResize();
        return;
    }
    controller_->onDpiChanged(before, scale_);
    SetWindowPos(hwnd_, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The controller sized the window by the frame Windows gives at the new
    // DPI; a frame drawn otherwise (Wine told of a DPI it does not draw at)
    // is made good by measuring, so that the client area scales exactly.
    if (!IsZoomed(hwnd_) && !IsIconic(hwnd_))
        sizeClientArea(hwnd_, scale_(before.designed(client.right)), scale_(before.designed(client.bottom)));
    FormResize();  // also when the size came out the same
}

// The list's size changed (by the window or by the user's drag): the name
// column takes what the others leave, and the face left of it is laid out again.
void MainWindow::plistResize() {
    RECT bounds{};
    GetWindowRect(grid_.hwnd(), &bounds);
    MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&bounds), 2);
    grid_.setNameWidth(nameColumnWidth(bounds.right - bounds.left, scale_));
    if (controller_) controller_->mutableSettings().window.listLeft = bounds.left;
    face_.layOut(bounds.left, scale_);
    const Box& frame = face_.layout().preview;
    preview_.setFrame({frame.width, frame.height});
    faceChanged(nullptr);
}

// The window's picture is kept between paints and drawn again only when
// something in it changed, so that a repaint (another window moved away,
// the list scrolled) is one copy.
void MainWindow::paint() {
    win32::PaintScope scope(hwnd_);
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    if (!cacheDc_ || cacheSize_.cx != client.right || cacheSize_.cy != client.bottom) {
        cacheDc_.reset(CreateCompatibleDC(scope.dc()));
        cacheBitmap_.reset(CreateCompatibleBitmap(scope.dc(), client.right, client.bottom));
        if (!cacheDc_ || !cacheBitmap_) {
            cacheDc_.reset();
            FillRect(scope.dc(), &client, background_.get());
            return;
        }
        SelectObject(cacheDc_.get(), cacheBitmap_.get());  // the DC is deleted first: no need to put back
        cacheSize_ = {client.right, client.bottom};
        cacheValid_ = false;
    }
    if (!cacheValid_) {
        HDC dc = cacheDc_.get();
        FillRect(dc, &client, background_.get());
        RECT list{};
        GetWindowRect(grid_.hwnd(), &list);
        MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&list), 2);
        face_.paint(dc, list.left, windowHeight());
        // The preview's picture, already at the frame's size.
        const Box& frame = face_.layout().preview;
        preview_.paint(dc, frame.left, frame.top);
        cacheValid_ = true;
    }
    const RECT& dirty = scope.dirty();
    BitBlt(scope.dc(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, cacheDc_.get(),
           dirty.left, dirty.top, SRCCOPY);
}

void MainWindow::faceChanged(const RECT* area) {
    cacheValid_ = false;
    if (hwnd_) InvalidateRect(hwnd_, area, FALSE);
}

// ---- the list's other inputs ----

void MainWindow::onDropFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // A name longer than the program's paths can hold is skipped, not cut,
        // and so is one the ANSI code page cannot write exactly.
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0 || length > kMaxPathLength) continue;
        std::wstring name(length + 1, L'\0');
        if (DragQueryFileW(drop, i, name.data(), length + 1) == 0) continue;
        name.resize(length);
        if (std::optional<std::string> ansi = win32::wideToAnsi(name)) paths.push_back(*ansi);
    }
    DragFinish(drop);
    if (controller_) controller_->listController().dropFiles(paths);
}

void MainWindow::openMenuFromButton(FaceButton button, HMENU menu, Point at) {
    if (!menu) return;
    // The button shows pressed while its menu is up.
    face_.setPressed(button, true);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
    face_.setPressed(button, false);
}

void MainWindow::examineMouseMove(const MSG& msg) {
    if (msg.message != WM_MOUSEMOVE || !controller_ || !hwnd_ || !grid_.hwnd()) return;
    int which = 0;
    if (msg.hwnd == grid_.hwnd()) {
        // In the grid's own client coordinates, whatever the frames and the menu bar above it measure.
        RECT client{};
        GetClientRect(grid_.hwnd(), &client);
        which = headerCellAt(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam), client.right, grid_.numberWidth(),
                             grid_.nameWidth(), scale_);
    }
    setHeaderHover(which);
}

void MainWindow::setHeaderHover(int which) {
    if (!controller_) return;
    ListController& list = controller_->listController();
    const int before = list.selection().hoveredHeader();
    if (which == 0 && before == 0) return;
    list.selection().hoverHeader(which);
    // Moving from one header cell to the other first clears the old highlight.
    if (before != 0 && before != which) grid_.light(0);
    if (which != 0) grid_.light(which);
}

POINT MainWindow::folderChooserPosition() const {
    RECT outer{};
    GetWindowRect(hwnd_, &outer);
    const Point at = folderChooserAt(outer.left, outer.top, face_.layout());
    return {at.x, at.y};
}

}  // namespace ostrel::ui
