#include "platform/win32/Icons.h"

#include <shellapi.h>
#include <shlobj.h>

#include <utility>

namespace ostrel::win32 {
namespace {

// Looked up at run time: Windows before 10 has no per-DPI metrics and
// Windows XP no scaled-down loading, and the program must start there too.
template <class Function>
Function systemFunction(const wchar_t* module, const char* name) {
    HMODULE loaded = GetModuleHandleW(module);
    return loaded ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name))) : nullptr;
}

using MetricsForDpiFunction = int(WINAPI*)(int, UINT);
using ScaleDownFunction = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);

int iconMetric(int metric, int dpi) {
    static const auto forDpi = systemFunction<MetricsForDpiFunction>(L"user32.dll", "GetSystemMetricsForDpi");
    if (forDpi && dpi > 0)
        if (const int value = forDpi(metric, static_cast<UINT>(dpi)); value > 0) return value;
    return GetSystemMetrics(metric);
}

}  // namespace

HICON loadIcon(HINSTANCE instance, int id, IconSize size, int dpi) {
    const bool small = size == IconSize::Small;
    const int cx = iconMetric(small ? SM_CXSMICON : SM_CXICON, dpi);
    const int cy = iconMetric(small ? SM_CYSMICON : SM_CYICON, dpi);
    // Scaling down a larger image keeps it sharp where LoadImage would
    // enlarge a smaller one (a 40-pixel icon from 32 pixels).
    static const auto scaleDown = systemFunction<ScaleDownFunction>(L"comctl32.dll", "LoadIconWithScaleDown");
    HICON icon = nullptr;
    if (scaleDown && SUCCEEDED(scaleDown(instance, MAKEINTRESOURCEW(id), cx, cy, &icon)) && icon) return icon;
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
}

HICON loadFolderIcon(int dpi) {
    const int size = iconMetric(SM_CXSMICON, dpi);
    // Taken from where the shell keeps it, at the size asked: the shell's
    // own small icon has the size of the DPI the program started at.
    SHFILEINFOW folder{};
    HICON icon = nullptr;
    if (SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &folder, sizeof folder,
                       SHGFI_USEFILEATTRIBUTES | SHGFI_ICONLOCATION) &&
        folder.szDisplayName[0] &&
        SHDefExtractIconW(folder.szDisplayName, folder.iIcon, 0, &icon, nullptr, static_cast<UINT>(size)) == S_OK &&
        icon)
        return icon;
    folder = {};
    if (SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &folder, sizeof folder,
                       SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_SMALLICON))
        return folder.hIcon;
    return nullptr;
}

void WindowIcons::set(HWND window, HINSTANCE instance, int id, int dpi) {
    UniqueIcon large(loadIcon(instance, id, IconSize::Large, dpi)), small(loadIcon(instance, id, IconSize::Small, dpi));
    // Where one fails the window keeps its class's icon.
    if (large) SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.get()));
    if (small) SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    // The old icons go only once the window no longer shows them.
    if (large) large_ = std::move(large);
    if (small) small_ = std::move(small);
}

}  // namespace ostrel::win32
