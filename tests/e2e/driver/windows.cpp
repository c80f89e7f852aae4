// The main window and its controls found, the windows of the desktop looked at, and what
// Windows itself tells the program (a wake from sleep, the end of the session).
#include "driver.h"

#include <cwchar>

#include "app/win32/MainWindow.h"  // kMainWindowClass
#include "core/Version.h"

namespace driver {

namespace {

constexpr wchar_t kMainTitle[] = L"" HEXALUNE_WINDOW_CAPTION;
constexpr UINT kSendTimeoutMs = 5000;

}  // namespace

HWND FindMain() { return FindWindowW(hexalune::win32::kMainWindowClass, kMainTitle); }

HWND RequireMain() {
    HWND main = FindMain();
    if (!main) Fail(L"the main window does not exist");
    return main;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = L"";
    GetClassNameW(hwnd, name, 256);
    return name;
}

// The window text through WM_GETTEXT, so that controls of another process answer too.
std::wstring TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length))
        Fail(L"the window does not answer WM_GETTEXTLENGTH");
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &copied))
        Fail(L"the window does not answer WM_GETTEXT");
    text.resize(copied);
    return text;
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        Fail(L"the window does not answer message " + std::to_wstring(message));
    return static_cast<LRESULT>(result);
}

void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!PostMessageW(hwnd, message, wParam, lParam)) Fail(L"PostMessage failed");
}

