// hexalune_driver: the end-to-end tests' hands and eyes. Run in the same Wine prefix
// (and so on the same desktop) as Hexalune.exe, it finds the program's windows and
// acts on them the way a user would, and reads and writes the program's registry
// values. One subcommand per run; results go to stdout as UTF-8 lines, a failure
// exits 1 with its reason on stderr.
#include <windows.h>
#include <ole2.h>
#include <oleacc.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "core/ControlIds.h"
#include "tray/win32/TrayIcon.h"
#include "core/Version.h"

namespace {

constexpr wchar_t kMainClass[] = L"HexaluneMainWindow";
constexpr wchar_t kMainTitle[] = L"" HEXALUNE_WINDOW_CAPTION;
constexpr wchar_t kSettingsKey[] = L"Software\\Hexalune\\Hexalune\\Settings";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"Hexalune";
constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kPollMs = 100;

// A failure the command reports on stderr before exiting 1.
struct Failure {
    std::wstring message;
};

[[noreturn]] void Fail(const std::wstring& message) { throw Failure{message}; }

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

void PrintLine(const std::wstring& text) {
    const std::string bytes = ToUtf8(text) + "\n";
    fwrite(bytes.data(), 1, bytes.size(), stdout);
}

// Carriage returns become line feeds so that multi-line texts read naturally in a shell.
std::wstring UnixLines(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') {
            out.push_back(L'\n');
            if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::wstring Hex(const unsigned char* bytes, size_t count) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring out;
    for (size_t i = 0; i < count; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 15]);
    }
    return out;
}

std::string FromHex(const std::wstring& hex) {
    if (hex.size() % 2 != 0) Fail(L"odd number of hex digits: " + hex);
    std::string out;
    for (size_t i = 0; i < hex.size(); i += 2) {
        const std::wstring pair = hex.substr(i, 2);
        wchar_t* end = nullptr;
        const unsigned long value = wcstoul(pair.c_str(), &end, 16);
        if (end != pair.c_str() + 2) Fail(L"not a hex byte: " + pair);
        out.push_back(static_cast<char>(value));
    }
    return out;
}

int ToInt(const std::wstring& text) {
    wchar_t* end = nullptr;
    const long value = wcstol(text.c_str(), &end, 0);
    if (text.empty() || *end != L'\0') Fail(L"not a number: " + text);
    return static_cast<int>(value);
}

double ToSeconds(const std::vector<std::wstring>& args, size_t index, double fallback) {
    if (index >= args.size()) return fallback;
    wchar_t* end = nullptr;
    const double value = wcstod(args[index].c_str(), &end);
    if (*end != L'\0' || value < 0) Fail(L"not a number of seconds: " + args[index]);
    return value;
}

// Calls `done` every 100 ms until it returns true or the time is up; returns its last answer.
template <typename Check>
bool PollUntil(double seconds, Check done) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(kPollMs);
    }
}

// ---- Windows ----------------------------------------------------------------

HWND FindMain() { return FindWindowW(kMainClass, kMainTitle); }

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

struct TopLevelSearch {
    const wchar_t* className;
    const wchar_t* caption;  // nullptr: any
    std::vector<HWND> found;
};

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

// A visible message box (dialog class #32770), optionally with the given caption.
// Boxes owned by our own program come first.
HWND FindMessageBox(const wchar_t* caption) {
    TopLevelSearch search{L"#32770", caption, {}};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found.empty()) return nullptr;
    if (HWND main = FindMain()) {
        DWORD ourPid = 0;
        GetWindowThreadProcessId(main, &ourPid);
        for (HWND box : search.found) {
            DWORD pid = 0;
            GetWindowThreadProcessId(box, &pid);
            if (pid == ourPid) return box;
        }
    }
    return search.found.front();
}

const wchar_t* CaptionArg(const std::vector<std::wstring>& args, size_t index) {
    return index < args.size() ? args[index].c_str() : nullptr;
}

// ---- Registry ---------------------------------------------------------------

// Reads a REG_SZ value; false when the value or its key is missing.
bool ReadString(const wchar_t* keyPath, const std::wstring& name, std::wstring& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status == ERROR_SUCCESS) {
            if (type != REG_SZ && type != REG_EXPAND_SZ) {
                RegCloseKey(key);
                Fail(L"value " + name + L" is not a string (type " + std::to_wstring(type) + L")");
            }
            value.assign(buffer.data());
        }
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

void WriteString(const wchar_t* keyPath, const std::wstring& name, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        Fail(std::wstring(L"cannot create HKCU\\") + keyPath);
    const LONG status = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) Fail(L"cannot write value " + name);
}

