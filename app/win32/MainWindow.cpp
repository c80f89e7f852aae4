#include "app/win32/MainWindow.h"

#include <commctrl.h>

#include <utility>

#include "app/MainLayout.h"
#include "core/win32/Accessibility.h"
#include "core/win32/ReadingText.h"
#include "core/Version.h"
#include "links/win32/AboutBox.h"
#include "reading/Catalogue.h"
#include "reading/win32/ChangingLinesWindow.h"
#include "reading/win32/HexagramFigure.h"
#include "tray/win32/TrayIcon.h"

namespace hexalune::win32 {

namespace {

constexpr wchar_t kContainerClass[] = L"HexaluneContainer";
constexpr wchar_t kHookClass[] = L"HexaluneHook";
constexpr UINT_PTR kTickTimer = 1;
// The main window's own messages (WM_APP + 1 is the tray icon's callback), posted so that
// the work runs once the control or loop that asked for it has returned.
constexpr UINT WM_APP_END_PROGRAM = WM_APP + 3;
constexpr UINT WM_APP_SHOW_CHANGING_LINES = WM_APP + 4;

// Which control or menu item gives which command, and on which notification (0 for menus).
struct CommandSource {
    int id;
    int code;
    Command command;
};
constexpr CommandSource kCommandSources[] = {
    {IDM_SHOW_HEXAGRAM, 0, Command::ShowHexagramMenu},
    {IDM_EXIT, 0, Command::ExitMenu},
    {IDM_SETTINGS, 0, Command::SettingsMenu},
    {IDM_ONLINE_HELP, 0, Command::OnlineHelpMenu},
    {IDM_VISIT_HOME, 0, Command::VisitMenu},
    {IDM_CHECK_UPDATE, 0, Command::UpdateMenu},
    {IDM_ABOUT, 0, Command::AboutMenu},
    {IDM_DONATE, 0, Command::DonateMenu},
    {IDC_SHOW_HEXAGRAM_BUTTON, BN_CLICKED, Command::ShowHexagramButton},
    {IDC_EXIT_BUTTON, BN_CLICKED, Command::ExitButton},
    {IDC_SETTINGS_BUTTON, BN_CLICKED, Command::SettingsButton},
    {IDC_DISPLAY_DAILY, BN_CLICKED, Command::DisplayDaily},
    {IDC_DISPLAY_HOURLY, BN_CLICKED, Command::DisplayHourly},
    {IDC_FORUM_LINK, STN_CLICKED, Command::ForumLink},
    {IDC_COBRAND_LINK, STN_CLICKED, Command::CoBrandLink},
    {IDC_FULLBRAND_LINK, STN_CLICKED, Command::FullBrandLink},
};

// The settings lists and their controls.
constexpr std::pair<PanelList, int> kListIds[] = {
    {PanelList::Date, IDC_DAY_LIST}, {PanelList::Month, IDC_MONTH_LIST},   {PanelList::Year, IDC_YEAR_LIST},
    {PanelList::Hour, IDC_HOUR_LIST}, {PanelList::Minute, IDC_MINUTE_LIST}, {PanelList::Second, IDC_SECOND_LIST},
};
constexpr UINT kTickInterval = 1000;
constexpr int kDropDownHeight = 200;  // pixels at 96 DPI, list included

// Container window extra bytes: background colour, whether a group-box border is drawn, font.
constexpr int kSlotBackground = 0;
constexpr int kSlotFramed = static_cast<int>(sizeof(LONG_PTR));
constexpr int kSlotFont = static_cast<int>(2 * sizeof(LONG_PTR));
constexpr int kContainerExtra = static_cast<int>(3 * sizeof(LONG_PTR));

// Frames and picture boxes: paint their ground (and a group-box border with caption) and
// pass their children's notifications on to the main window.
LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_DRAWITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
        case WM_NOTIFY: return SendMessageW(GetAncestor(hwnd, GA_ROOT), message, wParam, lParam);
        case WM_SETFONT:
            SetWindowLongPtrW(hwnd, kSlotFont, static_cast<LONG_PTR>(wParam));
            if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETFONT: return GetWindowLongPtrW(hwnd, kSlotFont);
        case WM_ERASEBKGND: {
            RECT r{};
            GetClientRect(hwnd, &r);
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, static_cast<COLORREF>(GetWindowLongPtrW(hwnd, kSlotBackground)));
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
            return 1;
        }
        case WM_PAINT: {
            PaintScope paint(hwnd);
            if (GetWindowLongPtrW(hwnd, kSlotFramed)) {
                HDC dc = paint.Dc();
                HFONT font = reinterpret_cast<HFONT>(GetWindowLongPtrW(hwnd, kSlotFont));
                SelectedObject selected(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
                TEXTMETRICW tm{};
                GetTextMetricsW(dc, &tm);
                RECT r{};
                GetClientRect(hwnd, &r);
                wchar_t caption[128] = {};
                const int length = GetWindowTextW(hwnd, caption, 128);
                RECT border = r;
                if (length > 0) border.top += tm.tmHeight / 2;
                DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
                if (length > 0) {
                    SetBkColor(dc, static_cast<COLORREF>(GetWindowLongPtrW(hwnd, kSlotBackground)));
                    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
                    SIZE extent{};
                    GetTextExtentPoint32W(dc, caption, length, &extent);
                    const int x = MulDiv(8, tm.tmHeight, 13);
                    RECT text{x, 0, x + extent.cx + 4, tm.tmHeight};
                    ExtTextOutW(dc, x + 2, 0, ETO_OPAQUE, &text, caption, static_cast<UINT>(length), nullptr);
                }
            }
            return 0;
        }
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            return result;
        }
        default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// The tray hook: receives the tray icon's callbacks and hands them to the main window.
LRESULT CALLBACK HookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP_TRAYICON) return SendMessageW(GetAncestor(hwnd, GA_ROOT), message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Asks one of the program's other top-level windows (an About box, the changing lines) to
// close, so that its own close handling runs before the main window goes.
BOOL CALLBACK CloseOtherWindow(HWND window, LPARAM main) {
    if (window != reinterpret_cast<HWND>(main) && IsWindowVisible(window)) SendMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// "4,1,6" as a screen reader should say it: "Changing lines 4, 1, 6".
std::string ChangingLinesSpoken(const std::string& lines) {
    std::string spoken = "Changing lines ";
    for (char c : lines) {
        spoken += c;
        if (c == ',') spoken += ' ';
    }
    return spoken;
}

COLORREF TextColour(TextColor colour) {
    switch (colour) {
        case TextColor::Red: return RGB(255, 0, 0);
        case TextColor::Blue: return RGB(0, 0, 255);
        case TextColor::Black: break;
    }
    return RGB(0, 0, 0);
}

WNDCLASSEXW WindowClass(HINSTANCE instance, WNDPROC proc, const wchar_t* name) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.lpfnWndProc = proc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.lpszClassName = name;
    return cls;
}

bool RegisterClasses(HINSTANCE instance, HICON bigIcon, HICON smallIcon, WNDPROC mainProc) {
    WNDCLASSEXW container = WindowClass(instance, ContainerProc, kContainerClass);
    container.cbWndExtra = kContainerExtra;
    RegisterClassExW(&container);

    const WNDCLASSEXW hook = WindowClass(instance, HookProc, kHookClass);
    RegisterClassExW(&hook);

    WNDCLASSEXW main = WindowClass(instance, mainProc, kMainWindowClass);
    main.hIcon = bigIcon;
    main.hIconSm = smallIcon;
    main.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINMENU);
    return RegisterClassExW(&main) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

}  // namespace

