#pragma once
// `Tfoldch`: the folder chooser. Its window is made once and only hidden
// between uses, so the tree, the drives read at creation and the check box keep
// their state; each showing reopens the tree at lastopen and runs a modal loop
// with the owner disabled, as a dialog box would.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/DpiScale.h"
#include "list/FolderChooser.h"
#include "platform/Drives.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Drives.h"
#include "platform/win32/Win32FileSystem.h"
#include "ui/Dpi.h"
#include "ui/WindowBase.h"

namespace ostrel::ui {

class FolderChooserDialog final : public FolderChooser, public WindowBase<FolderChooserDialog> {
public:
    // position answers, at each showing, the screen point for the window's
    // top-left corner.
    FolderChooserDialog(HINSTANCE instance, HWND owner, std::function<POINT()> position);

    // Makes the hidden window and lists the drives; call it at start-up, since
    // drives attached later are not listed. choose() calls it when not done yet.
    [[nodiscard]] bool create();
    // Shows the dialog modally; nullopt when cancelled or closed.
    std::optional<FolderChoice> choose(const std::string& lastopen) override;

private:
    enum Id : int {
        kCheckBoxId = 100,
        kTreeId = 101,  // the buttons are IDOK and IDCANCEL, so Enter and Esc work as usual
    };

    friend class WindowBase<FolderChooserDialog>;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void windowDestroyed();

    void FormCreate();
    void dpiChanged(const DpiChange& change);
    void setTreeIndent();
    void acceptChoice();
    void cancelChoice();
    void subfoldersClicked();
    void expandingNode(HTREEITEM node);
    void openlast(const std::string& lastopen);

    HWND addControl(DWORD exStyle, const wchar_t* windowClass, const char* captionUtf8, DWORD style, int left, int top,
                    int width, int height, int id);
    HTREEITEM addNode(HTREEITEM parent, const std::string& text, int image, int selectedImage, bool expandable);
    void setExpandable(HTREEITEM node, bool expandable);
    void NextLevel(HTREEITEM node);
    void readChildren(HTREEITEM node);  // NextLevel after removing the children read before
    void expandReading(HTREEITEM node);
    void collapseAll(HTREEITEM parent);
    HTREEITEM findChild(HTREEITEM parent, const std::string& text) const;
    std::string getpath(HTREEITEM node) const;
    HTREEITEM relative(HTREEITEM node, UINT which) const;
    void focusTree();

    HINSTANCE instance_;
    HWND owner_;
    std::function<POINT()> position_;
    win32::Win32FileSystem fs_;
    win32::Win32Drives drives_;
    std::vector<Drive> driveList_;  // read once, when the window is made

    win32::UniqueImageList images_;
    DpiScale scale_;  // the dialog's DPI, known once it is made
    win32::UniqueFont font_;
    ScaledControls controls_;
    HWND tree_ = nullptr;
    HWND checkBox_ = nullptr;
    // Each node's text as the file system spells it in the ANSI code page; the
    // control holds only its UTF-16 copy for display.
    std::unordered_map<HTREEITEM, std::string> texts_;

    bool modal_ = false;          // the modal loop runs while set
    bool readingByHand_ = false;  // expansions read by openlast, not by the expanding event
    std::optional<FolderChoice> answer_;
};

}  // namespace ostrel::ui
