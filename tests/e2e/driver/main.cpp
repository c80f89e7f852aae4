// hexalune_driver: the end-to-end tests' hands and eyes. Run in the same Wine prefix
// (and so on the same desktop) as Hexalune.exe, it finds the program's windows and
// acts on them the way a user would, and reads and writes the program's registry
// values. One subcommand per run; results go to stdout as UTF-8 lines, a failure
// exits 1 with its reason on stderr.
//
// The commands live by kind in the files beside this one; this file holds their table
// and the entry point.
#include "driver.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

using namespace driver;

namespace {

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
    {L"dlg-list", DlgList, L"<caption> <ctrlId>   every item of a dialog's list box, one a line"},
    {L"dlg-rows", DlgRows, L"<caption> <ctrlId>   every row of a dialog's list view, cells split by tabs"},
    {L"dlg-type", DlgType, L"<caption> <ctrlId> <text>  type into a dialog's text box (\\n: Enter)"},
    {L"resume", Resume, L"                       the computer woke from sleep (WM_POWERBROADCAST)"},
    {L"end-session", EndSession, L"[kill]           the user's session ends (log-off); kill: the process ends right after"},
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
