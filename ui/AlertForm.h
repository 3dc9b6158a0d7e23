#pragma once
// "Talertform": the small always-on-top notice that an automatic download
// runs, with "Остановить" to stop it. Made once at start-up and hidden.
#include <windows.h>

#include <functional>

#include "app/NoticeView.h"
#include "base/DpiScale.h"
#include "platform/win32/UniqueHandle.h"
#include "ui/Dpi.h"
#include "ui/WindowBase.h"

namespace ostrel::ui {

class AlertForm final : public NoticeView, public WindowBase<AlertForm> {
public:
    explicit AlertForm(HINSTANCE instance) : instance_(instance) {}

    [[nodiscard]] bool create(HWND owner);
    void showNotice() override;

    // "Остановить"; the notice closes itself afterwards.
    std::function<void()> onStop;

private:
    friend class WindowBase<AlertForm>;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void layOut(DpiScale scale);

    HINSTANCE instance_;
    ScaledControls controls_;
    HWND button_ = nullptr;
    DpiScale scale_;  // the notice's DPI, known once it is made
    win32::UniqueFont font_;
};

}  // namespace ostrel::ui
