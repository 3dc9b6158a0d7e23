#include "ui/FolderChooserDialog.h"

#include <algorithm>
#include <utility>

#include "list/FolderTree.h"
#include "platform/win32/MessageBox.h"
#include "base/ProgramName.h"
#include "platform/win32/Text.h"
#include "ui/Dpi.h"
#include "ui/ModalLoop.h"
#include "ui/PixelFont.h"

namespace ostrel::ui {
namespace {

constexpr const char* kCaption = "Открытие папки";
constexpr const char* kIncludeSubfolders = "Включая подкаталоги";
constexpr const char* kOk = "ОК";  // Cyrillic О and К
constexpr const char* kCancel = "Отмена";
constexpr const char* kNothingSelected = "Папка не выбрана";

constexpr int kClientWidth = 320;
constexpr int kClientHeight = 332;
constexpr int kTreeIndent = 19;
constexpr int kNodeImageSize = 16;              // the nodes' pictures are square
constexpr COLORREF kTreeText = RGB(0, 0, 128);  // navy
constexpr COLORREF kTransparent = RGB(0, 0, 255);

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

// The image list's bitmaps, in the order of FolderTreeImage.
constexpr const wchar_t* kNodeBitmaps[] = {L"CLOSEDFOLDER", L"OPENFOLDER", L"FLOPPY", L"HARD",
                                           L"NETWORK",      L"CDROM",      L"RAM"};
static_assert(std::size(kNodeBitmaps) == RamImage + 1);

// A dialog without controls: they are made in WM_INITDIALOG at exact pixel
// places, which dialog units could not give. The caption is set there too.
struct alignas(4) EmptyDialogTemplate {
    DLGTEMPLATE header;
    WORD menu;
    WORD windowClass;
    WORD title;
};

// The tree does not repaint while its nodes are replaced.
class RedrawPause {
public:
    explicit RedrawPause(HWND window) : window_(window) { SendMessageW(window_, WM_SETREDRAW, FALSE, 0); }
    ~RedrawPause() {
        SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window_, nullptr, TRUE);
    }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;

private:
    HWND window_;
};

// An empty floppy or CD drive answers "not ready" instead of asking for a disk.
class QuietDriveErrors {
public:
    QuietDriveErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
    ~QuietDriveErrors() { SetThreadErrorMode(previous_, nullptr); }
    QuietDriveErrors(const QuietDriveErrors&) = delete;
    QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

private:
    DWORD previous_ = 0;
};

win32::UniqueImageList loadNodeImages(HINSTANCE instance) {
    win32::UniqueImageList images(ImageList_Create(kNodeImageSize, kNodeImageSize, ILC_COLOR24 | ILC_MASK,
                                                   static_cast<int>(std::size(kNodeBitmaps)), 0));
    if (!images) return images;
    for (const wchar_t* name : kNodeBitmaps) {
        win32::UniqueBitmap bitmap(
            static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, kNodeImageSize, kNodeImageSize, 0)));
        // A missing picture would shift every later index onto the wrong node:
        // better no pictures at all.
        if (!bitmap || ImageList_AddMasked(images.get(), bitmap.get(), kTransparent) < 0) return {};
    }
    return images;
}

}  // namespace

FolderChooserDialog::FolderChooserDialog(HINSTANCE instance, HWND owner, std::function<POINT()> position)
    : instance_(instance), owner_(owner), position_(std::move(position)) {}

bool FolderChooserDialog::create() {
    if (hwnd_) return true;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    EmptyDialogTemplate dialog{};
    dialog.header.style = kDialogStyle;
    // The size is set in pixels once the window exists.
    return CreateDialogIndirectParamW(instance_, &dialog.header, owner_, &dialogProc, reinterpret_cast<LPARAM>(this)) !=
           nullptr;
}

std::optional<FolderChoice> FolderChooserDialog::choose(const std::string& lastopen) {
    if (modal_ || !create()) return std::nullopt;
    const POINT at = position_ ? position_() : POINT{};
    SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    answer_.reset();
    const bool completed = runModal(
        owner_, hwnd_, modal_, [&] { openlast(lastopen); },
        [this](MSG& msg) { return hwnd_ && IsDialogMessageW(hwnd_, &msg); });
    if (!completed) answer_.reset();  // the program is ending: no folder is added
    return std::exchange(answer_, std::nullopt);
}

// ---- messages ----

void FolderChooserDialog::windowDestroyed() {
    tree_ = checkBox_ = nullptr;
    texts_.clear();
    modal_ = false;
}