bool MainWindow::Create() {
    bigIcon_.Reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_HEXALUNE), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.Reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_HEXALUNE), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    if (!RegisterClasses(instance_, bigIcon_.Get(), smallIcon_.Get(), WindowProc)) return false;
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
    switch (message) {
        case WM_CREATE: OnCreate(); return 0;
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
        case WM_TIMER:
            if (wParam == kTickTimer && controller_) controller_->OnTick();
            return 0;
        case WM_POWERBROADCAST:
            // Back from sleep or hibernation: a display time slept through comes up now,
            // not at the next timer message.
            if (wParam == PBT_APMRESUMEAUTOMATIC && controller_ && ticking_) controller_->OnTick();
            return TRUE;
        case WM_NOTIFY: OnNotify(*reinterpret_cast<const NMHDR*>(lParam)); return 0;
        case WM_APP_SHOW_CHANGING_LINES:
            if (controller_) controller_->OnCommand(Command::ChangingLinesLink);
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
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            return OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
            break;
        case WM_DRAWITEM: OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_ERASEBKGND: {
            RECT r{};
            GetClientRect(hwnd_, &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, SolidBrush(static_cast<COLORREF>(kLightPink)));
            return 1;
        }
        case WM_APP_TRAYICON:
            if (controller_) controller_->OnTrayIconEvent(LOWORD(lParam), TrayAnchor(wParam, lParam));
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_SETTINGCHANGE:
            // New frame metrics (a new text size brings them too): measured again, as after a change of DPI.
            if (ChangesWindowMetrics(wParam, lParam)) ApplyLayout();
            break;
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_NCDESTROY:
            // The window is gone after this: nothing may use its handle any more.
            return DefWindowProcW(std::exchange(hwnd_, nullptr), message, wParam, lParam);
        default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void MainWindow::OnCreate() {
    dpi_ = WindowDpi(hwnd_);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    trayMenuBar_.Reset(LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_TRAYMENU)));
    trayPopup_ = trayMenuBar_ ? GetSubMenu(trayMenuBar_.Get(), 0) : nullptr;
    MakeFonts();
    ResizeForClient();
    CreateControls();
    // Centred from the start, so that the window is centred whoever shows it first.
    CenterOnScreen();
}

