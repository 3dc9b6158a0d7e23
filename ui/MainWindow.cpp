#include "ui/MainWindow.h"

#include <windowsx.h>

#include <algorithm>

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
constexpr COLORREF kListText = RGB(41, 74, 133);
constexpr COLORREF kCurrentText = RGB(255, 0, 0);
constexpr COLORREF kScreenSizeText = RGB(10, 200, 10);
constexpr COLORREF kPreviewFrame = RGB(200, 206, 214);

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 472;
constexpr int kMinTrackWidth = 515;
constexpr int kMinTrackHeight = 472;
constexpr int kDefaultListLeft = 311;
constexpr int kMinListWidth = 200;
constexpr int kNumberColumnWidth = 34;
constexpr int kResolutionColumnWidth = 100;
constexpr int kPreviewMargin = 8;
constexpr int kPreviewInset = 4;  // between the frame and the picture

// Restores a counter on every way out of a scope.
struct CounterScope {
    explicit CounterScope(int& counter) : counter_(counter) { ++counter_; }
    ~CounterScope() { --counter_; }
    int& counter_;
};

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
    : instance_(instance), taskbarCreatedMessage_(taskbarCreatedMessage) {}

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
    syncedCurrentRow_ = 0;
    syncedTopRow_ = 1;
    if (controller_) {
        GridState& grid = controller_->grid();
        syncedCurrentRow_ = grid.currentRow;
        pullScrollState();
    }
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
        self->list_ = nullptr;
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
        layout();
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
        if (list_) SetFocus(list_);
        return 0;

    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers everything

    case WM_PAINT:
        paint();
        return 0;

    case WM_COMMAND:
        // Menus and accelerators send lParam 0; controls send their handle.
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

    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->hwndFrom == list_) return onNotify(*header, lParam);
        break;
    }

    case kQuitMessage:
        DestroyWindow(hwnd_);
        return 0;

    case kSelectionMessage:
        onSelectionSettled();
        return 0;

    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool MainWindow::onCreate() {
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                LVS_SHOWSELALWAYS,
                            0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListViewId)),
                            instance_, nullptr);
    if (!list_) return false;
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    if (font_) SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    ListView_SetBkColor(list_, kBackground);
    ListView_SetTextBkColor(list_, kBackground);
    ListView_SetTextColor(list_, kListText);

    struct ColumnDefinition {
        const char* caption;
        int width;
        int format;
    };
    const ColumnDefinition columns[] = {
        {"№", kNumberColumnWidth, LVCFMT_LEFT},
        {"Имя", 200, LVCFMT_LEFT},
        {"Разрешение", kResolutionColumnWidth, LVCFMT_LEFT},
    };
    for (int i = 0; i < 3; ++i) {
        std::wstring caption = win32::utf8ToWide(columns[i].caption);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = columns[i].format;
        column.cx = columns[i].width;
        column.pszText = caption.data();
        column.iSubItem = i;
        // The W message by name: the macro follows the A build of the headers.
        SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&column));
    }
    return true;
}

// ---- layout and painting ----

void MainWindow::layout() {
    if (!hwnd_ || !list_) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int width = client.right;
    const int height = client.bottom;
    int left = controller_ ? controller_->settings().listLeft : kDefaultListLeft;
    left = std::clamp(left, 0, std::max(0, width - kMinListWidth));
    layoutLeft_ = controller_ ? controller_->settings().listLeft : kDefaultListLeft;

    MoveWindow(list_, left, 0, width - left, height, TRUE);
    fitColumns();
    previewArea_ = {0, 0, left, height};
    InvalidateRect(hwnd_, &previewArea_, FALSE);
    if (controller_) pullScrollState();
}

