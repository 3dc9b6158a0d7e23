#include "platform/win32/Win32Tray.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "platform/win32/Icons.h"
#include "platform/win32/Text.h"

namespace ostrel::win32 {
namespace {

// The first layout of the structure: its tip holds 64 characters.
constexpr std::size_t kTipCapacity = 64;

}  // namespace

Win32Tray::Win32Tray(HWND window, HINSTANCE instance, TrayIconIds icons, int dpi)
    : window_(window),
      instance_(instance),
      ids_(icons),
      dpi_(dpi),
      playing_(loadIcon(instance, icons.playing, IconSize::Small, dpi)),
      stopped_(loadIcon(instance, icons.stopped, IconSize::Small, dpi)) {}

void Win32Tray::rescale(int dpi) {
    if (dpi == dpi_) return;
    UniqueIcon playing(loadIcon(instance_, ids_.playing, IconSize::Small, dpi));
    UniqueIcon stopped(loadIcon(instance_, ids_.stopped, IconSize::Small, dpi));
    if (!playing || !stopped) return;  // the icons of the old size stay
    dpi_ = dpi;
    // The old icons go on leaving, once the shell shows the new one.
    std::swap(playing_, playing);
    std::swap(stopped_, stopped);
    modify(shown_, tip_);
}

NOTIFYICONDATAW Win32Tray::record(TrayIcon icon, const std::string& tipUtf8) const {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window_;
    data.uID = 0;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = icon == TrayIcon::Playing ? playing_.get() : stopped_.get();
    std::wstring tip = utf8ToWide(tipUtf8);
    std::size_t length = std::min(tip.size(), kTipCapacity - 1);
    // Never leave half of a surrogate pair at the end.
    if (length > 0 && length < tip.size() && IS_HIGH_SURROGATE(tip[length - 1])) --length;
    std::copy_n(tip.data(), length, data.szTip);
    data.szTip[length] = L'\0';
    return data;
}

// Tray calls are not checked: without a notification area the program works on.
void Win32Tray::add(TrayIcon icon, const std::string& tipUtf8) {
    shown_ = icon;
    tip_ = tipUtf8;
    NOTIFYICONDATAW data = record(icon, tipUtf8);
    Shell_NotifyIconW(NIM_ADD, &data);
    added_ = true;
}

void Win32Tray::modify(TrayIcon icon, const std::string& tipUtf8) {
    shown_ = icon;
    tip_ = tipUtf8;
    if (!added_) return;
    NOTIFYICONDATAW data = record(icon, tipUtf8);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void Win32Tray::remove() {
    if (!added_) return;
    added_ = false;
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window_;
    data.uID = 0;
    Shell_NotifyIconW(NIM_DELETE, &data);
}

}  // namespace ostrel::win32
