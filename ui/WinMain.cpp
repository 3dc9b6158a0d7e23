// The program's entry: command line, single instance, the windows, the loop.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "app/MainController.h"
#include "app/SeededRandom.h"
#include "app/StartMode.h"
#include "base/ProgramName.h"
#include "download/CatalogueUrls.h"
#include "platform/win32/FrontOwner.h"
#include "platform/win32/SingleInstance.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Hotkeys.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"
#include "platform/win32/Win32Timers.h"
#include "platform/win32/Win32Tray.h"
#include "platform/win32/WinInetInternet.h"
#include "resources/resource.h"
#include "ui/AlertForm.h"
#include "ui/ClassNames.h"
#include "ui/Dpi.h"
#include "ui/ErrorBox.h"
#include "ui/FolderChooserDialog.h"
#include "ui/LoadForm.h"
#include "ui/MainWindow.h"
#include "ui/OptionsDialog.h"
#include "ui/PostedFetches.h"
#include "ui/PostedHeaderReads.h"
#include "ui/ViewerWindow.h"

namespace {

constexpr const char* kInstanceMutex = "MyOwnMutex";
// How long the transfers still running are given to end when the program is
// left other than by its end (at its end, with everything saved, a moment).
constexpr std::chrono::milliseconds kTransfersEndOtherwise{60000};

// "TaskbarCreated" tells us when Explorer restarts.
UINT registerTaskbarCreated() { return RegisterWindowMessageA("TaskbarCreated"); }

// The first instance's window may not exist yet (it is still starting) or no
// longer (it is ending); then nothing is shown.
void showRunningInstance() {
    if (HWND first = FindWindowW(ostrel::ui::kMainWindowClass, ostrel::kProgramTitleWide))
        ShowWindow(first, SW_SHOWNORMAL);
}

// Detaches the controller from the window before the controller goes away,
// so that a late message cannot reach it.
class Attachment {
public:
    Attachment(ostrel::ui::MainWindow& window, ostrel::MainController& controller) : window_(window) {
        window_.attach(&controller);
    }
    ~Attachment() { window_.attach(nullptr); }
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

private:
    ostrel::ui::MainWindow& window_;
};

// Stops the transfers, the header reads and the preview's decodes, waiting at
// most limit in all: a file on a share that is off, like a server gone
// silent, is not waited for beyond a moment. False when one is still blocked.
bool stopAllWorkers(ostrel::ui::PostedFetches& fetches, ostrel::ui::PostedHeaderReads& headers,
                    ostrel::ui::MainWindow& window, std::chrono::milliseconds limit) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + limit;
    const auto left = [deadline] {
        return std::max(duration_cast<milliseconds>(deadline - steady_clock::now()), milliseconds{0});
    };
    const bool fetchesEnded = fetches.stopAll(left());
    const bool headersEnded = headers.stopWithin(left());
    return window.stopPreviewDecodes(left()) && fetchesEnded && headersEnded;
}