void MainWindow::fitColumns() {
    // The name column takes what the number and resolution columns leave.
    RECT client{};
    GetClientRect(list_, &client);
    const int name = std::max(40, static_cast<int>(client.right) - kNumberColumnWidth -
                                      kResolutionColumnWidth);
    if (ListView_GetColumnWidth(list_, 1) != name) ListView_SetColumnWidth(list_, 1, name);
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

// ---- the list control ----

LRESULT MainWindow::onNotify(const NMHDR& header, LPARAM lParam) {
    switch (header.code) {
    case LVN_GETDISPINFOW:
        onGetDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
        return 0;
    case NM_CUSTOMDRAW:
        return onCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
    case LVN_ITEMCHANGED: {
        const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (change.uChanged & LVIF_STATE) onSelectionChanged();
        return 0;
    }
    case LVN_ODSTATECHANGED:
        onSelectionChanged();
        return 0;
    case NM_DBLCLK: {
        const auto& activate = *reinterpret_cast<const NMITEMACTIVATE*>(lParam);
        if (activate.iItem >= 0) installSelected();
        return 0;
    }
    case NM_RETURN:
        installSelected();
        return 0;
    case LVN_ENDSCROLL:
        if (controller_) pullScrollState();
        return 0;
    default:
        return 0;
    }
}

void MainWindow::onGetDispInfo(NMLVDISPINFOW& info) {
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    item.pszText[0] = L'\0';
    if (!controller_) return;
    // Entry i of the control is row i + 1 of the list; row 0 is the header.
    const std::string& cell = controller_->list().cell(item.iSubItem, item.iItem + 1);
    const std::wstring text = win32::ansiToWide(cell);
    lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
}

LRESULT MainWindow::onCustomDraw(NMLVCUSTOMDRAW& draw) {
    if (!controller_) return CDRF_DODEFAULT;
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        // Every scroll ends in a paint, so the controller's idea of the top row
        // is refreshed here even for scrolling the control does not report.
        pullScrollState();
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const int row = static_cast<int>(draw.nmcd.dwItemSpec) + 1;
        const WallpaperList& list = controller_->list();
        COLORREF colour = kListText;
        // The current wallpaper is red wherever it stands in the list; a
        // picture of the screen's own size shows its resolution in green.
        if (list.path(row) == controller_->settings().currentPath) colour = kCurrentText;
        if (draw.iSubItem == ResolutionColumn &&
            list.resolution(row) == controller_->screenResolutionText())
            colour = kScreenSizeText;
        draw.clrText = colour;
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

void MainWindow::onSelectionChanged() {
    // One click sends several changes (old row off, new row on, focus); the
    // controller hears about the result once.
    if (suppressSelection_ > 0 || selectionPending_ || !controller_) return;
    selectionPending_ = true;
    PostMessageW(hwnd_, kSelectionMessage, 0, 0);
}

void MainWindow::onSelectionSettled() {
    selectionPending_ = false;
    if (!controller_ || !list_) return;
    int focused = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
    const int firstSelected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    if (focused < 0) focused = firstSelected;
    if (focused < 0) return;

    GridState& grid = controller_->grid();
    const int row = focused + 1;
    const bool moved = row != grid.currentRow;
    grid.currentRow = row;
    grid.selectionTop = (firstSelected >= 0 ? firstSelected : focused) + 1;
    syncedCurrentRow_ = row;
    pullScrollState();
    if (moved) controller_->listController().plistSelectCell(0, row);
}

void MainWindow::installSelected() {
    if (!controller_) return;
    if (selectionPending_) onSelectionSettled();  // the click that led here comes first
    controller_->onCommand(Command::InstallSelected);
}

void MainWindow::listChanged() {
    if (!controller_ || !list_) return;
    if (layoutLeft_ != controller_->settings().listLeft) layout();
    GridState& grid = controller_->grid();
    const int entries = std::max(0, controller_->list().entryCount());
    {
        CounterScope quiet(suppressSelection_);
        ListView_SetItemCountEx(list_, entries, LVSICF_NOSCROLL);
        if (grid.currentRow != syncedCurrentRow_) moveCurrentRow(grid.currentRow, entries);
        if (grid.firstVisibleRow != syncedTopRow_) scrollToRow(grid.firstVisibleRow);
    }
    fitColumns();
    InvalidateRect(list_, nullptr, FALSE);
    pullScrollState();
}

void MainWindow::moveCurrentRow(int row, int entries) {
    // A row past the end stays asked for until the list is long enough.
    if (row < 1 || row > entries) return;
    const int item = row - 1;
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list_, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(list_, item);
    ListView_EnsureVisible(list_, item, FALSE);
    controller_->grid().selectionTop = row;
    syncedCurrentRow_ = row;
}

void MainWindow::scrollToRow(int row) {
    const int top = ListView_GetTopIndex(list_) + 1;
    if (row < 1 || row == top) return;
    RECT item{};
    if (!ListView_GetItemRect(list_, 0, &item, LVIR_BOUNDS)) return;  // no entries
    // In report view the control scrolls by whole rows; dy is in pixels.
    ListView_Scroll(list_, 0, (row - top) * (item.bottom - item.top));
}

void MainWindow::pullScrollState() {
    if (!controller_ || !list_) return;
    GridState& grid = controller_->grid();
    grid.firstVisibleRow = ListView_GetTopIndex(list_) + 1;
    syncedTopRow_ = grid.firstVisibleRow;
    RECT bounds{};
    GetWindowRect(list_, &bounds);
    grid.heightPixels = bounds.bottom - bounds.top;
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

RECT MainWindow::previewFrame() const {
    RECT frame = previewArea_;
    InflateRect(&frame, -kPreviewMargin, -kPreviewMargin);
    return frame;
}

}  // namespace ostrel::ui
