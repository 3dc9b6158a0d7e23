// wintool: the Wine tests' helper. It talks to the running program the way
// another Windows program would (window lookup, posted and sent messages,
// global atoms, CreateProcess) and prints plain answers for the scripts.
//
// Arguments arrive as Unicode (so Cyrillic survives the trip from bash);
// text goes out as UTF-8 so that bash can compare it directly.
// Exit codes: 0 success, 1 the awaited thing did not happen, 2 usage error,
// 3 the main window was not found, 4 a Win32 call failed.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const char kClass[] = "TMainForm";
const char kTitle[] = "Ostrel Wallpapers";

std::string utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), s.data(), n, nullptr, nullptr);
    return s;
}

// Raw bytes to stdout: the C runtime's text mode would add CRs under Wine.
void out(const std::string& s) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), s.data(), (DWORD)s.size(), &written, nullptr);
}
void outLine(const std::string& s) { out(s + "\n"); }

int usage() {
    fputs("usage: wintool <command> [args]\n"
          "  (--report-exit first: print wintool-exit=N at the end, for runs whose code is lost)\n"
          "  screen                       print GetSystemMetrics screen width height\n"
          "  wait-window <ms>             wait for the main window, print its HWND\n"
          "  is-visible                   print 1 or 0\n"
          "  wait-visible <0|1> <ms>      wait until the window's visibility is as given\n"
          "  count-windows                top-level TMainForm windows\n"
          "  post-command <id>            WM_COMMAND\n"
          "  post-hotkey <atom> [count]   WM_HOTKEY with the global atom's id\n"
          "  post-tray <mouseMsg>         tray callback message 0x464\n"
          "  post-close | post-minimize   WM_CLOSE | WM_SYSCOMMAND SC_MINIMIZE\n"
          "  send-endsession              WM_QUERYENDSESSION then WM_ENDSESSION(1)\n"
          "  wait-dialog <caption> <ms>   wait for a visible top-level window with that caption\n"
          "  click <caption> <text>       BM_CLICK the button or check box of that text in it\n"
          "  click-id <caption> <id>      BM_CLICK the control of that id (6 Yes, 7 No, 1 OK)\n"
          "  client-origin                the main window's client area's top-left on the screen\n"
          "  grid-rect                    the list grid's client area on the screen: left top right bottom\n"
          "  mouse <main|grid> <msg> <x> <y> post a mouse message (0x201 left down, 0x202\n"
          "                               left up) at client x, y of the main window or the grid\n"
          "  window-info <class>          the first top-level window of that class: visible left\n"
          "                               top right bottom style exstyle (styles in hex)\n"
          "  window-at <x> <y>            class of the top-level window at that screen point\n"
          "  keys [--to <caption>] <vk>... bring the main window (or the window of that caption)\n"
          "                               forward and type the keys as real input; +vk holds a\n"
          "                               key down, -vk lets it go\n"
          "  start-together <n> <ms> <exe> start n copies at the same moment; after ms print\n"
          "                               how many still run\n"
          "  run <ms> <exe> <tail>        CreateProcess \"exe\"+tail and wait for its end;\n"
          "                               print \"ended exit=N dialogs=N shown=N\": message\n"
          "                               boxes (closed when seen) and other windows shown\n",
          stderr);
    return 2;
}

HWND mainWindow() { return FindWindowA(kClass, kTitle); }

HWND requireWindow() {
    HWND h = mainWindow();
    if (!h) fprintf(stderr, "wintool: no %s window\n", kClass);
    return h;
}

// Polls until pred() holds or timeoutMs passes.
template <class Pred>
bool waitFor(DWORD timeoutMs, Pred pred) {
    DWORD start = GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(50);
    }
}

unsigned long parseNumber(const wchar_t* s) { return wcstoul(s, nullptr, 0); }

struct ClassCount {
    const char* cls;
    DWORD pid;        // 0: any process
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK countClassProc(HWND h, LPARAM lp) {
    auto* c = reinterpret_cast<ClassCount*>(lp);
    char name[256] = {};
    GetClassNameA(h, name, sizeof name);
    if (lstrcmpA(name, c->cls) != 0) return TRUE;
    if (c->visibleOnly && !IsWindowVisible(h)) return TRUE;
    if (c->pid) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid != c->pid) return TRUE;
    }
    c->found.push_back(h);
    return TRUE;
}

std::vector<HWND> windowsOfClass(const char* cls, DWORD pid, bool visibleOnly) {
    ClassCount c{cls, pid, visibleOnly, {}};
    EnumWindows(countClassProc, reinterpret_cast<LPARAM>(&c));
    return c.found;
}