void MainWindow::StartTicking() {
    ticking_ = SetTimer(hwnd_, kTickTimer, kTickInterval, nullptr) != 0;
}

void MainWindow::OnDestroy() {
    if (ticking_) KillTimer(hwnd_, kTickTimer);
    ticking_ = false;
    PostQuitMessage(0);
}

void MainWindow::OnNotify(const NMHDR& header) {
    // The window opens once the link has finished with its click or key: a quit while it is
    // open destroys the link, which must not be in the middle of a notification then.
    if (header.idFrom == IDC_CHANGING_LINES && (header.code == NM_CLICK || header.code == NM_RETURN))
        PostMessageW(hwnd_, WM_APP_SHOW_CHANGING_LINES, 0, 0);
}

void MainWindow::MakeFonts() { font_.Reset(MakeFont(L"Verdana", 825, dpi_)); }

void MainWindow::CreateControls() {
    const ControlSpec* previous = nullptr;
    for (const ControlSpec& item : MainLayout()) {
        const ControlSpec* const before = std::exchange(previous, &item);
        // Drop-down lists are made when the settings view first comes to the front (see
        // CreateLists): each costs several milliseconds to make, and a day's start usually
        // shows the reading alone.
        if (item.kind != ControlKind::ComboList) CreateControl(item, before);
    }
    // Outline rectangles lie beneath everything else of their container, so that they clip nothing.
    for (const ControlSpec& item : MainLayout()) {
        if (item.kind == ControlKind::Shape)
            SetWindowPos(Control(item.id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // Initial states: "Don't run at start-up" selected, the tray box cleared and unavailable,
    // and the first hexagram in both pictures until a reading is shown.
    SendMessageW(Control(IDC_DONT_RUN_AT_STARTUP), BM_SETCHECK, BST_CHECKED, 0);
    EnableWindow(Control(IDC_START_IN_TRAY), FALSE);
    BringViewToFront(View::Hexagram);
}

HWND MainWindow::CreateControl(const ControlSpec& item, const ControlSpec* before) {
    HWND parent = item.parent == 0 ? hwnd_ : Control(item.parent);
    const std::wstring caption = FromAnsi(item.caption);
    const wchar_t* cls = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (item.kind) {
        case ControlKind::Frame:
        case ControlKind::Panel:
            cls = kContainerClass;
            style |= WS_CLIPSIBLINGS;
            exStyle |= WS_EX_CONTROLPARENT;
            break;
        case ControlKind::Label:
            style |= (item.align == Align::Center ? SS_CENTER : SS_LEFT) | SS_NOPREFIX;
            break;
        case ControlKind::LinkLabel:
            style |= (item.align == Align::Center ? SS_CENTER : SS_LEFT) | SS_NOPREFIX | SS_NOTIFY;
            // The full-branding label lies behind the co-branding one on the same spot:
            // never seen, so it must not take the clicks either.
            if (item.id == IDC_FULLBRAND_LINK) style &= ~WS_VISIBLE;
            break;
        case ControlKind::KeyboardLink:
            cls = WC_LINK;
            style |= WS_TABSTOP | LWS_NOPREFIX;  // opaque: it paints its own ground, focus rectangle and all
            break;
        case ControlKind::Button:
            cls = L"BUTTON";
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case ControlKind::Figure: style |= SS_OWNERDRAW; break;
        case ControlKind::TextBox:
            cls = L"EDIT";
            style |= ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP;
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case ControlKind::Shape: style |= SS_BLACKFRAME; break;
        case ControlKind::ComboList:
            cls = L"COMBOBOX";
            style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
            break;
        case ControlKind::Option:
            cls = L"BUTTON";
            // The display options do nothing; the start options are set by the program
            // itself so that it sees every real change. Each pair is a group of its own, and
            // the button control makes the checked one of a group its tab stop.
            style |= item.id == IDC_RUN_AT_STARTUP || item.id == IDC_DONT_RUN_AT_STARTUP ? BS_RADIOBUTTON
                                                                                         : BS_AUTORADIOBUTTON;
            break;
        case ControlKind::CheckBox:
            cls = L"BUTTON";
            style |= BS_CHECKBOX | WS_TABSTOP;
            break;
        case ControlKind::Hook:
            cls = kHookClass;
            style &= ~WS_VISIBLE;
            break;
    }
    // The first option of a pair starts a group, and so does the first control after the pair.
    const bool afterOption = before && before->parent == item.parent && before->kind == ControlKind::Option;
    if ((item.kind == ControlKind::Option) != afterOption) style |= WS_GROUP;
    // What lies below the client area is there for the code only: never seen, never reached.
    if (IsBelowClientArea(item)) style &= ~(WS_VISIBLE | WS_TABSTOP);
    const RECT r = ControlRect(item);
    HWND control = CreateWindowExW(exStyle, cls, caption.c_str(), style, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance_, nullptr);
    if (!control) return nullptr;
    controls_[item.id] = control;
    if (cls == kContainerClass) {
        SetWindowLongPtrW(control, kSlotBackground, static_cast<LONG_PTR>(item.background));
        SetWindowLongPtrW(control, kSlotFramed, item.kind == ControlKind::Frame ? 1 : 0);
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    if (item.kind == ControlKind::TextBox) MakeReadingText(control);
    if (item.kind == ControlKind::LinkLabel || item.kind == ControlKind::KeyboardLink) MarkAsLink(control);
    // Text boxes and lists are named after the label just before them.
    if ((item.kind == ControlKind::TextBox || item.kind == ControlKind::ComboList) && before &&
        before->kind == ControlKind::Label && before->parent == item.parent)
        SetAccessibleName(control, FromAnsi(before->caption));
    return control;
}

void MainWindow::CreateLists() {
    if (listsCreated_) return;
    listsCreated_ = true;
    const ControlSpec* previous = nullptr;
    std::map<int, int> lastInContainer;  // container id -> the id of its control made before
    for (const ControlSpec& item : MainLayout()) {
        const ControlSpec* const before = std::exchange(previous, &item);
        const int sibling = std::exchange(lastInContainer[item.parent], item.id);
        if (item.kind != ControlKind::ComboList) continue;
        HWND combo = CreateControl(item, before);
        if (!combo) continue;
        // In the tab order where the layout has it: after the control before it in its container.
        if (HWND after = Control(sibling))
            SetWindowPos(combo, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        // What the list was given so far goes into the real one.
        for (const auto& [list, id] : kListIds) {
            const auto pending = pendingLists_.find(list);
            if (id != item.id || pending == pendingLists_.end()) continue;
            FillCombo(combo, pending->second.items);
            if (pending->second.index >= 0)
                SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(pending->second.index), 0);
            pendingLists_.erase(pending);
        }
    }
}

RECT MainWindow::ControlRect(const ControlSpec& item) const {
    const int left = TwipsToPixels(item.left, dpi_);
    const int top = TwipsToPixels(item.top, dpi_);
    // A drop-down list's height includes its list.
    const int height =
        item.kind == ControlKind::ComboList ? MulDiv(kDropDownHeight, dpi_, 96) : TwipsToPixels(item.height, dpi_);
    return RECT{left, top, left + TwipsToPixels(item.width, dpi_), top + height};
}

void MainWindow::ResizeForClient() {
    const SIZE size = WindowSizeForClient();
    SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::ApplyLayout() {
    ResizeForClient();
    for (const ControlSpec& item : MainLayout()) {
        HWND control = Control(item.id);
        if (!control) continue;
        const RECT r = ControlRect(item);
        SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    }
}

SIZE MainWindow::WindowSizeForClient() const {
    return OuterSize(TwipsToPixels(kClientWidthTwips, dpi_), TwipsToPixels(kClientHeightTwips, dpi_), kMainStyle,
                     WS_EX_CONTROLPARENT, true, dpi_);
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    MakeFonts();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyLayout();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void MainWindow::ShowFirstTime() {
    CenterOnScreen();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    SetForegroundWindow(hwnd_);
}

HWND MainWindow::Control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

HBRUSH MainWindow::SolidBrush(COLORREF colour) {
    auto it = brushes_.find(colour);
    if (it == brushes_.end()) it = brushes_.emplace(colour, Brush(CreateSolidBrush(colour))).first;
    return it->second.Get();
}

void MainWindow::OnCommand(int id, int code, HWND control) {
    if (!controller_) return;
    // Menu items arrive without a control and with code 0, buttons with BN_CLICKED,
    // link labels with STN_CLICKED.
    for (const CommandSource& source : kCommandSources) {
        if (source.id == id && (control ? source.code == code : source.code == 0)) {
            controller_->OnCommand(source.command);
            return;
        }
    }
    if (!control) return;
    SettingsPanel& panel = controller_->Panel();
    if (code == BN_CLICKED) {
        if (id == IDC_RUN_AT_STARTUP) panel.SelectRunOption(true);
        if (id == IDC_DONT_RUN_AT_STARTUP) panel.SelectRunOption(false);
        if (id == IDC_START_IN_TRAY) panel.SetTrayBox(!IsTrayChecked());
    }
    if (code == CBN_SELCHANGE) {
        for (const auto& [list, listId] : kListIds) {
            if (listId == id) panel.OnListSelectionChanged(list);
        }
    }
}

LRESULT MainWindow::OnCtlColor(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    const ControlSpec* item = FindControl(id);
    // Text boxes and the window's own controls are light pink; the rest take their container's ground.
    COLORREF background = static_cast<COLORREF>(kLightPink);
    HWND parent = GetParent(control);
    if (!(item && item->kind == ControlKind::TextBox) && parent && parent != hwnd_)
        background = static_cast<COLORREF>(GetWindowLongPtrW(parent, kSlotBackground));
    SetTextColor(dc, item ? TextColour(item->color) : RGB(0, 0, 0));
    SetBkColor(dc, background);
    // Wine's link control deletes the brush it is given once it has painted: it gets the
    // stock DC brush, which cannot be deleted, in the same colour.
    if (item && item->kind == ControlKind::KeyboardLink) {
        SetDCBrushColor(dc, background);
        return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    }
    return reinterpret_cast<LRESULT>(SolidBrush(background));
}

bool MainWindow::OnSetCursor(HWND under) {
    const ControlSpec* item = FindControl(GetDlgCtrlID(under));
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

void MainWindow::SetText(int id, const std::string& text) {
    if (HWND control = Control(id)) SetWindowTextW(control, WithEditLineBreaks(FromAnsi(text)).c_str());
}

void MainWindow::ShowReading(int hexagram, const std::string& changingLines) {
    hexagram_ = IsHexagramNumber(hexagram) ? hexagram : 1;
    const HexagramEntry& entry = Hexagram(hexagram_);
    // The pictures' window text is what screen readers announce.
    const std::string pictureName = "Hexagram " + std::to_string(hexagram_) + ", " + entry.name;
    SetText(IDC_HEXAGRAM_FIGURE, pictureName);
    InvalidateRect(Control(IDC_HEXAGRAM_FIGURE), nullptr, TRUE);
    SetText(IDC_SETTINGS_FIGURE, pictureName);
    InvalidateRect(Control(IDC_SETTINGS_FIGURE), nullptr, TRUE);
    SetText(IDC_HEXAGRAM_NAME, entry.name);
    SetText(IDC_JUDGMENT_DESCRIPTION, entry.judgmentDescription);
    SetText(IDC_JUDGMENT_POEM, entry.judgmentPoem);
    SetText(IDC_IMAGE_DESCRIPTION, entry.imageDescription);
    SetText(IDC_IMAGE_POEM, entry.imagePoem);
    changingLines_ = changingLines;
    // A link when there is something to open; the markup is the link control's own.
    SetText(IDC_CHANGING_LINES, changingLines.empty() ? std::string() : "<a>" + changingLines + "</a>");
    // In the program's link colour (set with the ground on WM_CTLCOLORSTATIC), not the system's.
    LITEM link{};
    link.mask = LIF_ITEMINDEX | LIF_STATE;
    link.state = link.stateMask = LIS_DEFAULTCOLORS;
    SendMessageW(Control(IDC_CHANGING_LINES), LM_SETITEM, 0, reinterpret_cast<LPARAM>(&link));
    SetAccessibleName(Control(IDC_CHANGING_LINES), FromAnsi(ChangingLinesSpoken(changingLines)));
    // An open changing-lines window follows the reading on screen.
    UpdateChangingLinesWindow(hexagram_, changingLines);
    // Setting the reading texts counts as a change of their text for the clipboard guard.
    GuardClipboard(hwnd_);
}

HWND MainWindow::ListControl(PanelList list) const {
    for (const auto& [entry, id] : kListIds) {
        if (entry == list) return Control(id);
    }
    return nullptr;
}

void MainWindow::FillCombo(HWND combo, const std::vector<std::wstring>& items) {
    // Filled in one go, without redrawing the list after each item.
    SendMessageW(combo, WM_SETREDRAW, FALSE, 0);
    SendMessageW(combo, CB_INITSTORAGE, items.size(), items.size() * 8 * sizeof(wchar_t));
    for (const std::wstring& item : items) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageW(combo, WM_SETREDRAW, TRUE, 0);
}

void MainWindow::FillList(PanelList list, const std::vector<std::string>& items) {
    std::vector<std::wstring> wide;
    wide.reserve(items.size());
    for (const std::string& item : items) wide.push_back(FromAnsi(item));
    if (HWND combo = ListControl(list)) {
        FillCombo(combo, wide);
        return;
    }
    PendingList& pending = pendingLists_[list];
    pending.items.insert(pending.items.end(), wide.begin(), wide.end());
}

int MainWindow::ListCount(PanelList list) const {
    if (HWND combo = ListControl(list)) {
        const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
        return count < 0 ? 0 : static_cast<int>(count);
    }
    const auto it = pendingLists_.find(list);
    return it == pendingLists_.end() ? 0 : static_cast<int>(it->second.items.size());
}

int MainWindow::ListIndex(PanelList list) const {
    if (HWND combo = ListControl(list)) {
        const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        return index == CB_ERR ? -1 : static_cast<int>(index);
    }
    const auto it = pendingLists_.find(list);
    return it == pendingLists_.end() ? -1 : it->second.index;
}

void MainWindow::SetListIndex(PanelList list, int index) {
    if (HWND combo = ListControl(list)) {
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        return;
    }
    // As a list box does: an index past the items selects nothing.
    PendingList& pending = pendingLists_[list];
    pending.index = index >= 0 && index < static_cast<int>(pending.items.size()) ? index : -1;
}

std::string MainWindow::ListItemText(PanelList list, int index) const {
    if (HWND combo = ListControl(list)) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length == CB_ERR) return std::string();
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        return ToAnsi(text);
    }
    const auto it = pendingLists_.find(list);
    if (it == pendingLists_.end() || index < 0 || index >= static_cast<int>(it->second.items.size())) return {};
    return ToAnsi(it->second.items[static_cast<std::size_t>(index)]);
}

bool MainWindow::IsRunSelected() const {
    return SendMessageW(Control(IDC_RUN_AT_STARTUP), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetRunSelected(bool run) {
    SendMessageW(Control(IDC_RUN_AT_STARTUP), BM_SETCHECK, run ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(Control(IDC_DONT_RUN_AT_STARTUP), BM_SETCHECK, run ? BST_UNCHECKED : BST_CHECKED, 0);
}

bool MainWindow::IsTrayChecked() const {
    return SendMessageW(Control(IDC_START_IN_TRAY), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetTrayChecked(bool checked) {
    SendMessageW(Control(IDC_START_IN_TRAY), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindow::SetTrayEnabled(bool enabled) { EnableWindow(Control(IDC_START_IN_TRAY), enabled ? TRUE : FALSE); }

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
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::BringViewToFront(View view) {
    if (view == View::Settings) CreateLists();
    HWND shown = Control(view == View::Settings ? IDC_SETTINGS_VIEW : IDC_READING_VIEW);
    HWND hidden = Control(view == View::Settings ? IDC_READING_VIEW : IDC_SETTINGS_VIEW);
    if (hidden) {
        // Keep the keyboard focus out of the view that goes behind.
        HWND focus = GetFocus();
        if (focus && (focus == hidden || IsChild(hidden, focus))) SetFocus(hwnd_);
        SetWindowPos(hidden, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    }
    if (shown) SetWindowPos(shown, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void MainWindow::ShowAboutBox() { hexalune::win32::ShowAboutBox(instance_, hwnd_, shell_); }

void MainWindow::ShowChangingLines() {
    if (!changingLines_.empty()) ShowChangingLinesWindow(instance_, hwnd_, hexagram_, changingLines_);
}

void MainWindow::EndProgram() {
    // Not while a button or link that asked for it is still handling its click.
    if (hwnd_) PostMessageW(hwnd_, WM_APP_END_PROGRAM, 0, 0);
}

void MainWindow::OnEndProgram() {
    // The other windows first, each with its own close handling; destroying the main window
    // then takes any that would not close (a message box) with it, and ends the message loop.
    EnumThreadWindows(GetCurrentThreadId(), CloseOtherWindow, reinterpret_cast<LPARAM>(hwnd_));
    DestroyWindow(hwnd_);
}

}  // namespace hexalune::win32
