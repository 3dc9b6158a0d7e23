#include "ui/MainWindow.h"

#include <windowsx.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "list/GridGeometry.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Tray.h"
#include "resources/resource.h"
#include "ui/ErrorBox.h"
#include "ui/MainMenus.h"
#include "ui/TrayPresenter.h"

namespace ostrel::ui {
namespace {

constexpr const wchar_t* kMainClass = L"TMainForm";
constexpr const wchar_t* kApplicationClass = L"OstrelWallpapersApplication";
constexpr const wchar_t* kTitle = L"Ostrel Wallpapers";

constexpr COLORREF kBackground = RGB(245, 247, 249);
constexpr COLORREF kPreviewFrame = RGB(200, 206, 214);

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 472;
constexpr int kMinTrackWidth = 515;
constexpr int kMinTrackHeight = 472;
constexpr int kDefaultListLeft = 311;
constexpr int kPreviewMargin = 8;
constexpr int kPreviewInset = 4;  // between the frame and the picture
constexpr int kButtonWidth = 87;  // the add and list buttons under the preview
constexpr int kButtonHeight = 23;

bool registerApplicationClass(HINSTANCE instance) {
    WNDCLASSEXW application{};
    application.cbSize = sizeof application;
    application.lpfnWndProc = DefWindowProcW;
    application.hInstance = instance;
    application.lpszClassName = kApplicationClass;
    application.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    if (!RegisterClassExW(&application) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    return true;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, UINT taskbarCreatedMessage)
    : instance_(instance), taskbarCreatedMessage_(taskbarCreatedMessage), grid_(instance) {}

MainWindow::~MainWindow() {
    controller_ = nullptr;
    destroy();
}

bool MainWindow::create() {
    if (!registerApplicationClass(instance_)) return false;

    WNDCLASSEXW main{};
    main.cbSize = sizeof main;
    main.style = CS_DBLCLKS;
    main.lpfnWndProc = &MainWindow::windowProc;
    main.hInstance = instance_;
    main.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_APP));
    main.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), 0));
    main.hCursor = LoadCursorA(nullptr, IDC_ARROW);  // a system id: A and W alike
    main.hbrBackground = nullptr;  // painted by the window, double-buffered
    main.lpszClassName = kMainClass;
    if (!RegisterClassExW(&main) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

    background_.reset(CreateSolidBrush(kBackground));
    frameBrush_.reset(CreateSolidBrush(kPreviewFrame));
    font_.reset(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
    accelerators_ = createMainAccelerators();

    // Owned top-level windows get no taskbar button; this owner is never shown,
    // so the program never has one.
    application_ = CreateWindowExW(WS_EX_TOOLWINDOW, kApplicationClass, kTitle, WS_POPUP, 0, 0, 0,
                                   0, nullptr, nullptr, instance_, nullptr);
    if (!application_) return false;

    win32::UniqueMenu menu = createMainMenu();
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kDefaultWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kDefaultHeight) / 2;
    HWND created = CreateWindowExW(0, kMainClass, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                   left, top, kDefaultWidth, kDefaultHeight, application_,
                                   menu.get(), instance_, this);
    if (!created) return false;
    menu.release();  // the window owns its menu bar now
    return true;
}

void MainWindow::destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
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
    return TranslateAcceleratorW(hwnd_, accelerators_.get(), &msg) != 0;
}

// ---- window procedure ----

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);

    const LRESULT result = self->onMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

LRESULT MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        // The loop must end even when the shutdown sequence fails.
        if (controller_) guarded(hwnd_, [this] { controller_->FormDestroy(); });
        PostQuitMessage(0);
        return 0;
    }
    LRESULT result = 0;
    if (!guarded(hwnd_, [&] { result = dispatch(message, wParam, lParam); })) return 0;
    return result;
}

