// Message boxes and the program's other dialogs (the About box): found by caption, read,
// answered and clicked.
#include "driver.h"

#include <commctrl.h>

#include <cwchar>

namespace driver {

namespace {

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

// The message box that `args` names ([seconds] [caption] after the command), once it shows.
HWND WaitMessageBox(const Args& args) {
    const double seconds = ToSeconds(args, 1, 10);
    const wchar_t* caption = CaptionArg(args, 2);
    HWND box = nullptr;
    if (!PollUntil(seconds, [&] { return (box = FindMessageBox(caption)) != nullptr; }))
        Fail(L"no message box appeared");
    return box;
}

}  // namespace

// Prints the box's caption, then its text.
int MsgBox(const Args& args) {
    HWND box = WaitMessageBox(args);
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
    HWND box = WaitMessageBox(args);
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

namespace {

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

}  // namespace

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

int DlgRect(const Args& args) {
    HWND dialog = RequireDialog(CaptionRequired(args, 1));
    PrintLine(RectText(RequireDialogItem(dialog, ControlIdArg(args, 2))));
    return 0;
}

// The text of a dialog's control, link markup left out.
int DlgText(const Args& args) {
    HWND item = RequireDialogItem(RequireDialog(CaptionRequired(args, 1)), ControlIdArg(args, 2));
    PrintLine(UnixLines(WithoutLinkMarkup(TextOf(item))));
    return 0;
}

// Every item of a dialog's list box, one a line.
int DlgList(const Args& args) {
    HWND list = RequireDialogItem(RequireDialog(CaptionRequired(args, 1)), ControlIdArg(args, 2));
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring item(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        item.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
        PrintLine(item);
    }
    return 0;
}

// Every row of a dialog's list view, its cells split by tabs. The list lives in the other
// process: its answers are read from a buffer in that process's memory.
int DlgRows(const Args& args) {
    HWND list = RequireDialogItem(RequireDialog(CaptionRequired(args, 1)), ControlIdArg(args, 2));
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) Fail(L"cannot open the program's process");
    constexpr int kChars = 1024;
    const SIZE_T size = sizeof(LVITEMW) + kChars * sizeof(wchar_t);
    auto* remote = static_cast<unsigned char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (!remote) {
        CloseHandle(process);
        Fail(L"cannot reserve memory in the program's process");
    }
    auto* remoteText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    const int rows = static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0));
    bool ok = true;
    for (int row = 0; row < rows && ok; ++row) {
        std::wstring line;
        for (int column = 0; column < columns && ok; ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = remoteText;
            item.cchTextMax = kChars;
            ok = WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
            const auto length = ok ? Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote)) : 0;
            std::wstring cell(static_cast<std::size_t>(length), L'\0');
            ok = ok && (length == 0 || ReadProcessMemory(process, remoteText, cell.data(), cell.size() * sizeof(wchar_t), nullptr));
            if (column > 0) line += L'\t';
            line += cell;
        }
        if (ok) PrintLine(line);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    if (!ok) Fail(L"cannot read the list view's rows");
    return 0;
}

// Types into a dialog's text box as a keyboard would, a character at a time; "\n" is Enter.
int DlgType(const Args& args) {
    HWND box = RequireDialogItem(RequireDialog(CaptionRequired(args, 1)), ControlIdArg(args, 2));
    const std::wstring& text = NameArg(args, 3, L"text");
    for (std::size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\\' && i + 1 < text.size() && text[i + 1] == L'n') {
            c = L'\r';
            ++i;
        }
        Send(box, WM_CHAR, c, 1);
    }
    return 0;
}

}  // namespace driver

