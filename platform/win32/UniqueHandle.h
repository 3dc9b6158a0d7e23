#pragma once
// One move-only owner for every kind of Windows handle. Each kind names its
// invalid value(s) and how it is released in a small traits struct.
#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

#include <utility>

namespace ostrel::win32 {

template <typename T, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const { return handle_; }
    explicit operator bool() const { return Traits::valid(handle_); }

    T release() { return std::exchange(handle_, Traits::invalid()); }
    void reset(T handle = Traits::invalid()) {
        T old = std::exchange(handle_, handle);
        if (Traits::valid(old)) Traits::close(old);
    }
    // For APIs that return the handle through an out parameter.
    T* put() {
        reset();
        return &handle_;
    }

private:
    T handle_ = Traits::invalid();
};

// Kernel objects: CreateFile answers INVALID_HANDLE_VALUE, most others NULL.
struct KernelHandleTraits {
    static HANDLE invalid() { return nullptr; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;

// FindFirstFile answers INVALID_HANDLE_VALUE and is closed with FindClose.
struct FindHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { FindClose(h); }
};
using UniqueFindHandle = UniqueHandle<HANDLE, FindHandleTraits>;

struct RegistryKeyTraits {
    static HKEY invalid() { return nullptr; }
    static bool valid(HKEY h) { return h != nullptr; }
    static void close(HKEY h) { RegCloseKey(h); }
};
using UniqueRegistryKey = UniqueHandle<HKEY, RegistryKeyTraits>;

// WinInet sessions and requests share one handle type and one release call.
struct InternetHandleTraits {
    static HINTERNET invalid() { return nullptr; }
    static bool valid(HINTERNET h) { return h != nullptr; }
    static void close(HINTERNET h) { InternetCloseHandle(h); }
};
using UniqueInternetHandle = UniqueHandle<HINTERNET, InternetHandleTraits>;

// Windows hooks.
struct HookTraits {
    static HHOOK invalid() { return nullptr; }
    static bool valid(HHOOK h) { return h != nullptr; }
    static void close(HHOOK h) { UnhookWindowsHookEx(h); }
};
using UniqueHook = UniqueHandle<HHOOK, HookTraits>;

template <typename GdiObject>
struct GdiObjectTraits {
    static GdiObject invalid() { return nullptr; }
    static bool valid(GdiObject h) { return h != nullptr; }
    static void close(GdiObject h) { DeleteObject(h); }
};
using UniqueFont = UniqueHandle<HFONT, GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectTraits<HBRUSH>>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectTraits<HBITMAP>>;
using UniquePen = UniqueHandle<HPEN, GdiObjectTraits<HPEN>>;

struct MemoryDcTraits {
    static HDC invalid() { return nullptr; }
    static bool valid(HDC h) { return h != nullptr; }
    static void close(HDC h) { DeleteDC(h); }
};
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcTraits>;

struct IconTraits {
    static HICON invalid() { return nullptr; }
    static bool valid(HICON h) { return h != nullptr; }
    static void close(HICON h) { DestroyIcon(h); }
};
using UniqueIcon = UniqueHandle<HICON, IconTraits>;

struct MenuTraits {
    static HMENU invalid() { return nullptr; }
    static bool valid(HMENU h) { return h != nullptr; }
    static void close(HMENU h) { DestroyMenu(h); }
};
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;

struct AcceleratorTraits {
    static HACCEL invalid() { return nullptr; }
    static bool valid(HACCEL h) { return h != nullptr; }
    static void close(HACCEL h) { DestroyAcceleratorTable(h); }
};
using UniqueAccelerators = UniqueHandle<HACCEL, AcceleratorTraits>;

struct ImageListTraits {
    static HIMAGELIST invalid() { return nullptr; }
    static bool valid(HIMAGELIST h) { return h != nullptr; }
    static void close(HIMAGELIST h) { ImageList_Destroy(h); }
};
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListTraits>;

// Puts a GDI object into a DC for one scope and puts the previous one back.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectObjectScope() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }
    const RECT& dirty() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

}  // namespace ostrel::win32