LRESULT FolderChooserDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: FormCreate(); return FALSE;  // the focus is set at each showing

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: acceptChoice(); return TRUE;
        case IDCANCEL: cancelChoice(); return TRUE;
        case kCheckBoxId:
            if (HIWORD(wParam) == BN_CLICKED) subfoldersClicked();
            return TRUE;
        }
        return FALSE;

    case WM_CLOSE: cancelChoice(); return TRUE;

    case WM_DPICHANGED: dpiChanged(dpiChangeOf(wParam, lParam)); return TRUE;

    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.hwndFrom != tree_) return FALSE;
        const auto& change = *reinterpret_cast<const NMTREEVIEWW*>(lParam);
        if (header.code == TVN_ITEMEXPANDINGW) {
            if ((change.action & TVE_EXPAND) && !readingByHand_) expandingNode(change.itemNew.hItem);
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, FALSE);  // expansion is always allowed
            return TRUE;
        }
        if (header.code == TVN_DELETEITEMW) texts_.erase(change.itemOld.hItem);
        return FALSE;
    }
    }
    return FALSE;
}

// ---- creation ----

void FolderChooserDialog::FormCreate() {
    SetWindowTextW(hwnd_, win32::utf8ToWide(kCaption).c_str());
    scale_ = windowScale(hwnd_);
    sizeClientArea(hwnd_, scale_(kClientWidth), scale_(kClientHeight));
    font_ = tahoma8(scale_);

    checkBox_ =
        addControl(0, L"BUTTON", kIncludeSubfolders, WS_TABSTOP | BS_AUTOCHECKBOX, 16, 16, 145, 17, kCheckBoxId);
    tree_ = addControl(WS_EX_CLIENTEDGE, WC_TREEVIEWW, "",
                       WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS, 16, 40, 289,
                       241, kTreeId);
    addControl(0, L"BUTTON", kOk, WS_TABSTOP | BS_PUSHBUTTON, 144, 296, 75, 25, IDOK);
    addControl(0, L"BUTTON", kCancel, WS_TABSTOP | BS_PUSHBUTTON, 232, 296, 75, 25, IDCANCEL);
    keepDialogFromScaling(hwnd_);
    if (checkBox_) SendMessageW(checkBox_, BM_SETCHECK, BST_CHECKED, 0);
    if (!tree_) return;

    setTreeIndent();
    SendMessageW(tree_, TVM_SETTEXTCOLOR, 0, kTreeText);
    images_ = loadNodeImages(instance_);
    if (images_) SendMessageW(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.get()));

    RedrawPause pause(tree_);
    driveList_ = drives_.present();
    for (const Drive& drive : driveList_) {
        const int image = driveImage(drive.kind);
        // Every drive gets a button before anything is read from it.
        addNode(TVI_ROOT, driveText(drive), image, image, true);
    }
}