namespace driver {

// Whether every cell of a dialog's list view shows whole: its text (measured by the list, with
// the margins a list view draws around it) fits its column, and every row lies within the
// list's client area. Prints "fits", or the first cell or row cut.
int DlgFits(const Args& args) {
    HWND list = RequireDialogItem(RequireDialog(CaptionRequired(args, 1)), ControlIdArg(args, 2));
    constexpr int kMargins = 12;  // pixels a list view keeps around a cell's text
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    auto* remote = process ? static_cast<unsigned char*>(VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE)) : nullptr;
    if (!remote) Fail(L"cannot reserve memory in the program's process");
    auto* remoteText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    const int columns = static_cast<int>(Send(reinterpret_cast<HWND>(Send(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0, 0));
    RECT client{};
    GetClientRect(list, &client);
    std::wstring verdict = L"fits";
    for (int row = 0; row < static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0)) && verdict == L"fits"; ++row) {
        for (int column = 0; column < columns && verdict == L"fits"; ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = remoteText;
            item.cchTextMax = 1000;
            WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
            Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
            const auto needs = Send(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(remoteText)) + kMargins;
            const auto has = Send(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0);
            if (needs > has)
                verdict = L"cut: row " + std::to_wstring(row) + L" column " + std::to_wstring(column) + L" needs " +
                          std::to_wstring(needs) + L" pixels, has " + std::to_wstring(has);
        }
        RECT bounds{LVIR_BOUNDS, 0, 0, 0};
        WriteProcessMemory(process, remote, &bounds, sizeof(bounds), nullptr);
        Send(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process, remote, &bounds, sizeof(bounds), nullptr);
        if (verdict == L"fits" && (bounds.left < 0 || bounds.right > client.right))
            verdict = L"cut: row " + std::to_wstring(row) + L" runs to " + std::to_wstring(bounds.right) +
                      L", past the list's client area, " + std::to_wstring(client.right);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    PrintLine(verdict);
    return 0;
}

// Whether the dialog's caption shows the program's small icon: "ours" or "none". Wine
// answers WM_GETICON sent from another process with no icon, even for a dialog that set one
// (the About box), so the icon is looked for by its pixels, as the taskbar's are: near the
// caption's left end, each opaque pixel of the icon as the program's file holds it.
int DlgIcon(const Args& args) {
    HWND dialog = RequireDialog(CaptionRequired(args, 1));
    const std::wstring& programPath = NameArg(args, 2, L"the program's path");
    const int size = GetSystemMetrics(SM_CXSMICON);
    HMODULE module = LoadLibraryExW(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HICON icon = module ? static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0)) : nullptr;
    if (!icon) Fail(L"no icon in " + programPath);
    const std::vector<COLORREF> onBlack = RenderIcon(icon, size, RGB(0, 0, 0));
    const std::vector<COLORREF> onWhite = RenderIcon(icon, size, RGB(255, 255, 255));
    DestroyIcon(icon);
    RECT frame{};
    GetWindowRect(dialog, &frame);
    constexpr int kSearch = 32;  // pixels from the frame's top left corner, each way
    const int span = kSearch + size;
    std::vector<COLORREF> shown;
    HDC screen = GetDC(nullptr);
    for (int at = 0; at < span * span; ++at) shown.push_back(GetPixel(screen, frame.left + at % span, frame.top + at / span));
    ReleaseDC(nullptr, screen);
    for (int top = 0; top < kSearch; ++top) {
        for (int left = 0; left < kSearch; ++left) {
            int opaque = 0;
            int alike = 0;
            for (int at = 0; at < size * size; ++at) {
                if (ColorDistance(onBlack[static_cast<size_t>(at)], onWhite[static_cast<size_t>(at)]) > 30) continue;
                ++opaque;
                alike += ColorDistance(shown[static_cast<size_t>((top + at / size) * span + left + at % size)],
                                       onBlack[static_cast<size_t>(at)]) <= 60;
            }
            if (opaque > 0 && alike * 100 >= opaque * 90) {  // the see-through pixels aside
                PrintLine(L"ours");
                return 0;
            }
        }
    }
    PrintLine(L"none");
    return 0;
}

// The dialog's screen rectangle, after moving and sizing it when asked to.
int DlgFrame(const Args& args) {
    HWND dialog = RequireDialog(CaptionRequired(args, 1));
    if (args.size() >= 6 &&
        !SetWindowPos(dialog, nullptr, ToInt(args[2]), ToInt(args[3]), ToInt(args[4]), ToInt(args[5]),
                      SWP_NOZORDER | SWP_NOACTIVATE))
        Fail(L"cannot move the dialog");
    PrintLine(RectText(dialog));
    return 0;
}

}  // namespace driver
