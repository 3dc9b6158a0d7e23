// The one window procedure of the program's windows, on the target's own
// window manager: what a failing handler answers, and that a window and its
// object let go of each other.
#include "ui/WindowBase.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace ostrel::ui {

// The program shows a failure in a box; here it is only noted.
std::vector<std::string> generalErrors;
void showGeneralError(HWND, std::string_view what) noexcept { generalErrors.emplace_back(what); }

namespace {

constexpr UINT kAsk = WM_APP + 7;

struct Probe : WindowBase<Probe> {
    UINT failOn = 0;      // the message whose handler throws
    bool dialog = false;  // the dialog manager's default follows an answer of FALSE
    int asked = 0, destroyed = 0;

    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == failOn) throw std::runtime_error("handler failed");
        if (message == kAsk) ++asked;
        return dialog ? FALSE : DefWindowProcW(hwnd_, message, wParam, lParam);
    }
    void windowDestroyed() { ++destroyed; }

    HWND createWindow() {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &windowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"OstrelWindowBaseProbe";
        RegisterClassExW(&windowClass);
        return CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               windowClass.hInstance, this);
    }
    HWND createDialog() {
        dialog = true;
        struct alignas(4) {
            DLGTEMPLATE header{WS_POPUP, 0, 0, 0, 0, 10, 10};
            WORD menu = 0, windowClass = 0, title = 0;
        } blank;
        return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &blank.header, nullptr, &dialogProc,
                                          reinterpret_cast<LPARAM>(this));
    }
};

class WindowBaseTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { generalErrors.clear(); }
    HWND create(Probe& probe) { return GetParam() ? probe.createDialog() : probe.createWindow(); }
};

TEST_P(WindowBaseTest, AFailingHandlerIsShownAndItsMessageAnsweredAsOneThatDidNothing) {
    Probe probe;
    HWND window = create(probe);
    ASSERT_TRUE(window);
    EXPECT_EQ(probe.hwnd(), window);
    SendMessageW(window, kAsk, 0, 0);
    EXPECT_EQ(probe.asked, 1);
    // The default handling of WM_CLOSE would destroy a window that only hides.
    probe.failOn = WM_CLOSE;
    EXPECT_EQ(SendMessageW(window, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(generalErrors, std::vector<std::string>{"handler failed"});
    DestroyWindow(window);
}

TEST_P(WindowBaseTest, TheObjectLetsGoOfItsWindowAndTakesItAlongWhenItGoesFirst) {
    HWND window = nullptr;
    {
        Probe probe;
        window = create(probe);
        ASSERT_TRUE(window);
        DestroyWindow(window);
        EXPECT_EQ(probe.hwnd(), nullptr);
        EXPECT_EQ(probe.destroyed, 1);
        window = create(probe);
        ASSERT_TRUE(window);
    }
    EXPECT_FALSE(IsWindow(window));
}

INSTANTIATE_TEST_SUITE_P(WindowAndDialog, WindowBaseTest, ::testing::Bool());

TEST(WindowBase, AWindowWhoseCreationFailsIsNotMade) {
    generalErrors.clear();
    Probe probe;
    probe.failOn = WM_CREATE;
    EXPECT_EQ(probe.createWindow(), nullptr);
    EXPECT_EQ(probe.hwnd(), nullptr);
    EXPECT_EQ(probe.destroyed, 1);
    EXPECT_EQ(generalErrors, std::vector<std::string>{"handler failed"});
}

}  // namespace
}  // namespace ostrel::ui