HWND FolderChooserDialog::addControl(DWORD exStyle, const wchar_t* windowClass, const char* captionUtf8, DWORD style,
                                     int left, int top, int width, int height, int id) {
    const DpiScale s = scale_;
    HWND control = CreateWindowExW(exStyle, windowClass, win32::utf8ToWide(captionUtf8).c_str(),
                                   WS_CHILD | WS_VISIBLE | style, s(left), s(top), s(width), s(height), hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (control && font_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return controls_.add(control, {left, top, left + width, top + height});
}

void FolderChooserDialog::setTreeIndent() {
    if (tree_) SendMessageW(tree_, TVM_SETINDENT, static_cast<WPARAM>(scale_(kTreeIndent)), 0);
}

void FolderChooserDialog::dpiChanged(const DpiChange& change) {
    scale_ = change.scale;
    font_ = tahoma8(scale_);
    controls_.place(scale_, font_.get());
    setTreeIndent();
    moveForDpi(hwnd_, change.suggested, scale_(kClientWidth), scale_(kClientHeight));
}

// ---- buttons ----

void FolderChooserDialog::acceptChoice() {
    HTREEITEM selected = tree_ ? TreeView_GetSelection(tree_) : nullptr;
    if (!selected) {
        win32::messageBox(hwnd_, win32::utf8ToWide(kNothingSelected).c_str(), kProgramTitleWide,
                          MB_OK | MB_ICONINFORMATION);
        return;
    }
    const bool checked = SendMessageW(checkBox_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    answer_ = FolderChoice{getpath(selected), checked};
    modal_ = false;
}

void FolderChooserDialog::cancelChoice() {
    answer_.reset();
    modal_ = false;
}

void FolderChooserDialog::subfoldersClicked() { focusTree(); }

void FolderChooserDialog::focusTree() {
    // Through the dialog manager, so that it keeps the default button right.
    if (tree_) SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tree_), TRUE);
}

// ---- the tree ----

void FolderChooserDialog::expandingNode(HTREEITEM node) {
    RedrawPause pause(tree_);
    readChildren(node);
}

void FolderChooserDialog::readChildren(HTREEITEM node) {
    // Read anew at every expansion: the disk may have changed since.
    while (HTREEITEM child = relative(node, TVGN_CHILD))
        if (!TreeView_DeleteItem(tree_, child)) break;
    NextLevel(node);
}

void FolderChooserDialog::NextLevel(HTREEITEM node) {
    std::optional<std::vector<ChildFolder>> children;
    {
        QuietDriveErrors quiet;
        children = ostrel::NextLevel(fs_, getpath(node));
    }
    // Nothing to open, be it unreadable or empty: the button goes.
    if (!children || children->empty()) {
        setExpandable(node, false);
        return;
    }
    for (const ChildFolder& child : *children)
        addNode(node, child.name, ClosedFolderImage, OpenFolderImage, child.expandable);
}

HTREEITEM FolderChooserDialog::addNode(HTREEITEM parent, const std::string& text, int image, int selectedImage,
                                       bool expandable) {
    std::wstring shown = win32::ansiToWide(text);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = shown.data();
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.cChildren = expandable ? 1 : 0;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (item) texts_[item] = text;
    return item;
}

void FolderChooserDialog::setExpandable(HTREEITEM node, bool expandable) {
    TVITEMW item{};
    item.mask = TVIF_HANDLE | TVIF_CHILDREN;
    item.hItem = node;
    item.cChildren = expandable ? 1 : 0;
    SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

HTREEITEM FolderChooserDialog::relative(HTREEITEM node, UINT which) const {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, which, reinterpret_cast<LPARAM>(node)));
}

HTREEITEM FolderChooserDialog::findChild(HTREEITEM parent, const std::string& text) const {
    HTREEITEM child = parent == TVI_ROOT ? relative(nullptr, TVGN_ROOT) : relative(parent, TVGN_CHILD);
    for (; child; child = relative(child, TVGN_NEXT)) {
        auto known = texts_.find(child);
        if (known != texts_.end() && known->second == text) return child;
    }
    return nullptr;
}

std::string FolderChooserDialog::getpath(HTREEITEM node) const {
    std::vector<std::string> texts;
    for (; node; node = relative(node, TVGN_PARENT)) {
        auto known = texts_.find(node);
        texts.push_back(known == texts_.end() ? std::string() : known->second);
    }
    std::reverse(texts.begin(), texts.end());
    return ostrel::getpath(texts);
}

// ---- reopening ----

void FolderChooserDialog::collapseAll(HTREEITEM parent) {
    HTREEITEM child = parent == TVI_ROOT ? relative(nullptr, TVGN_ROOT) : relative(parent, TVGN_CHILD);
    for (; child; child = relative(child, TVGN_NEXT)) {
        collapseAll(child);
        TreeView_Expand(tree_, child, TVE_COLLAPSE);
    }
}

void FolderChooserDialog::expandReading(HTREEITEM node) {
    readChildren(node);
    // Whether TVM_EXPAND raises the expanding event depends on the node's
    // history; the children are read above either way, and only once.
    FlagScope byHand(readingByHand_);
    TreeView_Expand(tree_, node, TVE_EXPAND);
}

void FolderChooserDialog::openlast(const std::string& lastopen) {
    if (!tree_) return;
    HTREEITEM reached = nullptr;
    try {
        RedrawPause pause(tree_);
        collapseAll(TVI_ROOT);
        ReopenWalk walk;
        {
            QuietDriveErrors quiet;
            walk = openlastWalk(fs_, driveList_, lastopen);
        }
        HTREEITEM node = TVI_ROOT;
        for (const std::string& text : walk.expand) {
            node = findChild(node, text);
            if (!node) break;  // changed on the disk since the walk looked
            expandReading(node);
        }
        if (node && node != TVI_ROOT && walk.selectLast) reached = node;
    } catch (...) {
        // Reopening is a convenience: the tree stays usable where it stopped.
    }
    if (reached) {
        TreeView_SelectItem(tree_, reached);
        TreeView_EnsureVisible(tree_, reached);
    }
    focusTree();
}

}  // namespace ostrel::ui