void runMessageLoop(ostrel::ui::MainWindow& window, ostrel::ui::OptionsDialog& options) {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        window.examineMouseMove(msg);
        // Shortcuts first, so that F10 means the options and not the menu bar.
        if (window.translateAccelerator(msg)) continue;
        if (options.isDialogMessage(msg)) continue;  // Tab, Enter and Escape in the options
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void run(HINSTANCE instance) {
    using namespace ostrel;

    // The raw command line, not split: only its last characters matter.
    const StartMode mode = parseCommandLine(GetCommandLineA());
    SeededRandom random(win32::startupSeed());
    const UINT taskbarCreated = registerTaskbarCreated();

    // A running instance is only brought up; this one creates nothing.
    if (win32::claimInstance(kInstanceMutex) == win32::InstanceRole::Another) {
        showRunningInstance();
        return;
    }

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);

    ui::MainWindow window(instance, taskbarCreated);
    if (!window.create()) {
        ui::showGeneralError(nullptr, "Не удалось создать главное окно программы.");
        return;
    }
    HWND hwnd = window.hwnd();

    win32::Win32Registry registry;
    win32::Win32FileSystem files;
    win32::Win32Desktop desktop;
    win32::Win32Tray tray(hwnd, instance, {IDI_PLAY, IDI_STOP}, ui::primaryMonitorScale().dpi());
    win32::Win32Hotkeys hotkeys(hwnd);
    win32::Win32SystemInfo systemInfo;
    win32::Win32Timers timers(hwnd);
    win32::Win32Clock clock;
    win32::Win32Dialogs dialogs(hwnd);
    // The full-screen viewer, made once after the main window and hidden until
    // asked for; the list grid gets the keyboard back whenever it is shown.
    ui::ViewerWindow viewer(instance);
    if (!viewer.create(hwnd, window.listHwnd())) {
        ui::showGeneralError(nullptr, "Не удалось создать окно просмотра на весь экран.");
        return;
    }
    // Boxes raised while it is shown are its own, so that they stand in front of it.
    win32::setScreenCover(viewer.hwnd());
    // Made at start-up, after the main window, and kept: it lists the drives once.
    ui::FolderChooserDialog chooser(instance, hwnd, [&window] { return window.folderChooserPosition(); });
    if (!chooser.create()) {
        ui::showGeneralError(nullptr, "Не удалось создать окно выбора папки.");
        return;
    }
    // Made once and kept, hidden while not in use; it keeps the proxy fields for the run.
    ui::OptionsDialog options(instance);
    if (!options.create(hwnd)) {
        ui::showGeneralError(nullptr, "Не удалось создать окно настроек.");
        return;
    }
    // The download side: transfers whose results come back as posted messages,
    // the notice of the automatic download and the download browser.
    win32::WinInetInternet internet;
    ProxySettings proxy;
    ui::PostedFetches fetches(instance, internet, files, proxy);
    ui::PostedHeaderReads headers(instance, files);
    ui::AlertForm notice(instance);
    ui::LoadForm browser(instance, files, catalogueSiteName(catalogueBaseUrl()));
    if (!fetches.create() || !headers.create() || !notice.create(hwnd) || !browser.create(hwnd)) {
        ui::showGeneralError(nullptr, "Не удалось создать окна скачивания обоев.");
        return;
    }
    // Taken in UTF-16: the A function would turn a name the ANSI code page
    // lacks into a look-alike, and the autorun entry would name no file.
    std::wstring programFile(32768, L'\0');  // the longest path Windows has
    programFile.resize(GetModuleFileNameW(nullptr, programFile.data(), static_cast<DWORD>(programFile.size())));
    const std::optional<std::string> programPath = win32::ansiPathOf(programFile);
    Services services{registry, files,  desktop, tray,        hotkeys, systemInfo, timers, clock,   random, dialogs,
                      chooser,  viewer, options, programPath, fetches, proxy,      notice, browser, headers};

    MainController controller(services, window);
    // From here on, the general error box is one of the program's boxes.
    ui::GeneralErrorsAmong generalErrors(controller.boxes());
    // The workers use the controller's stop flags and the file system: none
    // outlives them, however this function is left.
    struct StopWorkers {
        ui::PostedFetches& fetches;
        ui::PostedHeaderReads& headers;
        ui::MainWindow& window;
        ~StopWorkers() {
            if (!stopAllWorkers(fetches, headers, window, kTransfersEndOtherwise))
                TerminateProcess(GetCurrentProcess(), 0);
        }
    } stopWorkers{fetches, headers, window};
    Attachment attachment(window, controller);
    window.onScalingChanged = [&tray] { tray.rescale(ui::primaryMonitorScale().dpi()); };
    browser.attach(&controller.downloadBrowser());
    struct DetachBrowser {
        ui::LoadForm& form;
        ~DetachBrowser() { form.attach(nullptr); }
    } detachBrowser{browser};
    notice.onStop = [&controller] { controller.stopFromNotice(); };
    options.attach(&controller.options());
    // The dialog outlives the controller: it lets go of it first.
    struct Detach {
        ui::OptionsDialog& dialog;
        ~Detach() { dialog.attach(nullptr); }
    } detachOptions{options};
    viewer.onPictureClick = [&controller] { controller.viewer().close(); };

    // After the window exists, so that timers and the tray icon have their window.
    bool endNow = false;
    ui::guarded(hwnd, [&] { endNow = controller.FormCreate(mode); });
    if (endNow) {
        // Change-and-exit: the shutdown sequence has run; the window is never shown.
        window.destroy();
        return;
    }
    runMessageLoop(window, options);
    window.destroy();
    // Everything is saved. A transfer whose server has gone silent, or a read
    // blocked on a share that is off, is not waited for beyond a moment: a
    // transfer's temporary file goes as the process ends.
    // Terminated rather than exited: the library's clean-up must not wait
    // for a lock a blocked worker holds.
    if (!stopAllWorkers(fetches, headers, window, kTransfersEndWait)) TerminateProcess(GetCurrentProcess(), 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The shell's dialogs (folder browsing, file dialogs) expect COM on this thread.
    const bool com = SUCCEEDED(OleInitialize(nullptr));
    ostrel::ui::guarded(nullptr, [&] { run(instance); });
    if (com) OleUninitialize();
    return 0;  // always
}
