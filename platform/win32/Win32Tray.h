#pragma once
// The notification-area icon of the main window.
#include <windows.h>
#include <shellapi.h>

#include "platform/Tray.h"
#include "platform/win32/UniqueHandle.h"

namespace ostrel::win32 {

// The callback message the icon sends to the main window (WM_USER + 100).
inline constexpr UINT kTrayCallbackMessage = 0x464;

// The program's icon resources for the two states.
struct TrayIconIds {
    int playing;
    int stopped;
};

class Win32Tray final : public Tray {
public:
    // The icons at the size the notification area asks for at the window's DPI.
    Win32Tray(HWND window, HINSTANCE instance, TrayIconIds icons, int dpi);

    // The icons again at the notification area's new DPI (its monitor's
    // scaling was changed), shown at once; nothing where the DPI is the same.
    void rescale(int dpi);

    void add(TrayIcon icon, const std::string& tipUtf8) override;
    void modify(TrayIcon icon, const std::string& tipUtf8) override;
    void remove() override;

private:
    NOTIFYICONDATAW record(TrayIcon icon, const std::string& tipUtf8) const;

    HWND window_;
    HINSTANCE instance_;
    TrayIconIds ids_;
    int dpi_;
    UniqueIcon playing_;
    UniqueIcon stopped_;
    // What the icon shows, for showing it again at another size.
    TrayIcon shown_ = TrayIcon::Stopped;
    std::string tip_;
    // Whether the icon was added and not removed since: each call is a message
    // to the taskbar, which may keep the caller waiting while it is busy.
    bool added_ = false;
};

}  // namespace ostrel::win32
