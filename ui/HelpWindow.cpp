#include "ui/HelpWindow.h"

#include <richedit.h>

#include <string>

#include "platform/win32/Text.h"

namespace ostrel::ui {
namespace {

constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kHeadingColour = RGB(34, 110, 223);
constexpr LONG kEightPointsInTwips = 8 * 20;
constexpr int kClientWidth = 660;
constexpr int kClientHeight = 439;
constexpr int kTextLeft = 8;  // the text fills the window but for a margin at its left
constexpr UINT kUtf16CodePage = 1200;

}  // namespace

HelpWindow::HelpWindow(HINSTANCE instance)
    : ModalWindow(instance, Look{L"OstrelHelpWindow", "Помощь", kClientWidth, kClientHeight,
                                 static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))}) {}

HelpWindow::~HelpWindow() { destroyWindow(); }

bool HelpWindow::FormCreate() {
    richEdit_ = createRichEdit();
    if (!richEdit_) return false;

    // Nothing the user could undo: the text is read-only and its formatting ours.
    SendMessageW(richEdit_, EM_SETUNDOLIMIT, 0, 0);
    SendMessageW(richEdit_, EM_SETBKGNDCOLOR, 0, RGB(255, 255, 255));
    CHARFORMAT2W plain{};
    plain.cbSize = sizeof plain;
    plain.dwMask = CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_CHARSET;
    plain.yHeight = kEightPointsInTwips;
    plain.crTextColor = kNavy;  // no CFE_AUTOCOLOR among the effects, so the colour applies
    plain.bCharSet = DEFAULT_CHARSET;
    lstrcpynW(plain.szFaceName, L"Tahoma", LF_FACESIZE);
    SendMessageW(richEdit_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&plain));

    const std::wstring text = win32::utf8ToWide(helpText("\r\n"));
    SETTEXTEX how{ST_DEFAULT, kUtf16CodePage};
    SendMessageW(richEdit_, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(richEdit_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&plain));

    for (int line : kHelpHeadingLines) makebold(line);
    return true;
}

HWND HelpWindow::createRichEdit() {
    // Rich edit 4.1 where there is one; 2.0 keeps the same messages.
    const wchar_t* windowClass = MSFTEDIT_CLASS;
    richEditLibrary_.reset(LoadLibraryW(L"Msftedit.dll"));
    if (!richEditLibrary_) {
        windowClass = RICHEDIT_CLASSW;
        richEditLibrary_.reset(LoadLibraryW(L"Riched20.dll"));
        if (!richEditLibrary_) return nullptr;
    }
    // No border and no horizontal scroll bar: long lines wrap.
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
    // Its text is given in points, which the control itself sizes for the
    // DPI the window is made at.
    createdAt_ = scale();
    const DpiScale s = scale();
    return CreateWindowExW(0, windowClass, L"", style, s(kTextLeft), 0, s(kClientWidth) - s(kTextLeft),
                           s(kClientHeight), hwnd(), nullptr, instance(), nullptr);
}

void HelpWindow::dpiChanged() {
    const DpiScale s = scale();
    MoveWindow(richEdit_, s(kTextLeft), 0, s(kClientWidth) - s(kTextLeft), s(kClientHeight), TRUE);
    // The control keeps sizing points for the DPI it was made at: its zoom
    // makes up the difference (0 / 0: none).
    const bool same = s == createdAt_;
    SendMessageW(richEdit_, EM_SETZOOM, same ? 0 : s.dpi(), same ? 0 : createdAt_.dpi());
}

// A line too wide for the control wraps onto more display lines than one, so
// the control's line numbers are searched for where each text line begins: the
// first display line, and any whose previous character is a line break.
int HelpWindow::controlLineOf(int textLine) const {
    const int count = static_cast<int>(SendMessageW(richEdit_, EM_GETLINECOUNT, 0, 0));
    int seen = -1;
    for (int line = 0; line < count; ++line) {
        const LRESULT start = SendMessageW(richEdit_, EM_LINEINDEX, line, 0);
        if (start < 0) break;
        bool beginsTextLine = start == 0;
        if (!beginsTextLine) {
            wchar_t before[2]{};
            TEXTRANGEW range{{static_cast<LONG>(start - 1), static_cast<LONG>(start)}, before};
            SendMessageW(richEdit_, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
            beginsTextLine = before[0] == L'\r' || before[0] == L'\n';
        }
        if (beginsTextLine && ++seen == textLine) return line;
    }
    return -1;
}

void HelpWindow::makebold(int line) {
    // The control keeps one character per line break, so the start comes from
    // the control itself rather than from counting characters here.
    const int controlLine = controlLineOf(line);
    if (controlLine < 0) return;
    const LRESULT start = SendMessageW(richEdit_, EM_LINEINDEX, controlLine, 0);
    const LRESULT length = SendMessageW(richEdit_, EM_LINELENGTH, start, 0);
    CHARRANGE selection{static_cast<LONG>(start), static_cast<LONG>(start + length)};
    SendMessageW(richEdit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));

    CHARFORMAT2W heading{};
    heading.cbSize = sizeof heading;
    heading.dwMask = CFM_BOLD | CFM_COLOR;
    heading.dwEffects = CFE_BOLD;
    heading.crTextColor = kHeadingColour;
    SendMessageW(richEdit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&heading));

    CHARRANGE none{0, 0};
    SendMessageW(richEdit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&none));
}

void HelpWindow::FormShow() {
    const WindowBounds own = outerBounds(hwnd());
    moveTo(helpWindowOrigin(outerBounds(owner()), own.width, own.height));
    // Each opening starts at the top with nothing selected, whatever was done last time.
    CHARRANGE none{0, 0};
    SendMessageW(richEdit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&none));
    SendMessageW(richEdit_, WM_VSCROLL, SB_TOP, 0);
}

bool HelpWindow::handleMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message == WM_SETFOCUS) {
        // The keys and the wheel scroll the text; the control gets the focus
        // without the select-all a dialog would do.
        SetFocus(richEdit_);
        result = 0;
        return true;
    }
    return false;
}

}  // namespace ostrel::ui