LRESULT MainWindow::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_) {
        // Explorer restarted: the icon has to be added again.
        if (controller_) controller_->onTaskbarCreated();
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }

    switch (message) {
    case WM_CREATE:
        return onCreate() ? 0 : -1;

    case WM_SIZE:
        FormResize();
        return 0;

    case WM_GETMINMAXINFO: {
        const LRESULT result = DefWindowProcW(hwnd_, message, wParam, lParam);
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = kMinTrackWidth;
        info->ptMinTrackSize.y = kMinTrackHeight;
        return result;
    }

    case WM_SETFOCUS:
        // Keys go to the list, as they did before the window was left.
        if (grid_.hwnd()) SetFocus(grid_.hwnd());
        return 0;

    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers everything

    case WM_PAINT:
        paint();
        return 0;

    case WM_COMMAND:
        if (lParam != 0 && HIWORD(wParam) == BN_CLICKED && controller_) {
            // Menus open at the window's outer corner plus the buttons' place in it.
            const POINT bar = childPosition(addButton_);
            RECT outer{};
            GetWindowRect(hwnd_, &outer);
            if (LOWORD(wParam) == kAddButtonId) {
                win32::UniqueMenu menu = createAddMenu();
                openMenuFromButton(addButton_, menu.get(), {outer.left + bar.x + 5, outer.top + bar.y + 7});
            } else if (LOWORD(wParam) == kListButtonId) {
                win32::UniqueMenu menu = createListMenu(controller_->listController());
                openMenuFromButton(listButton_, menu.get(),
                                   {outer.left + bar.x + kButtonWidth + 5, outer.top + bar.y - 35});
            }
            return 0;
        }
        // Menus and accelerators send lParam 0.
        if (lParam == 0 && LOWORD(wParam) != 0 && controller_)
            controller_->onCommand(static_cast<Command>(LOWORD(wParam)));
        return 0;

    case WM_TIMER:
        if (controller_) controller_->onTimer(static_cast<TimerId>(wParam));
        return 0;

    case WM_HOTKEY:
        if (controller_) controller_->onHotkey(static_cast<std::uint32_t>(wParam));
        return 0;

    case win32::kTrayCallbackMessage:
        if (controller_) onTrayCallback(hwnd_, *controller_, lParam);
        return DefWindowProcW(hwnd_, message, wParam, lParam);

    case WM_DROPFILES:
        onDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;

    case WM_NCMOUSEMOVE:
        setHeaderHover(0);
        return DefWindowProcW(hwnd_, message, wParam, lParam);

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

    case WM_ENDSESSION:
        // Windows may end the process as soon as this returns, so the
        // controller saves at once.
        if (wParam != 0 && controller_) controller_->onEndSession(true);
        break;

    case kQuitMessage:
        DestroyWindow(hwnd_);
        return 0;

    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool MainWindow::onCreate() {
    if (!grid_.create(hwnd_)) return false;
    grid_.onResize = [this] { plistResize(); };
    grid_.onRowMenu = [this](const RowMenu& state) {
        win32::UniqueMenu menu = createRowMenu(state);
        if (menu) TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, state.screenX, state.screenY, 0, hwnd_, nullptr);
    };
    grid_.mainWindowOrigin = [this] {
        RECT outer{};
        GetWindowRect(hwnd_, &outer);
        return POINT{outer.left, outer.top};
    };
    auto button = [&](const char* caption, UINT id) {
        HWND h = CreateWindowExW(0, L"BUTTON", win32::utf8ToWide(caption).c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                 0, 0, kButtonWidth, kButtonHeight, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        if (h && font_) SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        return h;
    };
    addButton_ = button("Добавить", kAddButtonId);
    listButton_ = button("Лист", kListButtonId);
    DragAcceptFiles(hwnd_, TRUE);
    return addButton_ && listButton_;
}

// ---- layout and painting ----

// On every resize of the window the list keeps its right edge 4 pixels inside
// the window's outer width and its height fixed; the user changes its width by
// dragging its left edge within the limits given here.
void MainWindow::FormResize() {
    if (!hwnd_ || !grid_.hwnd()) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int width = windowWidth(), height = windowHeight();
    const int imageHeight = client.bottom;  // the strip that continues the banner follows the client height
    grid_.SetMinMax(width - 314, imageHeight + 8, width - ((height - 150) * 4 / 3) + 115, imageHeight + 8);
    const int left = controller_ ? controller_->settings().listLeft : kDefaultListLeft;
    MoveWindow(grid_.hwnd(), left, -4, width - left - 4, imageHeight + 8, TRUE);
    // The grid keeps to its own limits, so its width may not be the one asked
    // for; its left edge then moves to keep the right edge in place.
    RECT bounds{};
    GetWindowRect(grid_.hwnd(), &bounds);
    const int gridWidth = bounds.right - bounds.left;
    if (width - gridWidth - 4 != left) MoveWindow(grid_.hwnd(), width - gridWidth - 4, -4, gridWidth, imageHeight + 8, TRUE);
    plistResize();
}

// The list's size changed (by the window or by the user's drag): the name
// column takes what the others leave, and the preview is laid out again.
void MainWindow::plistResize() {
    RECT bounds{};
    GetWindowRect(grid_.hwnd(), &bounds);
    MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&bounds), 2);
    grid_.setNameWidth(bounds.right - bounds.left - 140);
    if (controller_) controller_->mutableSettings().listLeft = bounds.left;

    RECT client{};
    GetClientRect(hwnd_, &client);
    previewArea_ = {0, 0, std::max(0L, bounds.left), client.bottom};
    const int buttonsTop = client.bottom - kPreviewMargin - kButtonHeight;
    const int buttonsLeft = std::max(kPreviewMargin, static_cast<int>(previewArea_.right - 2 * kButtonWidth - 4) / 2);
    MoveWindow(addButton_, buttonsLeft, buttonsTop, kButtonWidth, kButtonHeight, TRUE);
    MoveWindow(listButton_, buttonsLeft + kButtonWidth + 4, buttonsTop, kButtonWidth, kButtonHeight, TRUE);
    InvalidateRect(hwnd_, &previewArea_, FALSE);
}

