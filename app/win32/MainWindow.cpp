#include "app/win32/MainWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/MainLayout.h"
#include "core/BenchPhases.h"
#include "core/win32/Accessibility.h"
#include "core/win32/DialogWindow.h"  // and the private messages
#include "core/win32/ReadingText.h"
#include "core/Version.h"
#include "reading/Catalogue.h"
#include "reading/ChangingLines.h"
#include "reading/win32/HexagramFigure.h"
#include "tray/win32/TrayIcon.h"

namespace hexalune::win32 {

namespace {

// The settings lists that have a control. The day, month and year lists have none: nobody
// would ever see them, and only the date check reads them, so they stay lists in memory
// (DropDownList with no control attached).
constexpr struct {
    PanelList list;
    int id;
} kListControls[] = {{PanelList::Hour, IDC_HOUR_LIST}, {PanelList::Minute, IDC_MINUTE_LIST},
                     {PanelList::Second, IDC_SECOND_LIST}};

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

}  // namespace

bool MainWindow::Create() {
    bigIcon_ = LoadProgramIcon(instance_, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    smallIcon_ = LoadProgramIcon(instance_, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    RegisterWindowKitClasses(instance_);
    WNDCLASSEXW main{};
    main.cbSize = sizeof(main);
    main.lpfnWndProc = WindowProc;
    main.hInstance = instance_;
    main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    main.lpszClassName = kMainWindowClass;
    main.hIcon = bigIcon_.Get();
    main.hIconSm = smallIcon_.Get();
    main.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINMENU);
    if (!RegisterClassExW(&main) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    const std::wstring caption = FromAnsi(HEXALUNE_WINDOW_CAPTION);
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kMainWindowClass, caption.c_str(), kMainStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, 500, 600, nullptr, nullptr, instance_, this);
    return hwnd_ != nullptr;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        if (controller_) controller_->OnTaskbarCreated();
        return 0;
    }
    LRESULT clock = 0;
    if (OnClockMessage(message, wParam, lParam, clock)) return clock;
    INT_PTR look = 0;
    if (HandleWindowLook(hwnd_, controls_, {kClientWidthTwips, kClientHeightTwips}, message, wParam, lParam, look))
        return look;
    switch (message) {
        case WM_CREATE: OnCreate(); return 0;
        case WM_ACTIVATE:
            if (OnActivate(LOWORD(wParam), HIWORD(wParam) != 0)) return 0;
            break;
        case WM_SETFOCUS:
            if (focus_.Restore(hwnd_)) return 0;
            break;
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
        case WM_NOTIFY: OnNotify(*reinterpret_cast<const NMHDR*>(lParam)); return 0;
        case WM_APP_SHOW_CHANGING_LINES:
            if (controller_) controller_->OnCommand(IDC_CHANGING_LINES);
            return 0;
        case WM_APP_END_PROGRAM: OnEndProgram(); return 0;
        case WM_SYSCOMMAND:
            // The close box, the window menu's Close and Alt+F4 send the window to the tray.
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                if (controller_) controller_->OnCloseRequested(CloseSource::ControlMenu);
                return 0;
            }
            break;
        case WM_CLOSE:
            // A close asked for by another program (the task list, for instance): end.
            if (controller_ && !controller_->OnCloseRequested(CloseSource::TaskManager)) controller_->CloseProgram();
            return 0;
        case WM_QUERYENDSESSION: return TRUE;
        case WM_ENDSESSION: OnEndSession(wParam != FALSE); return 0;
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
            break;
        case WM_DRAWITEM: OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_ERASEBKGND: {
            RECT r{};
            GetClientRect(hwnd_, &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, controls_.Brush(ThemeColor(ColorRole::Ground)));
            return 1;
        }
        case WM_APP_TRAYICON:
            if (controller_) controller_->OnTrayIconEvent(LOWORD(lParam), TrayAnchor(wParam, lParam));
            return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_NCDESTROY:
            // The window is gone after this: nothing may use its handle any more.
            return DefWindowProcW(std::exchange(hwnd_, nullptr), message, wParam, lParam);
        default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void MainWindow::OnCreate() {
    HEXALUNE_PHASE("main window created");
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    trayMenuBar_.Reset(LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_TRAYMENU)));
    trayPopup_ = trayMenuBar_ ? GetSubMenu(trayMenuBar_.Get(), 0) : nullptr;
    controls_.Attach(hwnd_, WindowDpi(hwnd_));
    ResizeForClient();
    // The settings view's controls and the drop-down lists are made when that view first comes
    // to the front (MakeSettingsView): a day's start usually shows the reading alone, and each
    // list costs several milliseconds to make.
    controls_.CreateAll(IDC_SETTINGS_VIEW);
    HEXALUNE_PHASE("controls created");
    BringViewToFront(View::Hexagram);
    // A copy run as administrator still hears from the shell, which runs with less: that the
    // taskbar was made anew, and the icon's callbacks.
    ChangeWindowMessageFilterEx(hwnd_, taskbarCreated_, MSGFLT_ALLOW, nullptr);
    ChangeWindowMessageFilterEx(TrayHook(), WM_APP_TRAYICON, MSGFLT_ALLOW, nullptr);
    // Centered from the start, so that the window is centered whoever shows it first.
    CenterOnScreen();
}