struct VisibleOf {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK visibleOfProc(HWND h, LPARAM lp) {
    auto* v = reinterpret_cast<VisibleOf*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    char cls[256] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (pid == v->pid && IsWindowVisible(h) && lstrcmpA(cls, "#32770") != 0) v->found.push_back(h);
    return TRUE;
}

std::vector<HWND> visibleWindowsOf(DWORD pid) {
    VisibleOf v{pid, {}};
    EnumWindows(visibleOfProc, reinterpret_cast<LPARAM>(&v));
    return v.found;
}

BOOL CALLBACK collectTextProc(HWND h, LPARAM lp) {
    auto* text = reinterpret_cast<std::wstring*>(lp);
    wchar_t buf[1024] = {};
    GetWindowTextW(h, buf, 1024);
    if (buf[0]) {
        if (!text->empty()) *text += L" | ";
        *text += buf;
    }
    return TRUE;
}

// Title and child texts of a dialog, for the failure message.
std::string describeDialog(HWND h) {
    wchar_t title[512] = {};
    GetWindowTextW(h, title, 512);
    std::wstring text;
    EnumChildWindows(h, collectTextProc, reinterpret_cast<LPARAM>(&text));
    std::string line = "[";
    line += utf8(title);
    line += "] ";
    line += utf8(text);
    return line;
}

// Starts the program exactly as another program would, so the raw command
// line is under the test's control; watches for message boxes meanwhile.
int cmdRun(DWORD timeoutMs, const std::wstring& exe, const std::wstring& tail) {
    std::wstring cmd = L"\"" + exe + L"\"" + tail;
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        fprintf(stderr, "wintool: CreateProcess failed (%lu)\n", GetLastError());
        return 4;
    }
    std::vector<HWND> seenDialogs;
    std::vector<HWND> shown;  // visible top-level windows of the program, dialogs aside
    DWORD start = GetTickCount();
    bool ended = false;
    for (;;) {
        if (WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        for (HWND w : visibleWindowsOf(pi.dwProcessId)) {
            bool known = false;
            for (HWND k : shown) known = known || k == w;
            if (!known) {
                shown.push_back(w);
                char cls[256] = {};
                GetClassNameA(w, cls, sizeof cls);
                fprintf(stderr, "wintool: window shown: class %s %s\n", cls, describeDialog(w).c_str());
            }
        }
        for (HWND d : windowsOfClass("#32770", pi.dwProcessId, true)) {
            // Report it, then close it so that the program can go on and the
            // test fails on the report rather than on a hang.
            bool known = false;
            for (HWND k : seenDialogs) known = known || k == d;
            if (!known) {
                seenDialogs.push_back(d);
                fprintf(stderr, "wintool: dialog shown: %s\n", describeDialog(d).c_str());
            }
            PostMessageA(d, WM_CLOSE, 0, 0);
        }
        if (GetTickCount() - start >= timeoutMs) break;
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    std::string counts = " dialogs=" + std::to_string(seenDialogs.size()) + " shown=" + std::to_string(shown.size());
    outLine(ended ? "ended exit=" + std::to_string(code) + counts : "running" + counts);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ended ? 0 : 1;
}

// Copies created suspended and let go together, so that their single-instance
// checks overlap as closely as the system allows.
int cmdStartTogether(unsigned long n, DWORD waitMs, const std::wstring& exe) {
    std::vector<PROCESS_INFORMATION> started;
    for (unsigned long i = 0; i < n; ++i) {
        std::wstring cmd = L"\"" + exe + L"\" -";
        std::vector<wchar_t> buf(cmd.begin(), cmd.end());
        buf.push_back(0);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                            &si, &pi))
            return 4;
        started.push_back(pi);
    }
    for (auto& pi : started) ResumeThread(pi.hThread);
    Sleep(waitMs);
    int running = 0;
    for (auto& pi : started) {
        running += WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    outLine(std::to_string(running));
    return 0;
}

HWND findTopLevel(const std::wstring& caption) {
    HWND found = nullptr;
    struct Search {
        const std::wstring* caption;
        HWND* found;
    } search{&caption, &found};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            wchar_t text[512] = {};
            GetWindowTextW(h, text, 512);
            if (IsWindowVisible(h) && *s->caption == text) {
                *s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return found;
}

HWND findChildByText(HWND parent, const std::wstring& text) {
    HWND found = nullptr;
    struct Search {
        const std::wstring* text;
        HWND* found;
    } search{&text, &found};
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            wchar_t buf[512] = {};
            GetWindowTextW(h, buf, 512);
            std::wstring t = buf;
            std::wstring plain;  // "&Yes" and "Yes" alike
            for (wchar_t c : t)
                if (c != L'&') plain += c;
            if (*s->text == t || *s->text == plain) {
                *s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return found;
}

HWND gridWindow() {
    HWND main = mainWindow();
    return main ? FindWindowExA(main, nullptr, "tMystringGrid", nullptr) : nullptr;
}

// Real keyboard input, so that the program sees Shift and Ctrl as held.
int cmdKeys(int argc, wchar_t** argv) {
    int first = 2;
    HWND target = nullptr;
    if (argc > 3 && std::wstring(argv[2]) == L"--to") {
        target = findTopLevel(argv[3]);
        first = 4;
    } else {
        target = requireWindow();
    }
    if (!target) return 3;
    SetForegroundWindow(target);
    Sleep(300);
    std::vector<INPUT> inputs;
    auto key = [&](WORD vk, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    };
    for (int i = first; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a[0] == L'+') key(static_cast<WORD>(parseNumber(a.c_str() + 1)), false);
        else if (a[0] == L'-') key(static_cast<WORD>(parseNumber(a.c_str() + 1)), true);
        else {
            key(static_cast<WORD>(parseNumber(a.c_str())), false);
            key(static_cast<WORD>(parseNumber(a.c_str())), true);
        }
    }
    for (INPUT& in : inputs) {  // one at a time, as a typist would
        if (SendInput(1, &in, sizeof in) != 1) return 4;
        Sleep(30);
    }
    return 0;
}

}  // namespace

int run(int argc, wchar_t** argv) {
    if (argc < 2) return usage();
    std::wstring cmd = argv[1];
    auto arg = [&](int i) -> const wchar_t* { return i < argc ? argv[i] : nullptr; };

    if (cmd == L"screen") {
        outLine(std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " " +
                std::to_string(GetSystemMetrics(SM_CYSCREEN)));
        return 0;
    }
    if (cmd == L"wait-window") {
        if (!arg(2)) return usage();
        HWND h = nullptr;
        if (!waitFor(parseNumber(arg(2)), [&] { return (h = mainWindow()) != nullptr; })) return 1;
        char buf[32];
        snprintf(buf, sizeof buf, "%p", (void*)h);
        outLine(buf);
        return 0;
    }
    if (cmd == L"is-visible") {
        HWND h = requireWindow();
        if (!h) return 3;
        outLine(IsWindowVisible(h) ? "1" : "0");
        return 0;
    }
    if (cmd == L"wait-visible") {
        if (!arg(3)) return usage();
        bool want = parseNumber(arg(2)) != 0;
        HWND h = requireWindow();
        if (!h) return 3;
        if (waitFor(parseNumber(arg(3)), [&] { return (IsWindowVisible(h) != 0) == want; })) return 0;
        fprintf(stderr, "wintool: the window is still %s\n", want ? "hidden" : "visible");
        return 1;
    }
    if (cmd == L"count-windows") {
        outLine(std::to_string(windowsOfClass(kClass, 0, false).size()));
        return 0;
    }
    if (cmd == L"post-command") {
        if (!arg(2)) return usage();
        HWND h = requireWindow();
        if (!h) return 3;
        return PostMessageA(h, WM_COMMAND, parseNumber(arg(2)), 0) ? 0 : 4;
    }
    if (cmd == L"post-hotkey") {
        if (!arg(2)) return usage();
        unsigned long count = arg(3) ? parseNumber(arg(3)) : 1;
        HWND h = requireWindow();
        if (!h) return 3;
        ATOM id = GlobalFindAtomW(arg(2));
        if (!id) {
            fprintf(stderr, "wintool: global atom %s not found\n", utf8(arg(2)).c_str());
            return 1;
        }
        for (unsigned long i = 0; i < count; ++i)
            if (!PostMessageA(h, WM_HOTKEY, id, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_RIGHT))) return 4;
        return 0;
    }
    if (cmd == L"post-tray") {
        if (!arg(2)) return usage();
        HWND h = requireWindow();
        if (!h) return 3;
        return PostMessageA(h, WM_USER + 100, 0, parseNumber(arg(2))) ? 0 : 4;
    }
    if (cmd == L"post-close") {
        HWND h = requireWindow();
        if (!h) return 3;
        return PostMessageA(h, WM_CLOSE, 0, 0) ? 0 : 4;
    }
    if (cmd == L"post-minimize") {
        HWND h = requireWindow();
        if (!h) return 3;
        return PostMessageA(h, WM_SYSCOMMAND, SC_MINIMIZE, 0) ? 0 : 4;
    }
    if (cmd == L"send-endsession") {
        HWND h = requireWindow();
        if (!h) return 3;
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(h, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer)) return 4;
        outLine("query=" + std::to_string((unsigned long long)answer));
        if (!SendMessageTimeoutA(h, WM_ENDSESSION, 1, 0, SMTO_ABORTIFHUNG, 20000, &answer)) return 4;
        return 0;
    }
    if (cmd == L"wait-dialog") {
        if (!arg(3)) return usage();
        return waitFor(parseNumber(arg(3)), [&] { return findTopLevel(arg(2)) != nullptr; }) ? 0 : 1;
    }
    if (cmd == L"click") {
        if (!arg(3)) return usage();
        HWND dialog = findTopLevel(arg(2));
        HWND button = dialog ? findChildByText(dialog, arg(3)) : nullptr;
        if (!button) {
            fprintf(stderr, "wintool: no \"%s\" in \"%s\"\n", utf8(arg(3)).c_str(), utf8(arg(2)).c_str());
            return 1;
        }
        // Posted: the click may open a modal box whose answer comes later.
        return PostMessageW(button, BM_CLICK, 0, 0) ? 0 : 4;
    }
    if (cmd == L"click-id") {
        if (!arg(3)) return usage();
        HWND dialog = findTopLevel(arg(2));
        HWND button = dialog ? GetDlgItem(dialog, static_cast<int>(parseNumber(arg(3)))) : nullptr;
        if (!button) return 1;
        return PostMessageW(button, BM_CLICK, 0, 0) ? 0 : 4;
    }
    if (cmd == L"client-origin") {
        HWND h = requireWindow();
        if (!h) return 3;
        POINT origin{0, 0};
        ClientToScreen(h, &origin);
        outLine(std::to_string(origin.x) + " " + std::to_string(origin.y));
        return 0;
    }
    if (cmd == L"grid-rect") {
        HWND grid = gridWindow();
        if (!grid) return 3;
        RECT r{};
        GetClientRect(grid, &r);
        MapWindowPoints(grid, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
        outLine(std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
                std::to_string(r.bottom));
        return 0;
    }
    if (cmd == L"mouse") {
        if (!arg(5)) return usage();
        HWND target = std::wstring(arg(2)) == L"grid" ? gridWindow() : mainWindow();
        if (!target) return 3;
        const int x = static_cast<int>(parseNumber(arg(4))), y = static_cast<int>(parseNumber(arg(5)));
        return PostMessageW(target, parseNumber(arg(3)), 0, MAKELPARAM(x, y)) ? 0 : 4;
    }
    if (cmd == L"window-info") {
        if (!arg(2)) return usage();
        HWND h = FindWindowW(arg(2), nullptr);
        if (!h) return 1;
        RECT r{};
        GetWindowRect(h, &r);
        char line[160];
        snprintf(line, sizeof line, "%d %ld %ld %ld %ld 0x%08lX 0x%08lX", IsWindowVisible(h) ? 1 : 0, r.left, r.top,
                 r.right, r.bottom, static_cast<unsigned long>(GetWindowLongW(h, GWL_STYLE)),
                 static_cast<unsigned long>(GetWindowLongW(h, GWL_EXSTYLE)));
        outLine(line);
        return 0;
    }
    if (cmd == L"window-at") {
        if (!arg(3)) return usage();
        const POINT at{static_cast<LONG>(parseNumber(arg(2))), static_cast<LONG>(parseNumber(arg(3)))};
        HWND h = WindowFromPoint(at);
        if (!h) return 1;
        char cls[256] = {};
        GetClassNameA(GetAncestor(h, GA_ROOT), cls, sizeof cls);
        outLine(cls);
        return 0;
    }
    if (cmd == L"keys") return cmdKeys(argc, argv);
    if (cmd == L"start-together") {
        if (!arg(4)) return usage();
        return cmdStartTogether(parseNumber(arg(2)), parseNumber(arg(3)), arg(4));
    }
    if (cmd == L"run") {
        if (!arg(4)) return usage();
        return cmdRun(parseNumber(arg(2)), arg(3), arg(4));
    }
    return usage();
}

// "wine explorer /desktop=..." does not pass a program's exit code on, so a
// test running wintool in a virtual desktop asks for it on the output.
int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && std::wstring(argv[1]) == L"--report-exit") {
        argv[1] = argv[0];
        const int rc = run(argc - 1, argv + 1);
        outLine("wintool-exit=" + std::to_string(rc));
        return rc;
    }
    return run(argc, argv);
}
