// wintool: the Wine tests' helper. It talks to the running program the way
// another Windows program would and prints plain answers for the scripts.
// Arguments arrive as Unicode (so Cyrillic survives the trip from bash); text
// goes out as UTF-8. Exit codes: 0 success, 1 the awaited thing did not
// happen, 2 usage error, 3 no main window, 4 a Win32 call failed.
//
//   [--report-exit] first: print wintool-exit=N at the end (for "wine explorer /desktop")
//   screen                          the screen's width and height
//   wait-window <ms>                wait for the main window
//   wait-visible <0|1> <ms>         wait until the main window's visibility is as given
//   count-windows                   top-level TMainForm windows
//   post <main|grid> <msg> <wparam> <lparam>   post a message
//   post-command <id>               WM_COMMAND to the main window
//   post-hotkey <atom> [count]      WM_HOTKEY with the global atom's id (waits for it)
//   send-endsession                 WM_QUERYENDSESSION, then WM_ENDSESSION(1)
//   wait-dialog <caption> <ms>      wait for a visible top-level window of that caption
//   wait-box <caption> <ms>         wait for a visible message box of that caption
//   click <caption> <text|#id>      BM_CLICK the button of that text or id in it
//   client-origin | grid-rect       the main window's client origin, the grid's client
//                                   rectangle (left top right bottom), on the screen
//   window-info <class>             visible left top right bottom style exstyle
//   client-origin-of <class>        the client area's top-left corner on the screen
//   client-size <class|caption>     width height of the client area
//   dpi-changed <class|caption> <dpi>   WM_DPICHANGED to that window, as Windows sends it when
//                                   the window moves to a monitor of that DPI; the suggested
//                                   rectangle (put in the program's memory) is the window's own
//   ping <class> <ms>               WM_NULL round trips to that window for ms, 20 ms apart:
//                                   "count longest-ms", whether the window kept answering
//                                   (a lone late round under 1 s is a hiccup: see Rounds)
//   stack                           the visible top-level windows, topmost first: class,
//                                   exstyle and rectangle (for a failing check's log)
//   front                           the program's windows as the user meets them:
//                                   "fg=<class> top=<class> owner=<class> caption=<text>", the
//                                   foreground window, the program's first visible top-level
//                                   window in the z-order, the foreground window's owner
//   keys [--to <caption>|--here] <vk>...   type keys as real input (+vk holds, -vk lets go);
//                                   --here leaves the foreground as it is (an open menu)
//   item <caption> <id>             a control of that window: visible enabled left top right
//                                   bottom (on the screen) text
//   send <caption> <id> <msg> [wparam] [lparam]   SendMessage to the control, print the result
//   set-text <caption> <id> <text>  WM_SETTEXT to the control, as a program putting a path there would
//   start-together <n> <ms> <exe>   start n copies at once; after ms print how many run
//   run <ms> <exe> <tail>           CreateProcess "exe"+tail, close message boxes as they
//                                   come; print "ended exit=N dialogs=N shown=N"
//   answers <stop file> <limit ms>  until the file exists, a WM_NULL round trip to the main
//                                   window every 20 ms; print "rounds=N slowest=Nms over=N";
//                                   exit 1 when a round took limit ms or more, or failed (each
//                                   such round told on stderr; a lone hiccup is not counted)
//   stop-and-tick <id> <file> <ms>  post WM_COMMAND id, then TimerDownload's tick every 20 ms
//                                   until <file> (a request log) has one "/rz.txt" line more:
//                                   print the ms that took; exit 1 when not within ms
//   short-name <path>               the file's short alias (GetShortPathNameW)
//   hold-key <vk> <presses> <ms> <x> <y> <rrggbb>   hold a key on the main window as a keyboard
//                                   does: a key-down every ms, presses of them, then the release;
//                                   meanwhile WM_NULL round trips to it back to back. Then wait
//                                   up to 5 s for the pixel at client x,y to take the colour
//                                   (each channel within 48): "presses=N rounds=N over50ms=N slowest=Nms
//                                   release_to_pixel=Nms" (-1 when it never came)

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string utf8(const std::wstring& w) {
    std::string s(w.size() * 4, '\0');
    s.resize(WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), s.data(), (int)s.size(), nullptr, nullptr));
    return s;
}