void MainWindow::OnDestroy() {
    StopLooking();
    PostQuitMessage(0);
}

bool MainWindow::OnActivate(int state, bool minimized) {
    if (state == WA_INACTIVE) {
        focus_.Remember(hwnd_);
        return false;
    }
    return !minimized && focus_.Restore(hwnd_);
}

void MainWindow::OnNotify(const NMHDR& header) {
    // The window opens once the link has finished with its click or key: a quit while it is
    // open destroys the link, which must not be in the middle of a notification then.
    if (header.idFrom == IDC_CHANGING_LINES && (header.code == NM_CLICK || header.code == NM_RETURN))
        PostMessageW(hwnd_, WM_APP_SHOW_CHANGING_LINES, 0, 0);
}

void MainWindow::ResizeForClient() {
    ResizeInPlace(hwnd_, FrameSizeFor(hwnd_, kClientWidthTwips, kClientHeightTwips, controls_.Dpi()));
}

void MainWindow::ShowFirstTime() {
    CenterOnScreen();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    HEXALUNE_PHASE("window shown");
    UpdateWindow(hwnd_);
    HEXALUNE_PHASE("first WM_PAINT done");
    SetForegroundWindow(hwnd_);
}

void MainWindow::OnCommand(int id, int code, HWND control) {
    if (!controller_ || controller_->Ending()) return;
    // A click: a menu item's (no control), a button's (BN_CLICKED) or a link label's (STN_CLICKED).
    if ((!control || code == BN_CLICKED || code == STN_CLICKED) && controller_->OnCommand(id)) return;
    if (!control) return;
    SettingsPanel& panel = controller_->Panel();
    if (code == BN_CLICKED) {
        if (id == IDC_RUN_AT_STARTUP) panel.SelectRunOption(true);
        if (id == IDC_DONT_RUN_AT_STARTUP) panel.SelectRunOption(false);
        if (id == IDC_START_IN_TRAY) panel.SetTrayBox(!IsTrayChecked());
    }
    if (code == CBN_SELCHANGE) {
        for (const auto& control : kListControls) {
            if (control.id == id) panel.OnListSelectionChanged(control.list);
        }
        OnLook();  // a new display time moves the next look
    }
}

bool MainWindow::OnSetCursor(HWND under) {
    const ControlSpec* item = controls_.Find(GetDlgCtrlID(under));
    if (!item || item->kind != ControlKind::LinkLabel || GetAncestor(under, GA_ROOT) != hwnd_) return false;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

void MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == IDC_HEXAGRAM_FIGURE || item.CtlID == IDC_SETTINGS_FIGURE) DrawHexagramFigure(item.hDC, item.rcItem, hexagram_);
}