void MainWindow::paint() {
    win32::PaintScope scope(hwnd_);
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (client.right <= 0 || client.bottom <= 0) return;

    win32::UniqueMemoryDc memory(CreateCompatibleDC(scope.dc()));
    win32::UniqueBitmap bitmap(CreateCompatibleBitmap(scope.dc(), client.right, client.bottom));
    if (!memory || !bitmap) {
        FillRect(scope.dc(), &client, background_.get());
        return;
    }
    {
        win32::SelectObjectScope selectBitmap(memory.get(), bitmap.get());
        FillRect(memory.get(), &client, background_.get());

        // The preview area: a frame around the selected picture.
        RECT frame = previewFrame();
        if (frame.right > frame.left && frame.bottom > frame.top) {
            FrameRect(memory.get(), &frame, frameBrush_.get());
            InflateRect(&frame, -kPreviewInset, -kPreviewInset);
            preview_.paint(memory.get(), frame, font_.get());
        }
        const RECT& dirty = scope.dirty();
        BitBlt(scope.dc(), dirty.left, dirty.top, dirty.right - dirty.left,
               dirty.bottom - dirty.top, memory.get(), dirty.left, dirty.top, SRCCOPY);
    }
}

RECT MainWindow::previewFrame() const {
    RECT frame = previewArea_;
    InflateRect(&frame, -kPreviewMargin, -kPreviewMargin);
    frame.bottom -= kButtonHeight + kPreviewMargin;
    return frame;
}

// ---- the list's other inputs ----

void MainWindow::onDropFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // A name longer than the program's paths can hold is skipped, not cut,
        // and so is one the ANSI code page cannot write exactly.
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0 || length > 259) continue;
        std::wstring name(length + 1, L'\0');
        if (DragQueryFileW(drop, i, name.data(), length + 1) == 0) continue;
        name.resize(length);
        if (std::optional<std::string> ansi = win32::wideToAnsi(name)) paths.push_back(*ansi);
    }
    DragFinish(drop);
    if (controller_) controller_->listController().dropFiles(paths);
}

void MainWindow::openMenuFromButton(HWND button, HMENU menu, POINT at) {
    if (!menu) return;
    // The button shows pressed while its menu is up.
    SendMessageW(button, BM_SETSTATE, TRUE, 0);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
    SendMessageW(button, BM_SETSTATE, FALSE, 0);
}

