#pragma once
// "Talertform": the small always-on-top notice that an automatic download
// runs, with "Остановить" to stop it. Made once at start-up and hidden.
#include <windows.h>

#include <functional>

#include "app/NoticeView.h"
#include "platform/win32/UniqueHandle.h"

namespace ostrel::ui {

class AlertForm final : public NoticeView {
public:
    explicit AlertForm(HINSTANCE instance) : instance_(instance) {}
    ~AlertForm() override;
    AlertForm(const AlertForm&) = delete;
    AlertForm& operator=(const AlertForm&) = delete;

    [[nodiscard]] bool create(HWND owner);
    void showNotice() override;
    HWND hwnd() const { return hwnd_; }

    // "Остановить" (Button1); the notice closes itself afterwards.
    std::function<void()> onStop;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HWND button_ = nullptr;
    win32::UniqueFont font_;
};

}  // namespace ostrel::ui