namespace {

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControlId(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ControlSearch*>(param);
    if (GetDlgCtrlID(hwnd) == search->id) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

// Any descendant of the main window with this id (ids are unique across the window).
HWND RequireControl(int id) {
    ControlSearch search{id, nullptr};
    EnumChildWindows(RequireMain(), MatchControlId, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Fail(L"no control with id " + std::to_wstring(id));
    return search.found;
}

int ControlIdArg(const std::vector<std::wstring>& args, size_t index) {
    if (index >= args.size()) Fail(L"a control id is missing");
    return ToInt(args[index]);
}

bool IsMainShown(HWND main) { return IsWindowVisible(main) && !IsIconic(main); }

BOOL CALLBACK MatchTopLevel(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<TopLevelSearch*>(param);
    if (!IsWindowVisible(hwnd) || ClassOf(hwnd) != search->className) return TRUE;
    if (search->caption) {
        wchar_t title[512] = L"";
        GetWindowTextW(hwnd, title, 512);
        if (wcscmp(title, search->caption) != 0) return TRUE;
    }
    search->found.push_back(hwnd);
    return TRUE;
}

int WaitWindow(const Args& args) {
    const double seconds = ToSeconds(args, 1, 20);
    if (!PollUntil(seconds, [] { return FindMain() != nullptr; })) Fail(L"the main window did not appear");
    PrintLine(TextOf(FindMain()));
    return 0;
}

int WaitGone(const Args& args) {
    const double seconds = ToSeconds(args, 1, 20);
    HANDLE process = nullptr;
    if (HWND main = FindMain()) {
        DWORD pid = 0;
        GetWindowThreadProcessId(main, &pid);
        process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    }
    const bool gone = PollUntil(seconds, [&] {
        return FindMain() == nullptr && (!process || WaitForSingleObject(process, 0) == WAIT_OBJECT_0);
    });
    if (process) CloseHandle(process);
    if (!gone) Fail(L"the program is still running");
    PrintLine(L"gone");
    return 0;
}

int Visible(const Args& args) {
    if (args.size() > 1 && args[1] == L"main") {
        PrintLine(IsMainShown(RequireMain()) ? L"1" : L"0");
    } else {
        PrintLine(IsWindowVisible(RequireControl(ControlIdArg(args, 1))) ? L"1" : L"0");
    }
    return 0;
}

// The control's own WS_VISIBLE flag, 1 or 0: which view is in front even while the
// main window itself is hidden in the tray.
int OwnVisible(const Args& args) {
    const LONG style = GetWindowLongW(RequireControl(ControlIdArg(args, 1)), GWL_STYLE);
    PrintLine((style & WS_VISIBLE) ? L"1" : L"0");
    return 0;
}

// Waits until `visible <id|main>` would print the wanted 1 or 0.
int WaitVisible(const Args& args) {
    if (args.size() < 3) Fail(L"usage: wait-visible <ctrlId|main> <1|0> [seconds]");
    const bool wanted = args[2] == L"1";
    const double seconds = ToSeconds(args, 3, 10);
    const bool main = args[1] == L"main";
    const int id = main ? 0 : ControlIdArg(args, 1);
    const bool reached = PollUntil(seconds, [&] {
        HWND hwnd = main ? FindMain() : RequireControl(id);
        if (!hwnd) return false;
        return (main ? IsMainShown(hwnd) : IsWindowVisible(hwnd) != FALSE) == wanted;
    });
    if (!reached) Fail(L"visibility did not become " + args[2]);
    PrintLine(args[2]);
    return 0;
}

int Title(const Args&) {
    PrintLine(TextOf(RequireMain()));
    return 0;
}

// The close box in the caption.
int Close(const Args&) {
    Post(RequireMain(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PrintLine(L"close");
    return 0;
}

int Pid(const Args&) {
    DWORD pid = 0;
    GetWindowThreadProcessId(RequireMain(), &pid);
    PrintLine(std::to_wstring(pid));
    return 0;
}

namespace {

BOOL CALLBACK PrintWindowLine(HWND hwnd, LPARAM depth) {
    wchar_t title[256] = L"";
    GetWindowTextW(hwnd, title, 256);
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    std::wstring line(static_cast<size_t>(depth) * 2, L' ');
    line += ClassOf(hwnd) + L" \"" + title + L"\" id=" + std::to_wstring(GetDlgCtrlID(hwnd)) +
            L" pid=" + std::to_wstring(pid) + (IsWindowVisible(hwnd) ? L" visible" : L" hidden") + L" (" +
            std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L")-(" + std::to_wstring(rect.right) +
            L"," + std::to_wstring(rect.bottom) + L")";
    PrintLine(line);
    return TRUE;
}

BOOL CALLBACK PrintTopLevelTree(HWND hwnd, LPARAM) {
    PrintWindowLine(hwnd, 0);
    EnumChildWindows(hwnd, [](HWND child, LPARAM) -> BOOL { return PrintWindowLine(child, 1); }, 0);
    return TRUE;
}

}  // namespace

// The desktop with its taskbar is up (asking for it also starts it in a new session).
int WaitDesktop(const Args& args) {
    const double seconds = ToSeconds(args, 1, 30);
    GetDesktopWindow();
    if (!PollUntil(seconds, [] { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }))
        Fail(L"the taskbar did not appear");
    RECT rect{};
    GetWindowRect(GetDesktopWindow(), &rect);
    PrintLine(std::to_wstring(rect.right - rect.left) + L"x" + std::to_wstring(rect.bottom - rect.top));
    return 0;
}

// For looking around when a test fails: every top-level window and its descendants.
int Windows(const Args&) {
    EnumWindows(PrintTopLevelTree, 0);
    return 0;
}

// "none" while the main window does not exist yet (or any more), else "shown", "iconic" or
// "hidden": for watching a window that must not appear at all.
int MainState(const Args&) {
    HWND main = FindMain();
    if (!main) PrintLine(L"none");
    else if (!IsWindowVisible(main)) PrintLine(L"hidden");
    else PrintLine(IsIconic(main) ? L"iconic" : L"shown");
    return 0;
}

// Watches the main window for the given seconds, every 20 ms, and prints each state it
// passed through ("none hidden", "none hidden shown"...): a window that flashes up for a
// moment shows in the list. "@<Unix time>" instead of seconds watches until that moment.
int WatchMain(const Args& args) {
    double seconds = 5;
    if (args.size() > 1 && !args[1].empty() && args[1][0] == L'@') {
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        const double unixNow =
            static_cast<double>((static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 1e7 -
            11644473600.0;
        wchar_t* end = nullptr;
        const double until = wcstod(args[1].c_str() + 1, &end);
        if (*end != L'\0') Fail(L"not a Unix time: " + args[1]);
        seconds = until > unixNow ? until - unixNow : 0;
    } else {
        seconds = ToSeconds(args, 1, 5);
    }
    std::wstring states;
    const wchar_t* last = nullptr;
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    for (;;) {
        HWND main = FindMain();
        const wchar_t* state = !main                    ? L"none"
                               : !IsWindowVisible(main) ? L"hidden"
                               : IsIconic(main)         ? L"iconic"
                                                        : L"shown";
        if (!last || wcscmp(last, state) != 0) {
            if (!states.empty()) states += L" ";
            states += state;
            last = state;
        }
        if (GetTickCount64() >= deadline) break;
        Sleep(20);
    }
    PrintLine(states);
    return 0;
}

// What the task list does to end a program: WM_CLOSE posted to its main window.
int WmClose(const Args&) {
    Post(RequireMain(), WM_CLOSE, 0, 0);
    PrintLine(L"posted WM_CLOSE");
    return 0;
}

std::wstring RectText(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " + std::to_wstring(rect.right) + L" " +
           std::to_wstring(rect.bottom);
}

std::wstring Describe(HWND hwnd) {
    if (!hwnd) return L"(none)";
    wchar_t title[256] = L"";
    GetWindowTextW(hwnd, title, 256);
    return ClassOf(hwnd) + L" \"" + title + L"\" id=" + std::to_wstring(GetDlgCtrlID(hwnd));
}

// The window a mouse click at screen point (x, y) would reach.
int WindowAt(const Args& args) {
    if (args.size() < 3) Fail(L"usage: window-at <x> <y>");
    const POINT point{ToInt(args[1]), ToInt(args[2])};
    PrintLine(Describe(WindowFromPoint(point)));
    return 0;
}

// Screen rectangles ("left top right bottom"), for clicking with the real mouse.
int Rect(const Args& args) {
    PrintLine(RectText(RequireControl(ControlIdArg(args, 1))));
    return 0;
}

// The foreground window and the control that has the keyboard focus in its thread.
int Focus(const Args&) {
    HWND foreground = GetForegroundWindow();
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (foreground) GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info);
    PrintLine(L"foreground: " + Describe(foreground));
    PrintLine(L"focus: " + Describe(info.hwndFocus));
    return 0;
}

// The id of the control that has the keyboard focus in the program's window, or 0.
int FocusId(const Args&) {
    HWND main = RequireMain();
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
    PrintLine(std::to_wstring(info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0));
    return 0;
}

// Windows tells the program that the computer has woken from sleep or hibernation.
int Resume(const Args&) {
    Post(RequireMain(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    PrintLine(L"resumed");
    return 0;
}

namespace {

void EndProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
    if (!process || !TerminateProcess(process, 1)) Fail(L"could not end the program's process");
    CloseHandle(process);
}

}  // namespace

// Windows ends the user's session: asks, then tells the program it ends.
int EndSession(const Args& args) {
    HWND main = RequireMain();
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    // Windows tells every top-level window of the program, in no set order, and may end the
    // process as soon as all have answered: the program's other windows hear it first here,
    // so that each must keep what it holds on its own.
    std::vector<HWND> others;
    EnumThreadWindows(
        GetWindowThreadProcessId(main, nullptr),
        [](HWND hwnd, LPARAM found) {
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&others));
    for (HWND other : others) {
        if (other != main && IsWindowVisible(other))
            SendMessageTimeoutW(other, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    }
    SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    // "kill": the process ends there and then, as Windows may end it.
    if (args.size() > 1 && args[1] == L"kill") EndProcessOf(main);
    PrintLine(L"ended");
    return 0;
}

// The program's process ends at once, with no message to it, as in a crash or a power cut.
int Terminate(const Args&) {
    EndProcessOf(RequireMain());
    PrintLine(L"ended");
    return 0;
}

namespace {

// Stands in for the program the user is working in: a window of the driver's own, made the
// active one, kept for `seconds`. Then prints whether the main window lies above it, and
// whether it still has the foreground and the keyboard.
LRESULT CALLBACK PlainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WorkElsewhere(const Args& args) {
    const double seconds = ToSeconds(args, 1, 10);
    WNDCLASSW cls{};
    cls.lpfnWndProc = PlainWindowProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"HexaluneDriverWork";
    RegisterClassW(&cls);
    HWND work = CreateWindowExW(0, cls.lpszClassName, L"Other work", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                600, 400, nullptr, nullptr, cls.hInstance, nullptr);
    if (!work) Fail(L"could not make a window");
    SetForegroundWindow(work);
    SetFocus(work);
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    while (GetTickCount() < end) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(20);
    }
    HWND main = FindMain();
    bool mainAbove = false;
    for (HWND w = GetTopWindow(nullptr); w && w != work; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == main) mainAbove = true;
    }
    PrintLine(std::wstring(L"main above: ") + (mainAbove ? L"1" : L"0"));
    PrintLine(std::wstring(L"still active: ") + (GetForegroundWindow() == work && GetFocus() == work ? L"1" : L"0"));
    DestroyWindow(work);
    return 0;
}

}  // namespace driver