void MainWindow::examineMouseMove(const MSG& msg) {
    if (msg.message != WM_MOUSEMOVE || !controller_ || !hwnd_ || !grid_.hwnd()) return;
    int which = 0;
    if (msg.hwnd == grid_.hwnd()) {
        RECT outer{}, gridBounds{};
        GetWindowRect(hwnd_, &outer);
        GetWindowRect(grid_.hwnd(), &gridBounds);
        MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&gridBounds), 2);
        which = headerCellUnderPointer(msg.pt.x - outer.left, msg.pt.y - outer.top - 50, gridBounds.left,
                                       gridBounds.right - gridBounds.left, grid_.numberWidth(), grid_.nameWidth());
    }
    setHeaderHover(which);
}

void MainWindow::setHeaderHover(int which) {
    if (!controller_) return;
    ListController& list = controller_->listController();
    const int before = list.hoveredHeader();
    if (which == 0 && before == 0) return;
    list.hoverHeader(which);
    // Moving from one header cell to the other first clears the old highlight.
    if (before != 0 && before != which) grid_.light(0);
    if (which != 0) grid_.light(which);
}

POINT MainWindow::childPosition(HWND child) const {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top};
}

POINT MainWindow::folderChooserPosition() const {
    RECT outer{};
    GetWindowRect(hwnd_, &outer);
    const POINT panel = childPosition(addButton_);
    return {outer.left + 150, outer.top + panel.y - 200};
}

// ---- MainView ----

void MainWindow::showWindow() {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    // Borrow the foreground thread's input state for a moment, as a window
    // coming forward from the tray does; the focus read is not used further.
    const DWORD ours = GetCurrentThreadId();
    HWND foreground = GetForegroundWindow();
    const DWORD theirs = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    if (theirs != 0 && theirs != ours && AttachThreadInput(ours, theirs, TRUE)) {
        (void)GetFocus();
        AttachThreadInput(ours, theirs, FALSE);
    } else {
        (void)GetFocus();
    }
    if (controller_ && controller_->listController().hoveredHeader() != 0) setHeaderHover(0);
}

void MainWindow::hideWindow() {
    ShowWindow(hwnd_, SW_HIDE);
    if (application_) ShowWindow(application_, SW_HIDE);
}

int MainWindow::windowWidth() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return r.right - r.left;
}

int MainWindow::windowHeight() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return r.bottom - r.top;
}

void MainWindow::setWindowSize(int width, int height) {
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::setWindowPosition(int left, int top) {
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool MainWindow::postHotkeyRearm() { return PostMessageW(hwnd_, WM_HOTKEY, 0, 0) != 0; }

void MainWindow::requestQuit() {
    // Destroying from the message loop keeps the caller's handler (or the
    // creation sequence) from running on after the window is gone.
    PostMessageW(hwnd_, kQuitMessage, 0, 0);
}

void MainWindow::listChanged() {
    grid_.refresh();
}

void MainWindow::showPlaceholderPreview() {
    preview_.showPlaceholder();
    if (hwnd_) InvalidateRect(hwnd_, &previewArea_, FALSE);
}

void MainWindow::showPreview(const std::string& path) {
    RECT frame = previewFrame();
    InflateRect(&frame, -kPreviewInset, -kPreviewInset);
    preview_.show(controller_ ? controller_->previewPicture(path, {frame.right - frame.left, frame.bottom - frame.top})
                              : std::nullopt);
    if (hwnd_) InvalidateRect(hwnd_, &previewArea_, FALSE);
}

void MainWindow::processPendingMessages() {
    // What is waiting now, not what keeps coming: a timer that is always due
    // must not keep the caller waiting.
    MSG msg{};
    for (int i = 0; i < 200 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the real loop to see
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void MainWindow::blinkAddButton() {
    addButtonLit_ = !addButtonLit_;
    if (addButton_) SendMessageW(addButton_, BM_SETSTATE, addButtonLit_, 0);
}

void MainWindow::stopAddButtonBlink() {
    addButtonLit_ = false;
    if (addButton_) SendMessageW(addButton_, BM_SETSTATE, FALSE, 0);
}

}  // namespace ostrel::ui