// Deleting a value that is not there is not an error.
void DeleteValue(const wchar_t* keyPath, const std::wstring& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    const LONG status = RegDeleteValueW(key, name.c_str());
    RegCloseKey(key);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) Fail(L"cannot delete value " + name);
}

void PrintValue(const wchar_t* keyPath, const std::wstring& name) {
    std::wstring value;
    PrintLine(ReadString(keyPath, name, value) ? value : L"<missing>");
}

const std::wstring& NameArg(const std::vector<std::wstring>& args, size_t index, const wchar_t* what) {
    if (index >= args.size()) Fail(std::wstring(what) + L" is missing");
    return args[index];
}

// ---- Tray -------------------------------------------------------------------

// Wine's taskbar draws the notification icons itself, with no window per icon: from
// the right end upwards, one slot of a small icon plus a 2-pixel border each side,
// centered in the bar's height. So the icons are found by their pixels.
constexpr int kTrayIconBorder = 2;

struct TraySlot {
    RECT rect;       // desktop coordinates
    bool ours;       // drawn like the program's own icon
    int likeness;    // percentage of pixels that match the program's icon
};

COLORREF ScreenPixel(HDC screen, int x, int y) { return GetPixel(screen, x, y); }

int ColorDistance(COLORREF a, COLORREF b) {
    return abs(GetRValue(a) - GetRValue(b)) + abs(GetGValue(a) - GetGValue(b)) + abs(GetBValue(a) - GetBValue(b));
}

// The program's small icon drawn on the given background, as a size x size grid of pixels.
std::vector<COLORREF> RenderIcon(HICON icon, int size, COLORREF background) {
    std::vector<COLORREF> pixels;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, size, size};
    FillRect(memory, &all, brush);
    DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) pixels.push_back(GetPixel(memory, x, y));
    SelectObject(memory, old);
    DeleteObject(brush);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The occupied icon slots of the taskbar, rightmost first. With `programPath`, each slot
// is compared with that program's icon (resource 1, IDI_HEXALUNE).
std::vector<TraySlot> FindTrayIcons(const std::wstring& programPath) {
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!taskbar) Fail(L"there is no taskbar (Shell_TrayWnd)");
    RECT bar{};
    GetWindowRect(taskbar, &bar);
    const int iconSize = GetSystemMetrics(SM_CXSMICON);
    const int slot = iconSize + 2 * kTrayIconBorder;
    const int top = bar.top + (bar.bottom - bar.top - iconSize) / 2;

    HICON programIcon = nullptr;
    if (!programPath.empty()) {
        HMODULE module = LoadLibraryExW(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!module) Fail(L"cannot open " + programPath);
        programIcon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_HEXALUNE), IMAGE_ICON, iconSize,
                                                    iconSize, 0));
        if (!programIcon) Fail(L"no icon in " + programPath);
    }

    std::vector<TraySlot> slots;
    HDC screen = GetDC(nullptr);
    for (int right = bar.right; right - slot >= bar.left; right -= slot) {
        const int left = right - slot + kTrayIconBorder;
        // The border around the icon shows the bar's own color.
        const COLORREF background = ScreenPixel(screen, right - slot, top - 1 >= bar.top ? top - 1 : top);
        int differing = 0;
        for (int y = 0; y < iconSize; ++y)
            for (int x = 0; x < iconSize; ++x)
                if (ColorDistance(ScreenPixel(screen, left + x, top + y), background) > 30) ++differing;
        if (differing < iconSize) break;  // an empty slot ends the row
        TraySlot found{{left, top, left + iconSize, top + iconSize}, false, 0};
        if (programIcon) {
            const std::vector<COLORREF> expected = RenderIcon(programIcon, iconSize, background);
            int alike = 0;
            for (int y = 0; y < iconSize; ++y)
                for (int x = 0; x < iconSize; ++x)
                    if (ColorDistance(ScreenPixel(screen, left + x, top + y),
                                       expected[static_cast<size_t>(y * iconSize + x)]) <= 60)
                        ++alike;
            found.likeness = alike * 100 / (iconSize * iconSize);
            found.ours = found.likeness >= 90;
        }
        slots.push_back(found);
    }
    ReleaseDC(nullptr, screen);
    if (programIcon) DestroyIcon(programIcon);
    return slots;
}

// ---- Commands ---------------------------------------------------------------

using Args = std::vector<std::wstring>;

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

// What a link control shows: its text without the link markup.
std::wstring WithoutLinkMarkup(std::wstring text) {
    for (const wchar_t* tag : {L"<a>", L"</a>"}) {
        for (size_t at = text.find(tag); at != std::wstring::npos; at = text.find(tag)) text.erase(at, wcslen(tag));
    }
    return text;
}

