// What the driver's commands share: failures, output, arguments, and finding the program's
// windows. Each command is `int Name(const Args&)`, listed in main.cpp's table; its files
// are named after what it acts on.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// The command's arguments, the command's own name first.
using Args = std::vector<std::wstring>;

// A failure the command reports on stderr before exiting 1.
struct Failure {
    std::wstring message;
};

[[noreturn]] inline void Fail(const std::wstring& message) { throw Failure{message}; }

inline constexpr DWORD kPollMs = 100;

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

// ---- common.cpp: text, numbers, arguments -------------------------------------

std::string ToUtf8(const std::wstring& text);
void PrintLine(const std::wstring& text);
std::wstring UnixLines(const std::wstring& text);
std::wstring Hex(const unsigned char* bytes, size_t count);
std::string FromHex(const std::wstring& hex);
int ToInt(const std::wstring& text);
double ToSeconds(const Args& args, size_t index, double fallback);
const std::wstring& NameArg(const Args& args, size_t index, const wchar_t* what);

// ---- windows.cpp: the main window, its controls, any window -------------------

HWND FindMain();
HWND RequireMain();
std::wstring ClassOf(HWND hwnd);
std::wstring TextOf(HWND hwnd);
LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
HWND RequireControl(int id);
int ControlIdArg(const Args& args, size_t index);
bool IsMainShown(HWND main);

// Visible top-level windows of a class, for EnumWindows with MatchTopLevel.
struct TopLevelSearch {
    const wchar_t* className;
    const wchar_t* caption;  // nullptr: any
    std::vector<HWND> found;
};
BOOL CALLBACK MatchTopLevel(HWND hwnd, LPARAM param);

// "left top right bottom" on the screen.
std::wstring RectText(HWND hwnd);
// Class, caption and id, for reports.
std::wstring Describe(HWND hwnd);

int WaitWindow(const Args& args);
int WaitGone(const Args& args);
int Visible(const Args& args);
int OwnVisible(const Args& args);
int WaitVisible(const Args& args);
int Title(const Args& args);
int Close(const Args& args);
int Pid(const Args& args);
int WaitDesktop(const Args& args);
int Windows(const Args& args);
int MainState(const Args& args);
int WatchMain(const Args& args);
int WmClose(const Args& args);
int WindowAt(const Args& args);
int Rect(const Args& args);
int Focus(const Args& args);
int FocusId(const Args& args);
int Resume(const Args& args);
int EndSession(const Args& args);
int WorkElsewhere(const Args& args);

// ---- controls.cpp: the main window's controls ---------------------------------

std::wstring WithoutLinkMarkup(std::wstring text);

int Text(const Args& args);
int Click(const Args& args);
int Menu(const Args& args);
int Select(const Args& args);
int Combo(const Args& args);
int ComboItems(const Args& args);
int Checked(const Args& args);
int Enabled(const Args& args);
int AccDescribe(const Args& args);
int Style(const Args& args);
int ButtonClicked(const Args& args);

// ---- dialogs.cpp: message boxes and the About box -------------------------------

int MsgBox(const Args& args);
int MsgBoxInfo(const Args& args);
int NoMsgBox(const Args& args);
int Answer(const Args& args);
int DlgWait(const Args& args);
int DlgGone(const Args& args);
int DlgClick(const Args& args);
int DlgRect(const Args& args);
int DlgText(const Args& args);
int DlgList(const Args& args);
int DlgRows(const Args& args);
int DlgType(const Args& args);

// ---- registry.cpp: the program's values and the user's ---------------------------

int RegGet(const Args& args);
int RegSet(const Args& args);
int RegDel(const Args& args);
int RegList(const Args& args);
int RegGetRawAnsi(const Args& args);
int RegSetRawAnsi(const Args& args);
int RunGet(const Args& args);
int RunSet(const Args& args);
int RunDel(const Args& args);
int HkcuGet(const Args& args);
int HkcuSet(const Args& args);

// ---- tray.cpp: the notification area, and icons compared by their pixels ----------

int ColorDistance(COLORREF a, COLORREF b);
// An icon drawn on the given background, as a size x size grid of pixels.
std::vector<COLORREF> RenderIcon(HICON icon, int size, COLORREF background);

int TrayIcon(const Args& args);
int TrayEvent(const Args& args);
int PopupMenu(const Args& args);

// ---- clipboard.cpp ----------------------------------------------------------------

int ClipSet(const Args& args);
int ClipGet(const Args& args);
int ClipSeq(const Args& args);
int CopyText(const Args& args);

}  // namespace driver