// Raw bytes to stdout: the C runtime's text mode would add CRs under Wine.
void outLine(const std::string& s) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), (s + "\n").data(), (DWORD)s.size() + 1, &written, nullptr);
}

unsigned long number(const wchar_t* s) { return wcstoul(s, nullptr, 0); }

HWND mainWindow() { return FindWindowA("TMainForm", "Ostrel Wallpapers"); }
HWND gridWindow() {
    HWND main = mainWindow();
    return main ? FindWindowExA(main, nullptr, "tMystringGrid", nullptr) : nullptr;
}

std::string className(HWND h) {
    char name[256] = {};
    GetClassNameA(h, name, sizeof name);
    return name;
}
std::wstring text(HWND h) {
    wchar_t buf[512] = {};
    GetWindowTextW(h, buf, 512);
    return buf;
}
DWORD processOf(HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return pid;
}

std::vector<HWND> windows(HWND parent, const std::function<bool(HWND)>& wanted) {
    struct Search {
        const std::function<bool(HWND)>* wanted;
        std::vector<HWND> found;
    } search{&wanted, {}};
    auto visit = [](HWND h, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if ((*s->wanted)(h)) s->found.push_back(h);
        return TRUE;
    };
    if (parent)
        EnumChildWindows(parent, visit, reinterpret_cast<LPARAM>(&search));
    else
        EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND topLevel(const std::wstring& caption) {
    auto found = windows(nullptr, [&](HWND h) { return IsWindowVisible(h) && text(h) == caption; });
    // A message box shares the program's caption with its main window: the box first.
    for (HWND h : found)
        if (className(h) == "#32770") return h;
    return found.empty() ? nullptr : found[0];
}

template <class Pred>
bool waitFor(DWORD timeoutMs, Pred pred) {
    for (DWORD start = GetTickCount();; Sleep(50)) {
        if (pred()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
    }
}

PROCESS_INFORMATION start(const std::wstring& exe, const std::wstring& tail, DWORD flags) {
    std::wstring cmd = L"\"" + exe + L"\"" + tail;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &si, &pi))
        fprintf(stderr, "wintool: CreateProcess failed (%lu)\n", GetLastError());
    return pi;
}