void MainWindow::OnEndSession(bool ending) {
    if (!ending || !controller_) return;
    if (!controller_->OnCloseRequested(CloseSource::WindowsSession)) controller_->CloseProgram();
}

void MainWindow::MakeSettingsView() {
    controls_.CreateWithin(IDC_SETTINGS_VIEW);
    for (const auto& control : kListControls) List(control.list).Attach(Control(control.id));
    // What the program set while the view was not made yet.
    SetRunSelected(unmade_.runSelected);
    SetTrayChecked(unmade_.trayChecked);
    SetTrayEnabled(unmade_.trayEnabled);
    SetWindowTextW(Control(IDC_SETTINGS_FIGURE), WindowText(Control(IDC_HEXAGRAM_FIGURE)).c_str());
    HEXALUNE_PHASE("settings view made");
}

void MainWindow::SetText(int id, const std::string& text) {
    if (HWND control = Control(id)) SetWindowTextW(control, WithEditLineBreaks(FromAnsi(text)).c_str());
}

void MainWindow::ShowReading(int hexagram, const std::string& changingLines) {
    hexagram_ = IsHexagramNumber(hexagram) ? hexagram : 1;
    const HexagramEntry& entry = Hexagram(hexagram_);
    // The pictures' window text is what screen readers announce.
    const std::string pictureName = HexagramFullTitle(hexagram_);
    // Nothing of the view on screen is drawn until every text is set: each text is laid out
    // once, as in a hidden window, and the view is painted once, at the end.
    HWND view = Control(IDC_READING_VIEW);
    const bool drawing = view && (GetWindowLongPtrW(view, GWL_STYLE) & WS_VISIBLE);
    if (drawing) SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    SetText(IDC_HEXAGRAM_FIGURE, pictureName);
    InvalidateRect(Control(IDC_HEXAGRAM_FIGURE), nullptr, TRUE);
    // The settings view's picture, once that view is made.
    if (HWND figure = Control(IDC_SETTINGS_FIGURE)) {
        SetText(IDC_SETTINGS_FIGURE, pictureName);
        InvalidateRect(figure, nullptr, TRUE);
    }
    SetText(IDC_HEXAGRAM_NAME, entry.name);
    SetText(IDC_JUDGMENT_DESCRIPTION, entry.judgmentDescription);
    SetText(IDC_JUDGMENT_POEM, entry.judgmentPoem);
    SetText(IDC_IMAGE_DESCRIPTION, entry.imageDescription);
    SetText(IDC_IMAGE_POEM, entry.imagePoem);
    changingLines_ = changingLines;
    // A link when there is something to open.
    SetLinkText(Control(IDC_CHANGING_LINES), FromAnsi(changingLines));
    SetAccessibleName(Control(IDC_CHANGING_LINES), FromAnsi(ChangingLinesSpoken(changingLines)));
    if (drawing) {
        SendMessageW(view, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    // An open changing-lines window follows the reading on screen; an open journal lists it.
    TellOpenWindows(WM_APP_NEW_READING, Context());
    // Setting the reading texts counts as a change of their text for the clipboard guard.
    GuardClipboard(hwnd_);
    HEXALUNE_PHASE("reading shown");
}

DropDownList& MainWindow::List(PanelList list) { return lists_[static_cast<std::size_t>(list)]; }

const DropDownList& MainWindow::List(PanelList list) const { return lists_[static_cast<std::size_t>(list)]; }

void MainWindow::FillList(PanelList list, const std::vector<std::string>& items) {
    std::vector<std::wstring> wide;
    wide.reserve(items.size());
    for (const std::string& item : items) wide.push_back(FromAnsi(item));
    List(list).Add(wide);
}

int MainWindow::ListCount(PanelList list) const { return List(list).Count(); }

int MainWindow::ListIndex(PanelList list) const { return List(list).Selected(); }

void MainWindow::SetListIndex(PanelList list, int index) { List(list).Select(index); }

std::string MainWindow::ListItemText(PanelList list, int index) const { return ToAnsi(List(list).Item(index)); }

// The start options are kept in unmade_ until the settings view is made, and on its controls from then on.
bool MainWindow::IsRunSelected() const {
    if (!SettingsMade()) return unmade_.runSelected;
    return SendMessageW(Control(IDC_RUN_AT_STARTUP), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetRunSelected(bool run) {
    if (!SettingsMade()) {
        unmade_.runSelected = run;
        return;
    }
    SendMessageW(Control(IDC_RUN_AT_STARTUP), BM_SETCHECK, run ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(Control(IDC_DONT_RUN_AT_STARTUP), BM_SETCHECK, run ? BST_UNCHECKED : BST_CHECKED, 0);
}

bool MainWindow::IsTrayChecked() const {
    if (!SettingsMade()) return unmade_.trayChecked;
    return SendMessageW(Control(IDC_START_IN_TRAY), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetTrayChecked(bool checked) {
    if (!SettingsMade()) unmade_.trayChecked = checked;
    else SendMessageW(Control(IDC_START_IN_TRAY), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindow::SetTrayEnabled(bool enabled) {
    if (!SettingsMade()) unmade_.trayEnabled = enabled;
    else EnableWindow(Control(IDC_START_IN_TRAY), enabled ? TRUE : FALSE);
}

bool MainWindow::IsVisible() const { return IsWindowVisible(hwnd_) != FALSE; }

void MainWindow::Show() { ShowWindow(hwnd_, SW_SHOW); }

void MainWindow::Hide() { ShowWindow(hwnd_, SW_HIDE); }

void MainWindow::Minimize() {
    // A window that was never shown (a start in the tray) stays out of sight.
    if (IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_MINIMIZE);
}

void MainWindow::ShowWithoutActivating() {
    // Shown (and restored when minimised) without activation: whoever the user is typing
    // to keeps the keyboard, as Windows would have it anyway for a program in the background.
    ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_SHOWNOACTIVATE : SW_SHOWNA);
    // Above every other normal window, not left below the active one.
    constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, kFlags);
    SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, kFlags);
    if (GetForegroundWindow() != hwnd_) {
        // The taskbar button flashes until the user turns to the window.
        FLASHWINFO flash{sizeof(flash), hwnd_, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
        FlashWindowEx(&flash);
    }
}

void MainWindow::Restore() {
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
}

void MainWindow::CenterOnScreen() {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    CenterOnOwnersMonitor(hwnd_, {r.right - r.left, r.bottom - r.top});
}

void MainWindow::BringViewToFront(View view) {
    if (view == View::Settings && !SettingsMade()) MakeSettingsView();
    HWND shown = Control(view == View::Settings ? IDC_SETTINGS_VIEW : IDC_READING_VIEW);
    HWND hidden = Control(view == View::Settings ? IDC_READING_VIEW : IDC_SETTINGS_VIEW);
    if (hidden) {
        // Keep the keyboard focus out of the view that goes behind.
        HWND focus = GetFocus();
        focus_.ForgetWithin(hidden);
        if (focus && (focus == hidden || IsChild(hidden, focus))) SetFocus(hwnd_);
        SetWindowPos(hidden, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    }
    if (shown) SetWindowPos(shown, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

WindowContext MainWindow::Context() const {
    Journal* journal = controller_ ? &controller_->ReadingJournal() : nullptr;
    ISettingsStore* settings = controller_ ? &controller_->Settings() : nullptr;
    return {instance_, hwnd_, hexagram_, changingLines_, &shell_, journal, settings};
}

void MainWindow::OpenWindow(WindowId window) { win32::OpenWindow(window, Context()); }

void MainWindow::EndProgram() {
    // Not while a button or link that asked for it is still handling its click.
    if (hwnd_) PostMessageW(hwnd_, WM_APP_END_PROGRAM, 0, 0);
}

void MainWindow::OnEndProgram() {
    // The other windows first, each with its own close handling; destroying the main window
    // then takes any that would not close (a message box) with it, and ends the message loop.
    CloseOtherWindows(hwnd_);
    DestroyWindow(hwnd_);
}

}  // namespace hexalune::win32
