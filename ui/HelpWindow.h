#pragma once
// `THelpForm`: the fixed help text in a read-only rich edit control.
#include <windows.h>

#include "app/HelpText.h"
#include "platform/win32/UniqueHandle.h"
#include "ui/ModalWindow.h"

namespace ostrel::ui {

struct LibraryTraits {
    static HMODULE invalid() { return nullptr; }
    static bool valid(HMODULE h) { return h != nullptr; }
    static void close(HMODULE h) { FreeLibrary(h); }
};
using UniqueLibrary = win32::UniqueHandle<HMODULE, LibraryTraits>;

class HelpWindow final : public ModalWindow {
public:
    explicit HelpWindow(HINSTANCE instance);
    ~HelpWindow() override;

private:
    bool FormCreate() override;
    void FormShow() override;
    void dpiChanged() override;
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    HWND createRichEdit();
    void makebold(int line);
    int controlLineOf(int textLine) const;

    // Freed after the destructor has destroyed the window and its control.
    UniqueLibrary richEditLibrary_;
    HWND richEdit_ = nullptr;
    DpiScale createdAt_;  // the DPI the control sizes its points for
};

}  // namespace ostrel::ui