// Starts the program exactly as another program would, so that the raw
// command line is the test's; reports and closes message boxes meanwhile.
int cmdRun(DWORD timeoutMs, const std::wstring& exe, const std::wstring& tail) {
    PROCESS_INFORMATION pi = start(exe, tail, 0);
    if (!pi.hProcess) return 4;
    std::vector<HWND> dialogs, shown;
    auto isNew = [](std::vector<HWND>& seen, HWND h) {
        for (HWND k : seen)
            if (k == h) return false;
        seen.push_back(h);
        return true;
    };
    bool ended = false;
    for (DWORD begin = GetTickCount(); !ended && GetTickCount() - begin < timeoutMs;) {
        ended = WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0;
        for (HWND w : windows(nullptr, [&](HWND h) { return processOf(h) == pi.dwProcessId && IsWindowVisible(h); })) {
            const bool dialog = className(w) == "#32770";
            if (isNew(dialog ? dialogs : shown, w))
                fprintf(stderr, "wintool: %s shown: %s [%s]\n", dialog ? "dialog" : "window", className(w).c_str(),
                        utf8(text(w)).c_str());
            if (dialog) PostMessageA(w, WM_CLOSE, 0, 0);  // so the test fails on the report, not a hang
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    const std::string counts = " dialogs=" + std::to_string(dialogs.size()) + " shown=" + std::to_string(shown.size());
    outLine(ended ? "ended exit=" + std::to_string(code) + counts : "running" + counts);
    return ended ? 0 : 1;
}

// Copies created suspended and let go together, so that their single-instance
// checks overlap as closely as the system allows.
int cmdStartTogether(unsigned long n, DWORD waitMs, const std::wstring& exe) {
    std::vector<PROCESS_INFORMATION> started;
    for (unsigned long i = 0; i < n; ++i) {
        started.push_back(start(exe, L" -", CREATE_SUSPENDED));
        if (!started.back().hProcess) return 4;
    }
    for (auto& pi : started) ResumeThread(pi.hThread);
    Sleep(waitMs);
    int running = 0;
    for (auto& pi : started) running += WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT;
    outLine(std::to_string(running));
    return 0;
}

// Real keyboard input, so that the program sees Shift and Ctrl as held.
int cmdKeys(int argc, wchar_t** argv) {
    const bool to = argc > 3 && std::wstring(argv[2]) == L"--to";
    const bool here = argc > 2 && std::wstring(argv[2]) == L"--here";
    if (!here) {
        HWND target = to ? topLevel(argv[3]) : mainWindow();
        if (!target) return 3;
        SetForegroundWindow(target);
        Sleep(300);
    }
    for (int i = to ? 4 : here ? 3 : 2; i < argc; ++i) {
        const wchar_t* a = argv[i];
        const WORD vk = static_cast<WORD>(number(a[0] == L'+' || a[0] == L'-' ? a + 1 : a));
        for (bool up : {false, true}) {
            if ((up && a[0] == L'+') || (!up && a[0] == L'-')) continue;
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = vk;
            in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            if (SendInput(1, &in, sizeof in) != 1) return 4;
            Sleep(30);  // one at a time, as a typist would
        }
    }
    return 0;
}

std::string rect(RECT r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
           std::to_string(r.bottom);
}

// Whether the main window still answers at once: a round trip of WM_NULL
// through its message queue, as the system's "not responding" test makes.
//
// Round trips of WM_NULL, in ms, judged against a limit. On a loaded machine
// a lone round can be late because this tool or the Wine server was not
// scheduled, not because the window was busy: a round over the limit between
// two within it, and under five times the limit, is such a hiccup. It is
// logged, not counted. A window really held up (a blocked read, a decode)
// gives a round of seconds, or several late rounds in a row.
struct Rounds {
    std::vector<double> ms;
    unsigned long over(double limit, double* slowestCounted = nullptr) const {
        unsigned long n = 0;
        double slowest = 0;
        for (std::size_t i = 0; i < ms.size(); ++i) {
            const bool late = ms[i] >= limit;
            const bool hiccup =
                late && ms[i] < 5 * limit && (i == 0 || ms[i - 1] < limit) && (i + 1 == ms.size() || ms[i + 1] < limit);
            if (hiccup) {
                fprintf(stderr, "wintool: a lone round of %d ms (round %zu), not counted\n", static_cast<int>(ms[i]),
                        i);
                continue;
            }
            slowest = std::max(slowest, ms[i]);
            if (late) ++n;
        }
        if (slowestCounted) *slowestCounted = slowest;
        return n;
    }
};

double msSince(const LARGE_INTEGER& from) {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool colourNear(COLORREF got, unsigned long want) {
    const int r = static_cast<int>(want >> 16 & 0xFF), g = static_cast<int>(want >> 8 & 0xFF),
              b = static_cast<int>(want & 0xFF);
    return std::abs(GetRValue(got) - r) <= 48 && std::abs(GetGValue(got) - g) <= 48 &&
           std::abs(GetBValue(got) - b) <= 48;
}

int cmdHoldKey(WORD vk, int presses, int intervalMs, POINT at, unsigned long colour) {
    HWND main = mainWindow();
    if (!main || !ClientToScreen(main, &at)) return 3;
    SetForegroundWindow(main);
    Sleep(300);
    // A key being handled holds up the round trip that follows it: the
    // slowest round bounds how long any key press waited.
    std::atomic<bool> holding{true};
    Rounds rounds;
    std::thread pinger([&] {
        while (holding) {
            LARGE_INTEGER before;
            QueryPerformanceCounter(&before);
            DWORD_PTR answer = 0;
            const bool answered = SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer) != 0;
            rounds.ms.push_back(answered ? msSince(before) : 1e9);
            Sleep(1);
        }
    });
    auto key = [vk](bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        return SendInput(1, &in, sizeof in) == 1;
    };
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    bool sent = true;
    for (int i = 0; i < presses && sent; ++i) {
        // On a schedule, as a keyboard's repeat is: a late press does not push the others back.
        while (msSince(start) < static_cast<double>(i) * intervalMs) Sleep(1);
        sent = key(false);
    }
    while (msSince(start) < static_cast<double>(presses) * intervalMs) Sleep(1);
    sent = key(true) && sent;
    LARGE_INTEGER released;
    QueryPerformanceCounter(&released);
    double toPixel = -1;
    HDC screen = GetDC(nullptr);
    while (sent && msSince(released) < 5000) {
        if (colourNear(GetPixel(screen, at.x, at.y), colour)) {
            toPixel = msSince(released);
            break;
        }
        Sleep(2);
    }
    ReleaseDC(nullptr, screen);
    holding = false;
    pinger.join();
    if (!sent) return 4;
    double slowest = 0;
    const unsigned long over50 = rounds.over(50, &slowest);
    rounds.over(1e8, &slowest);
    outLine("presses=" + std::to_string(presses) + " rounds=" + std::to_string(rounds.ms.size()) +
            " over50ms=" + std::to_string(over50) + " slowest=" + std::to_string(static_cast<int>(slowest)) +
            "ms release_to_pixel=" + std::to_string(static_cast<int>(toPixel)) + "ms");
    return toPixel < 0 ? 1 : 0;
}

int cmdAnswers(const wchar_t* stopFile, unsigned long limitMs) {
    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    Rounds rounds;
    const DWORD started = GetTickCount();
    while (GetFileAttributesW(stopFile) == INVALID_FILE_ATTRIBUTES && GetTickCount() - started < 600000) {
        DWORD_PTR answer = 0;
        QueryPerformanceCounter(&before);
        const bool answered = SendMessageTimeoutW(mainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer) != 0;
        QueryPerformanceCounter(&after);
        const double ms = 1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) / frequency.QuadPart;
        rounds.ms.push_back(answered ? ms : 1e9);
        if (!answered || ms >= limitMs)
            fprintf(stderr, "wintool: a round of %d ms, %lu ms after the start\n", static_cast<int>(ms),
                    GetTickCount() - started);
        Sleep(20);
    }
    double slowest = 0;
    const unsigned long over = rounds.over(static_cast<double>(limitMs), &slowest);
    outLine("rounds=" + std::to_string(rounds.ms.size()) + " slowest=" + std::to_string(static_cast<int>(slowest)) +
            "ms over=" + std::to_string(over));
    return over == 0 && !rounds.ms.empty() ? 0 : 1;
}

std::size_t indexRequests(const wchar_t* log) {
    std::size_t n = 0;
    if (FILE* f = _wfopen(log, L"rb")) {
        char line[512];
        while (fgets(line, sizeof line, f))
            if (strcmp(line, "/rz.txt\n") == 0) ++n;
        fclose(f);
    }
    return n;
}

// How soon a stop lets the automatic download run again: the tick starts a
// run only once the run in hand has ended.
int cmdStopAndTick(HWND main, unsigned long command, const wchar_t* log, unsigned long limitMs) {
    const std::size_t before = indexRequests(log);
    const DWORD started = GetTickCount();
    if (!PostMessageW(main, WM_COMMAND, command, 0)) return 4;
    while (indexRequests(log) == before && GetTickCount() - started < 30000) {
        PostMessageW(main, WM_TIMER, 7, 0);
        Sleep(20);
    }
    const DWORD took = GetTickCount() - started;
    outLine(std::to_string(took));
    return indexRequests(log) > before && took < limitMs ? 0 : 1;
}

// WM_DPICHANGED carries a pointer to the suggested rectangle, which must be
// in the receiver's memory: it is written there for the time of the call.
int cmdDpiChanged(HWND h, WORD dpi) {
    RECT suggested{};
    if (!GetWindowRect(h, &suggested)) return 4;
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processOf(h));
    if (!process) return 4;
    void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD_PTR answer = 0;
    const bool sent = remote && WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr) &&
                      SendMessageTimeoutW(h, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote),
                                          SMTO_NORMAL, 30000, &answer);
    if (!sent) fprintf(stderr, "wintool: WM_DPICHANGED not delivered (error %lu)\n", GetLastError());
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return sent ? 0 : 4;
}

