#include "ui/AboutBox.h"

#include <string>

#include "app/HelpText.h"
#include "base/Rounding.h"
#include "app/Version.h"
#include "base/ProgramName.h"
#include "platform/win32/Text.h"
#include "ui/PixelFont.h"

namespace ostrel::ui {
namespace {

constexpr int kClientWidth = 362;
constexpr int kClientHeight = 236;
constexpr COLORREF kBackground = RGB(245, 247, 249);
constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kSeparator = RGB(208, 215, 224);

constexpr const char* kDescription =
    "Программа предназначена для автоматической смены обоев на рабочем столе. Есть возможность "
    "скачивать новые обои из интернета. Новые обои каждый день на сайте ostrel.example.";
constexpr const char* kProgramming = "Программирование: ";
constexpr const char* kProgrammer = "Тимур Веденеев";
constexpr const char* kIdeas = "Идеи и юзабилити: ";
constexpr const char* kIdeasAuthor = "Дарья Лукина";
constexpr const char* kContact = "Вопросы и предложения пишите на ";
constexpr const char* kContactAddress = "mail@ostrel.example";

// Top of each line; the description is a centred block of 313 × 57.
constexpr int kTitleTop = 26;
constexpr RECT kDescriptionBox{24, 54, 24 + 313, 54 + 57};
constexpr int kSeparatorTop = 126;
constexpr int kProgrammingTop = 142;
constexpr int kIdeasTop = 162;
constexpr int kContactTop = 194;

}  // namespace

AboutBox::AboutBox(HINSTANCE instance)
    : ModalWindow(instance, Look{L"OstrelAboutBox", "О программе", kClientWidth, kClientHeight, nullptr}) {}

AboutBox::~AboutBox() { destroyWindow(); }

bool AboutBox::FormCreate() {
    background_.reset(CreateSolidBrush(kBackground));
    dpiChanged();
    return true;  // without a font or brush the system's own are used
}

void AboutBox::dpiChanged() {
    separator_.reset(CreatePen(PS_SOLID, scale()(1), kSeparator));
    font_ = tahoma8(scale());
    boldFont_ = tahoma8(scale(), true);
}

void AboutBox::FormShow() {
    const WindowBounds own = outerBounds(hwnd());
    moveTo(aboutBoxOrigin(outerBounds(owner()), own.width, own.height));
}

bool AboutBox::handleMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    switch (message) {
    case WM_ERASEBKGND:  // the paint covers every pixel
        result = 1;
        return true;
    case WM_PAINT:
        paint();
        result = 0;
        return true;
    }
    return false;
}

void AboutBox::paint() {
    win32::PaintScope painting(hwnd());
    RECT client{};
    GetClientRect(hwnd(), &client);
    win32::UniqueMemoryDc memory(CreateCompatibleDC(painting.dc()));
    win32::UniqueBitmap buffer(CreateCompatibleBitmap(painting.dc(), client.right, client.bottom));
    if (!memory || !buffer) {
        draw(painting.dc());  // flickers, but shows
        return;
    }
    win32::SelectObjectScope selected(memory.get(), buffer.get());
    draw(memory.get());
    BitBlt(painting.dc(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

void AboutBox::draw(HDC dc) const {
    const DpiScale s = scale();
    RECT client{0, 0, s(kClientWidth), s(kClientHeight)};
    FillRect(dc, &client, background_ ? background_.get() : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kNavy);

    const std::string title = std::string(kProgramTitle) + " " OSTREL_VERSION_TEXT;
    drawCentredLine(dc, s(kTitleTop), {{title, true}});
    {
        win32::SelectObjectScope font(dc, font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT));
        RECT box{s(kDescriptionBox.left), s(kDescriptionBox.top), s(kDescriptionBox.right), s(kDescriptionBox.bottom)};
        const std::wstring text = win32::utf8ToWide(kDescription);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    }
    if (separator_) {
        win32::SelectObjectScope pen(dc, separator_.get());
        MoveToEx(dc, s(kDescriptionBox.left), s(kSeparatorTop), nullptr);
        LineTo(dc, s(kDescriptionBox.right), s(kSeparatorTop));
    }
    drawCentredLine(dc, s(kProgrammingTop), {{kProgramming, false}, {kProgrammer, true}});
    drawCentredLine(dc, s(kIdeasTop), {{kIdeas, false}, {kIdeasAuthor, true}});
    drawCentredLine(dc, s(kContactTop), {{kContact, false}, {kContactAddress, true}});
}

void AboutBox::drawCentredLine(HDC dc, int top, std::initializer_list<Piece> pieces) const {
    auto fontOf = [&](const Piece& piece) -> HGDIOBJ {
        const win32::UniqueFont& font = piece.bold ? boldFont_ : font_;
        return font ? static_cast<HGDIOBJ>(font.get()) : GetStockObject(DEFAULT_GUI_FONT);
    };
    // Measured with the trailing blank of a caption, so the bold part keeps its gap.
    int total = 0;
    for (const Piece& piece : pieces) {
        win32::SelectObjectScope font(dc, fontOf(piece));
        const std::wstring text = win32::utf8ToWide(piece.utf8);
        SIZE size{};
        if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size)) total += size.cx;
    }
    int left = static_cast<int>(roundHalfEven(scale()(kClientWidth) - total, 2));
    for (const Piece& piece : pieces) {
        win32::SelectObjectScope font(dc, fontOf(piece));
        const std::wstring text = win32::utf8ToWide(piece.utf8);
        TextOutW(dc, left, top, text.c_str(), static_cast<int>(text.size()));
        SIZE size{};
        if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size)) left += size.cx;
    }
}

}  // namespace ostrel::ui