int Text(const Args& args) {
    HWND control = RequireControl(ControlIdArg(args, 1));
    std::wstring text = TextOf(control);
    if (ClassOf(control) == L"SysLink") text = WithoutLinkMarkup(text);
    PrintLine(UnixLines(text));
    return 0;
}

int Click(const Args& args) {
    const int id = ControlIdArg(args, 1);
    HWND control = RequireControl(id);
    if (ClassOf(control) == L"Button") {
        Post(control, BM_CLICK, 0, 0);
    } else {
        // A label that acts as a link: the click reaches its container as STN_CLICKED.
        Post(GetParent(control), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(control));
    }
    PrintLine(L"clicked " + std::to_wstring(id));
    return 0;
}

int Menu(const Args& args) {
    const int id = ControlIdArg(args, 1);
    Post(RequireMain(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    PrintLine(L"menu " + std::to_wstring(id));
    return 0;
}

// As a user's choice in the list: the selection changes, then the owner hears CBN_SELCHANGE.
int Select(const Args& args) {
    const int id = ControlIdArg(args, 1);
    if (args.size() < 3) Fail(L"usage: select <ctrlId> <index>");
    const int index = ToInt(args[2]);
    HWND combo = RequireControl(id);
    if (Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == CB_ERR && index != -1)
        Fail(L"index " + args[2] + L" is not in the list");
    Post(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    PrintLine(L"selected " + args[2]);
    return 0;
}

std::wstring ComboItem(HWND combo, int index) {
    const LRESULT length = Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

// Prints "<index> <text>", or "-1" when nothing is selected.
int Combo(const Args& args) {
    HWND combo = RequireControl(ControlIdArg(args, 1));
    const int index = static_cast<int>(Send(combo, CB_GETCURSEL, 0, 0));
    PrintLine(index < 0 ? L"-1" : std::to_wstring(index) + L" " + ComboItem(combo, index));
    return 0;
}

// Every entry of the list, one a line.
int ComboItems(const Args& args) {
    HWND combo = RequireControl(ControlIdArg(args, 1));
    const int count = static_cast<int>(Send(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) PrintLine(ComboItem(combo, i));
    return 0;
}

int Checked(const Args& args) {
    const LRESULT state = Send(RequireControl(ControlIdArg(args, 1)), BM_GETCHECK, 0, 0);
    PrintLine(state == BST_CHECKED ? L"1" : L"0");
    return 0;
}

int Enabled(const Args& args) {
    HWND hwnd = args.size() > 1 && args[1] == L"main" ? RequireMain() : RequireControl(ControlIdArg(args, 1));
    PrintLine(IsWindowEnabled(hwnd) ? L"1" : L"0");
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

// Prints the box's caption, then its text.
int MsgBox(const Args& args) {
    const double seconds = ToSeconds(args, 1, 10);
    const wchar_t* caption = CaptionArg(args, 2);
    HWND box = nullptr;
    if (!PollUntil(seconds, [&] { return (box = FindMessageBox(caption)) != nullptr; }))
        Fail(L"no message box appeared");
    wchar_t title[512] = L"";
    GetWindowTextW(box, title, 512);
    PrintLine(title);
    HWND text = GetDlgItem(box, 0xFFFF);
    PrintLine(text ? UnixLines(TextOf(text)) : L"");
    return 0;
}

// The message box's text with its line breaks spelt out (\r, \n), its buttons in order
// with "*" after the default one, and which standard icon it shows (compared by pixels
// with the system's own icons, as the box's handle cannot be compared across processes).
int MsgBoxInfo(const Args& args) {
    const double seconds = ToSeconds(args, 1, 10);
    const wchar_t* caption = CaptionArg(args, 2);
    HWND box = nullptr;
    if (!PollUntil(seconds, [&] { return (box = FindMessageBox(caption)) != nullptr; }))
        Fail(L"no message box appeared");
    std::wstring raw;
    if (HWND text = GetDlgItem(box, 0xFFFF)) {
        for (wchar_t c : TextOf(text)) {
            if (c == L'\r') raw += L"\\r";
            else if (c == L'\n') raw += L"\\n";
            else raw.push_back(c);
        }
    }
    PrintLine(L"text: " + raw);

    struct Found {
        std::vector<HWND> buttons;
        HWND icon = nullptr;
    } found;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM param) -> BOOL {
            auto* f = reinterpret_cast<Found*>(param);
            if (!IsWindowVisible(child)) return TRUE;
            const std::wstring cls = ClassOf(child);
            const LONG style = GetWindowLongW(child, GWL_STYLE);
            if (cls == L"Button") f->buttons.push_back(child);
            if (cls == L"Static" && (style & SS_TYPEMASK) == SS_ICON) f->icon = child;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    std::wstring buttons = L"buttons:";
    for (HWND button : found.buttons) {
        buttons += L" " + TextOf(button);
        if ((GetWindowLongW(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON) buttons += L"*";
    }
    PrintLine(buttons);

    std::wstring iconLine = L"icon: none";
    if (found.icon) {
        RECT rect{};
        GetWindowRect(found.icon, &rect);
        const int size = GetSystemMetrics(SM_CXICON);
        HDC screen = GetDC(nullptr);
        const COLORREF background = GetPixel(screen, rect.left, rect.top);
        std::vector<COLORREF> shown;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) shown.push_back(GetPixel(screen, rect.left + x, rect.top + y));
        ReleaseDC(nullptr, screen);
        const struct {
            const wchar_t* name;
            LPCWSTR id;
        } kinds[] = {{L"information", IDI_INFORMATION},
                     {L"question", IDI_QUESTION},
                     {L"warning", IDI_WARNING},
                     {L"error", IDI_ERROR}};
        int best = -1;
        const wchar_t* bestName = L"other";
        for (const auto& kind : kinds) {
            const std::vector<COLORREF> expected = RenderIcon(LoadIconW(nullptr, kind.id), size, background);
            int alike = 0;
            for (size_t i = 0; i < shown.size(); ++i) alike += ColorDistance(shown[i], expected[i]) <= 60 ? 1 : 0;
            const int percent = alike * 100 / static_cast<int>(shown.size());
            if (percent > best) {
                best = percent;
                bestName = percent >= 90 ? kind.name : L"other";
            }
        }
        iconLine = std::wstring(L"icon: ") + bestName + L" " + std::to_wstring(best) + L"%";
    }
    PrintLine(iconLine);
    return 0;
}

// Fails when a message box is showing: for checking that nothing asked the user anything.
int NoMsgBox(const Args& args) {
    const double seconds = ToSeconds(args, 1, 0);
    if (seconds > 0) Sleep(static_cast<DWORD>(seconds * 1000));
    if (HWND box = FindMessageBox(CaptionArg(args, 2))) {
        wchar_t title[512] = L"";
        GetWindowTextW(box, title, 512);
        Fail(std::wstring(L"a message box is showing: ") + title);
    }
    PrintLine(L"none");
    return 0;
}

// Presses a button of the message box and waits until the box has closed.
int Answer(const Args& args) {
    if (args.size() < 2) Fail(L"usage: answer <yes|no|ok|cancel> [caption]");
    int button = 0;
    if (args[1] == L"yes") button = IDYES;
    else if (args[1] == L"no") button = IDNO;
    else if (args[1] == L"ok") button = IDOK;
    else if (args[1] == L"cancel") button = IDCANCEL;
    else Fail(L"unknown answer: " + args[1]);
    HWND box = nullptr;
    if (!PollUntil(5, [&] { return (box = FindMessageBox(CaptionArg(args, 2))) != nullptr; }))
        Fail(L"no message box to answer");
    Post(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    if (!PollUntil(5, [&] { return !IsWindow(box) || !IsWindowVisible(box); })) Fail(L"the message box stayed open");
    PrintLine(L"answered " + args[1]);
    return 0;
}

int RegGet(const Args& args) {
    PrintValue(kSettingsKey, NameArg(args, 1, L"a value name"));
    return 0;
}

int RegSet(const Args& args) {
    WriteString(kSettingsKey, NameArg(args, 1, L"a value name"), NameArg(args, 2, L"the value"));
    PrintLine(L"set " + args[1]);
    return 0;
}

int RegDel(const Args& args) {
    DeleteValue(kSettingsKey, NameArg(args, 1, L"a value name"));
    PrintLine(L"deleted " + args[1]);
    return 0;
}

// Every value of the settings key as name=data (names in hex when they are not plain ASCII).
int RegList(const Args&) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        PrintLine(L"<missing>");
        return 0;
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        unsigned char data[2048];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        bool plain = true;
        for (DWORD c = 0; c < nameSize; ++c) plain = plain && static_cast<unsigned char>(name[c]) < 128;
        std::wstring line = plain ? std::wstring(name, name + nameSize)
                                  : L"hex:" + Hex(reinterpret_cast<unsigned char*>(name), nameSize);
        std::wstring value;
        if (type == REG_SZ && dataSize > 0) {
            bool plainData = true;
            for (DWORD c = 0; c + 1 < dataSize; ++c) plainData = plainData && data[c] < 128;
            value = plainData ? std::wstring(data, data + dataSize - 1) : L"hex:" + Hex(data, dataSize - 1);
        } else {
            value = L"type " + std::to_wstring(type) + L" hex:" + Hex(data, dataSize);
        }
        PrintLine(line + L"=" + value);
    }
    RegCloseKey(key);
    return 0;
}

// The update reminder's value: name and data are ANSI code-page bytes, given and shown in hex.
int RegGetRawAnsi(const Args& args) {
    const std::string name = FromHex(NameArg(args, 1, L"the hex of a value name"));
    const std::string keyPath = "Software\\Hexalune\\Hexalune\\Settings";
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        PrintLine(L"<missing>");
        return 0;
    }
    DWORD type = 0;
    unsigned char data[2048];
    DWORD size = sizeof data;
    const LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &type, data, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        PrintLine(L"<missing>");
        return 0;
    }
    if (type == REG_SZ && size > 0 && data[size - 1] == 0) --size;  // the terminator is not part of the text
    PrintLine(Hex(data, size));
    return 0;
}

int RegSetRawAnsi(const Args& args) {
    const std::string name = FromHex(NameArg(args, 1, L"the hex of a value name"));
    const std::string data = FromHex(NameArg(args, 2, L"the hex of the data"));
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Hexalune\\Hexalune\\Settings", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        Fail(L"cannot create the settings key");
    const LONG status = RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) Fail(L"cannot write the value");
    PrintLine(L"set hex:" + args[1]);
    return 0;
}

int RunGet(const Args&) {
    PrintValue(kRunKey, kRunValue);
    return 0;
}

int RunSet(const Args& args) {
    WriteString(kRunKey, kRunValue, NameArg(args, 1, L"the command line"));
    PrintLine(L"set Run\\Hexalune");
    return 0;
}

int RunDel(const Args&) {
    DeleteValue(kRunKey, kRunValue);
    PrintLine(L"deleted Run\\Hexalune");
    return 0;
}

// The notification icons on the desktop's taskbar: a count line, then one line per
// icon, rightmost first, with its center in desktop coordinates ("x y"). Given the
// program's path, each line also says "ours" or "other" by comparing the icon's pixels,
// and how many of them match.
int TrayIcon(const Args& args) {
    const std::wstring programPath = args.size() > 1 ? args[1] : std::wstring();
    const std::vector<TraySlot> slots = FindTrayIcons(programPath);
    PrintLine(std::to_wstring(slots.size()));
    for (const TraySlot& icon : slots) {
        std::wstring line = std::to_wstring((icon.rect.left + icon.rect.right) / 2) + L" " +
                            std::to_wstring((icon.rect.top + icon.rect.bottom) / 2);
        if (!programPath.empty())
            line += (icon.ours ? L" ours " : L" other ") + std::to_wstring(icon.likeness) + L"%";
        PrintLine(line);
    }
    return 0;
}

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

// An open popup menu (class #32768): prints "left top right bottom" in desktop coordinates.
// Its items cannot be read from another process, so a test clicks them by position.
int PopupMenu(const Args& args) {
    const double seconds = ToSeconds(args, 1, 5);
    TopLevelSearch search{L"#32768", nullptr, {}};
    if (!PollUntil(seconds, [&] {
            search.found.clear();
            EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
            return !search.found.empty();
        }))
        Fail(L"no popup menu is open");
    RECT rect{};
    GetWindowRect(search.found.front(), &rect);
    PrintLine(std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " + std::to_wstring(rect.right) +
              L" " + std::to_wstring(rect.bottom));
    return 0;
}

// The icon's callback as the shell sends it for the keyboard (version 4): the event, such as
// 0x401 (NIN_KEYSELECT) or 0x7B (WM_CONTEXTMENU), with the icon's id, and the menu's point.
int TrayEvent(const Args& args) {
    if (args.size() < 4) Fail(L"usage: tray-event <event> <x> <y>");
    using namespace hexalune::win32;
    Post(RequireControl(IDC_TRAY_HOOK), WM_APP_TRAYICON, MAKEWPARAM(ToInt(args[2]), ToInt(args[3])),
         MAKELPARAM(ToInt(args[1]), kTrayIconId));
    return 0;
}

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

// ---- Dialogs other than message boxes (the About box) ----------------------------

const std::wstring& CaptionRequired(const Args& args, size_t index) {
    return NameArg(args, index, L"a dialog caption");
}

HWND FindDialog(const std::wstring& caption) {
    TopLevelSearch search{L"#32770", caption.c_str(), {}};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found.empty() ? nullptr : search.found.front();
}

HWND RequireDialog(const std::wstring& caption) {
    HWND dialog = FindDialog(caption);
    if (!dialog) Fail(L"no dialog captioned \"" + caption + L"\" is open");
    return dialog;
}

HWND RequireDialogItem(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) Fail(L"the dialog has no control with id " + std::to_wstring(id));
    return item;
}

// Waits for a visible dialog (class #32770) with this caption; prints "open" and who owns it.
int DlgWait(const Args& args) {
    const std::wstring& caption = CaptionRequired(args, 1);
    const double seconds = ToSeconds(args, 2, 10);
    HWND dialog = nullptr;
    if (!PollUntil(seconds, [&] { return (dialog = FindDialog(caption)) != nullptr; }))
        Fail(L"no dialog captioned \"" + caption + L"\" appeared");
    HWND owner = GetWindow(dialog, GW_OWNER);
    PrintLine(std::wstring(L"open, owner ") + (owner && owner == FindMain() ? L"main" : owner ? L"other" : L"none"));
    return 0;
}

// Waits until no visible dialog with this caption is left.
int DlgGone(const Args& args) {
    const std::wstring& caption = CaptionRequired(args, 1);
    const double seconds = ToSeconds(args, 2, 10);
    if (!PollUntil(seconds, [&] { return FindDialog(caption) == nullptr; }))
        Fail(L"the dialog \"" + caption + L"\" is still open");
    PrintLine(L"gone");
    return 0;
}

// A button of the dialog, or one of its labels that act as links (STN_CLICKED).
int DlgClick(const Args& args) {
    HWND dialog = RequireDialog(CaptionRequired(args, 1));
    const int id = ControlIdArg(args, 2);
    HWND item = RequireDialogItem(dialog, id);
    if (ClassOf(item) == L"Button") {
        Post(item, BM_CLICK, 0, 0);
    } else {
        Post(dialog, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(item));
    }
    PrintLine(L"clicked " + std::to_wstring(id));
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

int DlgRect(const Args& args) {
    HWND dialog = RequireDialog(CaptionRequired(args, 1));
    PrintLine(RectText(RequireDialogItem(dialog, ControlIdArg(args, 2))));
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

// ---- The clipboard ------------------------------------------------------------------

// Puts text on the clipboard as another program would (no owner window of the program's).
int ClipSet(const Args& args) {
    const std::wstring& text = NameArg(args, 1, L"the text");
    if (!OpenClipboard(nullptr)) Fail(L"the clipboard is busy");
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (memory) {
        memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
    return 0;
}

// The clipboard's text, or <empty>.
int ClipGet(const Args&) {
    std::wstring text = L"<empty>";
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = chars;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    PrintLine(UnixLines(text));
    return 0;
}

// The clipboard's sequence number, which every change of the clipboard moves on.
int ClipSeq(const Args&) {
    PrintLine(std::to_wstring(GetClipboardSequenceNumber()));
    return 0;
}

// Copies the whole text of a control with the keyboard's copy (select all, WM_COPY).
int CopyText(const Args& args) {
    HWND control = RequireControl(ControlIdArg(args, 1));
    SendMessageW(control, EM_SETSEL, 0, -1);
    SendMessageW(control, WM_COPY, 0, 0);
    return 0;
}

// ---- What a screen reader reads --------------------------------------------------

int AccDescribe(const Args& args) {
    HWND control = RequireControl(ControlIdArg(args, 1));
    CoInitialize(nullptr);
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))) ||
        !object)
        Fail(L"no accessible object");
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    object->get_accName(self, &name);
    VARIANT role;
    VariantInit(&role);
    object->get_accRole(self, &role);
    PrintLine(name ? std::wstring(name, SysStringLen(name)) : L"<no name>");
    PrintLine(role.vt == VT_I4 && role.lVal == ROLE_SYSTEM_LINK ? L"link" : L"role " + std::to_wstring(role.vt == VT_I4 ? role.lVal : -1));
    SysFreeString(name);
    object->Release();
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

// "group" and "tabstop" where the control has those styles, one a line, or "-".
int Style(const Args& args) {
    const LONG_PTR style = GetWindowLongPtrW(RequireControl(ControlIdArg(args, 1)), GWL_STYLE);
    std::wstring flags;
    if (style & WS_GROUP) flags += L"group\n";
    if (style & WS_TABSTOP) flags += L"tabstop\n";
    PrintLine(flags.empty() ? L"-" : flags.substr(0, flags.size() - 1));
    return 0;
}

// What a button sends its owner when Windows clicks it without the mouse: a radio button
// that gets the keyboard focus while unchecked sends BN_CLICKED (Wine's button does not).
int ButtonClicked(const Args& args) {
    const int id = ControlIdArg(args, 1);
    HWND button = RequireControl(id);
    Post(GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    PrintLine(L"BN_CLICKED " + std::to_wstring(id));
    return 0;
}

// The text of a dialog's control, link markup left out.
int DlgText(const Args& args) {
    HWND item = RequireDialogItem(RequireDialog(CaptionRequired(args, 1)), ControlIdArg(args, 2));
    PrintLine(UnixLines(WithoutLinkMarkup(TextOf(item))));
    return 0;
}

// Windows tells the program that the computer has woken from sleep or hibernation.
int Resume(const Args&) {
    Post(RequireMain(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    PrintLine(L"resumed");
    return 0;
}

// Windows ends the user's session: asks, then tells the program it ends.
int EndSession(const Args&) {
    HWND main = RequireMain();
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    PrintLine(L"ended");
    return 0;
}

// Stands in for the program the user is working in: a window of the driver's own, made the
// active one, kept for `seconds`. Then prints whether the main window lies above it, and
// whether it still has the foreground and the keyboard.
LRESULT CALLBACK PlainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

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

// ---- Other registry values of the user (Wine's own settings) -----------------------

int HkcuGet(const Args& args) {
    const std::wstring& key = NameArg(args, 1, L"a key path under HKCU");
    PrintValue(key.c_str(), NameArg(args, 2, L"a value name"));
    return 0;
}

int HkcuSet(const Args& args) {
    const std::wstring& key = NameArg(args, 1, L"a key path under HKCU");
    WriteString(key.c_str(), NameArg(args, 2, L"a value name"), NameArg(args, 3, L"the value"));
    PrintLine(L"set " + args[2]);
    return 0;
}

struct CommandEntry {
    const wchar_t* name;
    int (*run)(const Args&);
    const wchar_t* usage;
};

const CommandEntry kCommands[] = {
    {L"wait-window", WaitWindow, L"[seconds]          main window exists; prints its title"},
    {L"wait-gone", WaitGone, L"[seconds]            main window and its process ended"},
    {L"title", Title, L"                        the main window's title"},
    {L"visible", Visible, L"<ctrlId|main>         1 or 0 (main: shown and not minimized)"},
    {L"own-visible", OwnVisible, L"<ctrlId>          the control's own WS_VISIBLE flag, 1 or 0"},
    {L"wait-visible", WaitVisible, L"<ctrlId|main> <1|0> [seconds]"},
    {L"text", Text, L"<ctrlId>                 the control's text"},
    {L"click", Click, L"<ctrlId>                button click, or STN_CLICKED for a label"},
    {L"menu", Menu, L"<id>                     menu command"},
    {L"select", Select, L"<ctrlId> <index>       choose an entry of a drop-down list"},
    {L"combo", Combo, L"<ctrlId>                \"<index> <text>\" of the selection, -1 for none"},
    {L"combo-items", ComboItems, L"<ctrlId>          every entry of the list"},
    {L"checked", Checked, L"<ctrlId>              1 or 0"},
    {L"enabled", Enabled, L"<ctrlId|main>         1 or 0"},
    {L"close", Close, L"                        the close box"},
    {L"pid", Pid, L"                          process id of the main window"},
    {L"msgbox", MsgBox, L"[seconds] [caption]    wait for a message box; prints caption, then text"},
    {L"msgbox-info", MsgBoxInfo, L"[seconds] [caption] text with \\r \\n, buttons (* default), icon"},
    {L"no-msgbox", NoMsgBox, L"[seconds] [caption] fails if a message box shows (after seconds)"},
    {L"answer", Answer, L"<yes|no|ok|cancel> [caption]"},
    {L"reg-get", RegGet, L"<name>                settings value, or <missing>"},
    {L"reg-set", RegSet, L"<name> <value>"},
    {L"reg-del", RegDel, L"<name>"},
    {L"reg-list", RegList, L"                    every settings value"},
    {L"reg-get-raw-ansi", RegGetRawAnsi, L"<hex-name>  data bytes in hex, or <missing>"},
    {L"reg-set-raw-ansi", RegSetRawAnsi, L"<hex-name> <hex-data>"},
    {L"run-get", RunGet, L"                      the Run value \"Hexalune\", or <missing>"},
    {L"run-set", RunSet, L"<command line>"},
    {L"run-del", RunDel, L""},
    {L"tray-icon", TrayIcon, L"[program.exe]       count of notification icons, then \"x y [ours|other N%]\" of each"},
    {L"tray-event", TrayEvent, L"<event> <x> <y>      post the icon's callback to the program, as the shell does"},
    {L"popup-menu", PopupMenu, L"[seconds]           wait for a popup menu; prints its rectangle"},
    {L"wait-desktop", WaitDesktop, L"[seconds]         the taskbar exists; prints the desktop's size"},
    {L"windows", Windows, L"                      every window, for diagnosis"},
    {L"main-state", MainState, L"                   none, hidden, iconic or shown"},
    {L"watch-main", WatchMain, L"[seconds|@unixtime]  every state the main window passes through"},
    {L"wm-close", WmClose, L"                     post WM_CLOSE to the main window, as the task list does"},
    {L"window-at", WindowAt, L"<x> <y>               the window a click at that screen point reaches"},
    {L"rect", Rect, L"<ctrlId>                 the control's screen rectangle"},
    {L"dlg-wait", DlgWait, L"<caption> [seconds]  wait for a dialog; prints \"open, owner main|other|none\""},
    {L"dlg-gone", DlgGone, L"<caption> [seconds]  wait until the dialog has closed"},
    {L"dlg-click", DlgClick, L"<caption> <ctrlId>  click a button or link label of the dialog"},
    {L"dlg-rect", DlgRect, L"<caption> <ctrlId>    a dialog control's screen rectangle"},
    {L"focus", Focus, L"                        the foreground window and the focused control"},
    {L"hkcu-get", HkcuGet, L"<key> <name>         any HKCU string value, or <missing>"},
    {L"hkcu-set", HkcuSet, L"<key> <name> <value>"},
    {L"clip-set", ClipSet, L"<text>                put text on the clipboard, owned by no window"},
    {L"clip-get", ClipGet, L"                      the clipboard's text, or <empty>"},
    {L"clip-seq", ClipSeq, L"                      the clipboard's sequence number"},
    {L"copy-text", CopyText, L"<ctrlId>           select a text box's text and copy it"},
    {L"acc", AccDescribe, L"<ctrlId>                 accessible name, then \"link\" or the role"},
    {L"focus-id", FocusId, L"                      id of the focused control of the main window"},
    {L"style", Style, L"<ctrlId>                 \"group\" and \"tabstop\" as the control has them, or -"},
    {L"button-clicked", ButtonClicked, L"<ctrlId>     BN_CLICKED as Windows sends it to a radio button given the focus"},
    {L"dlg-text", DlgText, L"<caption> <ctrlId>   a dialog control's text"},
    {L"resume", Resume, L"                       the computer woke from sleep (WM_POWERBROADCAST)"},
    {L"end-session", EndSession, L"                 the user's session ends (log-off)"},
    {L"work-elsewhere", WorkElsewhere, L"[seconds]       an active window of the driver's own; then z-order and focus"},
};

void PrintUsage() {
    fputs("usage: hexalune_driver <command> [arguments]\n", stderr);
    for (const CommandEntry& command : kCommands)
        fprintf(stderr, "  %s %s\n", ToUtf8(command.name).c_str(), ToUtf8(command.usage).c_str());
}

// The arguments as the user typed them, in full Unicode.
Args CommandLineArgs() {
    using SplitFn = LPWSTR*(WINAPI*)(LPCWSTR, int*);
    HMODULE shell = LoadLibraryW(L"shell32.dll");
    auto split = shell ? reinterpret_cast<SplitFn>(reinterpret_cast<void*>(GetProcAddress(shell, "CommandLineToArgvW")))
                       : nullptr;
    if (!split) return {};
    int count = 0;
    LPWSTR* argv = split(GetCommandLineW(), &count);
    Args args;
    for (int i = 1; i < count; ++i) args.emplace_back(argv[i]);  // without the program itself
    LocalFree(argv);
    return args;
}

}  // namespace

int main() {
    // Plain "\n" line ends, as a shell expects them.
    _setmode(_fileno(stdout), _O_BINARY);
    const Args args = CommandLineArgs();
    if (args.empty()) {
        PrintUsage();
        return 1;
    }
    for (const CommandEntry& command : kCommands) {
        if (args[0] != command.name) continue;
        // Tells the harness that the command is under way: a run that ends silently before
        // this line did nothing and may be run again.
        fputs("driver: started\n", stderr);
        fflush(stderr);
        try {
            const int code = command.run(args);
            fflush(stdout);
            return code;
        } catch (const Failure& failure) {
            fflush(stdout);
            fprintf(stderr, "%s: %s\n", ToUtf8(args[0]).c_str(), ToUtf8(failure.message).c_str());
            return 1;
        }
    }
    fprintf(stderr, "unknown command: %s\n", ToUtf8(args[0]).c_str());
    PrintUsage();
    return 1;
}