int run(int argc, wchar_t** argv) {
    const std::wstring cmd = argc > 1 ? argv[1] : L"";
    auto arg = [&](int i) -> const wchar_t* { return i < argc ? argv[i] : L""; };
    const bool needsWindow = cmd == L"wait-visible" || cmd.starts_with(L"post") || cmd == L"send-endsession" ||
                             cmd == L"client-origin" || cmd == L"grid-rect";
    HWND main = mainWindow();
    if (needsWindow && !main) {
        fprintf(stderr, "wintool: no main window\n");
        return 3;
    }

    if (cmd == L"screen") {
        outLine(std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " " + std::to_string(GetSystemMetrics(SM_CYSCREEN)));
        return 0;
    }
    if (cmd == L"wait-window") return waitFor(number(arg(2)), [] { return mainWindow() != nullptr; }) ? 0 : 1;
    if (cmd == L"wait-visible") {
        const bool want = number(arg(2)) != 0;
        return waitFor(number(arg(3)), [&] { return (IsWindowVisible(main) != 0) == want; }) ? 0 : 1;
    }
    if (cmd == L"count-windows") {
        outLine(std::to_string(windows(nullptr, [](HWND h) { return className(h) == "TMainForm"; }).size()));
        return 0;
    }
    if (cmd == L"post") {
        HWND target = std::wstring(arg(2)) == L"grid" ? gridWindow() : main;
        return target && PostMessageW(target, number(arg(3)), number(arg(4)), number(arg(5))) ? 0 : 4;
    }
    if (cmd == L"post-command") return PostMessageW(main, WM_COMMAND, number(arg(2)), 0) ? 0 : 4;
    if (cmd == L"post-hotkey") {
        // The program adds its atoms after its window appears: give it time.
        ATOM id = 0;
        if (!waitFor(20000, [&] { return (id = GlobalFindAtomW(arg(2))) != 0; })) return 1;
        for (unsigned long i = 0, n = argc > 3 ? number(arg(3)) : 1; i < n; ++i)
            if (!PostMessageA(main, WM_HOTKEY, id, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_RIGHT))) return 4;
        return 0;
    }
    if (cmd == L"send-endsession") {
        DWORD_PTR answer = 0;
        return SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer) &&
                       SendMessageTimeoutA(main, WM_ENDSESSION, 1, 0, SMTO_ABORTIFHUNG, 20000, &answer)
                   ? 0
                   : 4;
    }
    if (cmd == L"wait-dialog") return waitFor(number(arg(3)), [&] { return topLevel(arg(2)) != nullptr; }) ? 0 : 1;
    if (cmd == L"wait-box")
        return waitFor(number(arg(3)),
                       [&] {
                           HWND h = topLevel(arg(2));
                           return h && className(h) == "#32770";
                       })
                   ? 0
                   : 1;
    if (cmd == L"click") {
        HWND dialog = topLevel(arg(2));
        const std::wstring want = arg(3);
        HWND button = nullptr;
        if (dialog && want[0] == L'#') {
            button = GetDlgItem(dialog, static_cast<int>(number(want.c_str() + 1)));
        } else if (dialog) {
            auto found = windows(dialog, [&](HWND c) {
                std::wstring t = text(c);  // "&Yes" and "Yes" alike
                std::erase(t, L'&');
                return t == want;
            });
            if (!found.empty()) button = found[0];
        }
        if (!button) return 1;
        return PostMessageW(button, BM_CLICK, 0, 0) ? 0 : 4;  // posted: the click may open a modal box
    }
    if (cmd == L"set-text") {
        HWND window = topLevel(arg(2));
        if (!window) window = FindWindowW(arg(2), nullptr);  // by its class
        HWND control = window ? GetDlgItem(window, static_cast<int>(number(arg(3)))) : nullptr;
        DWORD_PTR result = 0;
        if (!control) return 1;
        return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg(4)), SMTO_ABORTIFHUNG, 10000,
                                   &result) &&
                       result
                   ? 0
                   : 4;
    }
    if (cmd == L"item" || cmd == L"send") {
        HWND window = topLevel(arg(2));
        if (!window) window = FindWindowW(arg(2), nullptr);  // by its class
        HWND control = window ? GetDlgItem(window, static_cast<int>(number(arg(3)))) : nullptr;
        if (!control) return 1;
        if (cmd == L"send") {
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(control, number(arg(4)), number(arg(5)), number(arg(6)), SMTO_ABORTIFHUNG, 10000,
                                     &result))
                return 4;
            outLine(std::to_string(static_cast<long long>(static_cast<LRESULT>(result))));
            return 0;
        }
        RECT r{};
        GetWindowRect(control, &r);
        // Asked of the control itself: GetWindowText of another process's edit gives its first text.
        wchar_t current[512] = {};
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(current), SMTO_ABORTIFHUNG, 10000,
                            &copied);
        outLine(std::to_string(IsWindowVisible(control) ? 1 : 0) + " " +
                std::to_string(IsWindowEnabled(control) ? 1 : 0) + " " + rect(r) + " " + utf8(current));
        return 0;
    }
    if (cmd == L"client-origin") {
        POINT origin{0, 0};
        ClientToScreen(main, &origin);
        outLine(std::to_string(origin.x) + " " + std::to_string(origin.y));
        return 0;
    }
    if (cmd == L"grid-rect") {
        HWND grid = gridWindow();
        RECT r{};
        if (!grid) return 3;
        GetClientRect(grid, &r);
        MapWindowPoints(grid, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
        outLine(rect(r));
        return 0;
    }
    if (cmd == L"window-info") {
        HWND h = FindWindowW(arg(2), nullptr);
        RECT r{};
        if (!h) return 1;
        GetWindowRect(h, &r);
        char styles[40];
        snprintf(styles, sizeof styles, " 0x%08lX 0x%08lX", static_cast<unsigned long>(GetWindowLongW(h, GWL_STYLE)),
                 static_cast<unsigned long>(GetWindowLongW(h, GWL_EXSTYLE)));
        outLine((IsWindowVisible(h) ? "1 " : "0 ") + rect(r) + styles);
        return 0;
    }
    if (cmd == L"client-origin-of") {
        HWND h = FindWindowW(arg(2), nullptr);
        POINT origin{0, 0};
        if (!h || !ClientToScreen(h, &origin)) return 1;
        outLine(std::to_string(origin.x) + " " + std::to_string(origin.y));
        return 0;
    }
    if (cmd == L"dpi-changed") {
        HWND h = FindWindowW(arg(2), nullptr);
        if (!h) h = topLevel(arg(2));
        return h ? cmdDpiChanged(h, static_cast<WORD>(number(arg(3)))) : 1;
    }
    if (cmd == L"client-size") {
        HWND h = FindWindowW(arg(2), nullptr);
        if (!h) h = topLevel(arg(2));
        RECT r{};
        if (!h || !GetClientRect(h, &r)) return 1;
        outLine(std::to_string(r.right) + " " + std::to_string(r.bottom));
        return 0;
    }
    if (cmd == L"ping") {
        HWND h = FindWindowW(arg(2), nullptr);
        if (!h) return 1;
        LARGE_INTEGER frequency{}, before{}, after{};
        QueryPerformanceFrequency(&frequency);
        Rounds rounds;
        for (const DWORD start = GetTickCount(); GetTickCount() - start < number(arg(3)); Sleep(20)) {
            DWORD_PTR answer = 0;
            QueryPerformanceCounter(&before);
            if (!SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer)) return 4;
            QueryPerformanceCounter(&after);
            rounds.ms.push_back(1000.0 * (after.QuadPart - before.QuadPart) / frequency.QuadPart);
        }
        double longest = 0;
        rounds.over(200, &longest);  // the longest round, lone hiccups over 200 ms left out
        outLine(std::to_string(rounds.ms.size()) + " " + std::to_string(static_cast<int>(longest)));
        return 0;
    }
    if (cmd == L"stack") {
        EnumWindows(
            [](HWND h, LPARAM) -> BOOL {
                if (!IsWindowVisible(h)) return TRUE;
                wchar_t name[64]{};
                GetClassNameW(h, name, 64);
                RECT r{};
                GetWindowRect(h, &r);
                char exstyle[16];
                snprintf(exstyle, sizeof exstyle, " 0x%08lX ",
                         static_cast<unsigned long>(GetWindowLongW(h, GWL_EXSTYLE)));
                outLine(utf8(name) + exstyle + rect(r));
                return TRUE;
            },
            0);
        return 0;
    }
    if (cmd == L"front") {
        HWND fg = GetForegroundWindow();
        HWND top = GetTopWindow(nullptr);
        while (top && !(IsWindowVisible(top) && main && processOf(top) == processOf(main)))
            top = GetWindow(top, GW_HWNDNEXT);
        HWND owner = fg ? GetWindow(fg, GW_OWNER) : nullptr;
        auto name = [](HWND h) { return h ? className(h) : std::string("-"); };
        outLine("fg=" + name(fg) + " top=" + name(top) + " owner=" + name(owner) +
                " caption=" + (fg ? utf8(text(fg)) : ""));
        return 0;
    }
    if (cmd == L"keys") return cmdKeys(argc, argv);
    if (cmd == L"hold-key")
        return cmdHoldKey(static_cast<WORD>(number(arg(2))), static_cast<int>(number(arg(3))),
                          static_cast<int>(number(arg(4))),
                          POINT{static_cast<LONG>(number(arg(5))), static_cast<LONG>(number(arg(6)))},
                          std::wcstoul(arg(7), nullptr, 16));
    if (cmd == L"start-together") return cmdStartTogether(number(arg(2)), number(arg(3)), arg(4));
    if (cmd == L"run") return cmdRun(number(arg(2)), arg(3), arg(4));
    if (cmd == L"answers") return cmdAnswers(arg(2), number(arg(3)));
    if (cmd == L"stop-and-tick") return main ? cmdStopAndTick(main, number(arg(2)), arg(3), number(arg(4))) : 3;
    if (cmd == L"short-name") {
        wchar_t alias[MAX_PATH] = {};
        if (!GetShortPathNameW(arg(2), alias, MAX_PATH)) return 4;
        outLine(utf8(alias));
        return 0;
    }
    fputs("usage: see the comment at the top of wintool.cpp\n", stderr);
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && std::wstring(argv[1]) == L"--report-exit") {
        argv[1] = argv[0];
        const int rc = run(argc - 1, argv + 1);
        outLine("wintool-exit=" + std::to_string(rc));
        return rc;
    }
    return run(argc, argv);
}
