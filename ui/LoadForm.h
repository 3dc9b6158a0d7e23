#pragma once
// "TLoadForm": the download browser's dialog. It draws the previews, their
// labels, the date, the page number, the band and the line itself; the two
// paging buttons and the status bar are controls. Made once at start-up and
// shown modally by the browser.
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "download/DownloadBrowser.h"
#include "imaging/BackgroundDecodes.h"
#include "platform/FileSystem.h"
#include "platform/win32/UniqueHandle.h"
#include "ui/Dpi.h"
#include "ui/ModalWindow.h"

namespace ostrel::ui {

class LoadForm final : public ModalWindow, public DownloadBrowserView {
public:
    LoadForm(HINSTANCE instance, const FileSystem& files, std::string siteName);
    ~LoadForm() override;

    void attach(DownloadBrowser* browser) { browser_ = browser; }

    // DownloadBrowserView
    void showModal() override;
    void setSlotVisible(int slot, bool visible) override;
    void setSlotPicture(int slot, const std::string& file) override;
    void setSlotLabel(int slot, const std::string& textUtf8) override;
    void setPagingEnabled(bool previous, bool next) override;
    void setDateLabel(const std::string& text) override;
    void setPageLabel(const std::string& text) override;
    void setNoteVisible(bool visible) override;
    void setStatus(StatusPanel panel, const std::string& textUtf8) override;
    void startClock() override;
    void showMessage(const std::string& textUtf8) override;
    void repaint() override;
    char decimalSeparator() const override;

private:
    // A preview decoded on the worker is ready to be collected.
    static constexpr UINT kPreviewsDecoded = WM_APP + 1;

    struct Picture {
        int width = 0, height = 0;
        std::vector<std::uint8_t> dib;  // 24-bit, top-down, rows padded to 4 bytes
    };
    struct Slot {
        bool visible = false;
        Picture picture;
        std::string file;  // the preview file shown, "" for none
        std::wstring label;
        SIZE labelSize{0, 0};  // of the label's text in its font
    };
    enum class Target { None, Image, Label };
    struct Hit {
        Target target = Target::None;
        int slot = 0;
    };

    bool FormCreate() override;
    void FormShow() override;
    void dpiChanged() override;
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    void paint();
    void draw(HDC dc, int width, int height);
    void measureLabel(Slot& slot) const;
    RECT labelRect(int slot) const;
    Hit hitTest(POINT at) const;
    void onActivate(WPARAM wParam, LPARAM lParam);
    bool fromAnotherProgram(LPARAM lParam) const;
    void showTime();
    void invalidate(const RECT* area);
    void showDecodedPreviews();

    const FileSystem& files_;
    std::string siteName_;
    DownloadBrowser* browser_ = nullptr;
    std::array<Slot, kBrowserSlots> slots_;
    std::wstring date_, page_, note_;
    bool noteVisible_ = false;
    bool appSwitch_ = false;  // WM_ACTIVATEAPP came since the last WM_ACTIVATE
    int pressedLabel_ = 0;    // its text is red while the button is down
    Hit pressed_;
    HWND previous_ = nullptr, next_ = nullptr, status_ = nullptr, tooltip_ = nullptr;
    ScaledControls buttons_;
    win32::UniqueFont buttonFont_, labelFont_, dateFont_, pageFont_;
    // The status bar's and the tooltip's: theirs at this window's DPI.
    win32::UniqueFont statusFont_;
    // Previews come from the network: they are decoded off the interface
    // thread, so the dialog answers throughout, and posted back.
    BackgroundDecodes decodes_{[this] { PostMessageW(hwnd(), kPreviewsDecoded, 0, 0); }};
};

}  // namespace ostrel::ui
