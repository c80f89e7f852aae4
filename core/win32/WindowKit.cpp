#include "core/win32/WindowKit.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

#include "core/ControlIds.h"
#include "core/FocusReturn.h"
#include "core/WindowPlace.h"
#include "core/win32/Accessibility.h"
#include "core/win32/ReadingText.h"
#include "core/win32/Win32Platform.h"

namespace hexalune::win32 {

namespace {

constexpr wchar_t kContainerClass[] = L"HexaluneContainer";
constexpr wchar_t kHookClass[] = L"HexaluneHook";
constexpr int kDropDownHeight = 200;  // pixels at 96 DPI, list included

// A font of the given face and size in points (8.25 pt = 825) for a DPI.
inline HFONT MakeFont(const wchar_t* face, int hundredthsOfPoint, int dpi, bool bold = false, bool underline = false) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(hundredthsOfPoint, dpi, 7200);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectW(&lf);
}

// The outer size of a window with these styles around a client area of the given size, with
// the frame measured at the DPI where the system can (Windows 10 and later).
inline SIZE OuterSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, bool menu, int dpi) {
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    RECT r{0, 0, clientWidth, clientHeight};
    if (!adjustForDpi || !adjustForDpi(&r, style, menu ? TRUE : FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, style, menu ? TRUE : FALSE, exStyle);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace

namespace {

void PaintFrame(HWND hwnd, const ContainerLook& state, HDC dc) {
    SelectedObject selected(dc, state.font ? static_cast<HGDIOBJ>(state.font) : GetStockObject(DEFAULT_GUI_FONT));
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
        SetBkColor(dc, state.ground);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SIZE extent{};
        GetTextExtentPoint32W(dc, caption, length, &extent);
        const int x = MulDiv(8, tm.tmHeight, 13);
        RECT text{x, 0, x + extent.cx + 4, tm.tmHeight};
        ExtTextOutW(dc, x + 2, 0, ETO_OPAQUE, &text, caption, static_cast<UINT>(length), nullptr);
    }
}

// Frames and panels paint their ground (and a frame its border and caption) and pass their
// children's notifications on to the window they belong to.
LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* state = reinterpret_cast<ContainerLook*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!state) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_COMMAND:
        case WM_DRAWITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
        case WM_NOTIFY: return SendMessageW(GetAncestor(hwnd, GA_ROOT), message, wParam, lParam);
        case WM_SETFONT:
            state->font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(state->font);
        case WM_ERASEBKGND: {
            RECT r{};
            GetClientRect(hwnd, &r);
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, state->ground);
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
            return 1;
        }
        case WM_PAINT: {
            PaintScope paint(hwnd);
            if (state->framed) PaintFrame(hwnd, *state, paint.Dc());
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

// An invisible child that hands its private messages (the tray icon's) to its window.
LRESULT CALLBACK HookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP && message <= 0xBFFF) return SendMessageW(GetAncestor(hwnd, GA_ROOT), message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

struct ClassAndStyle {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

// What each kind of control is made of.
ClassAndStyle ClassFor(const ControlSpec& item) {
    const DWORD align = item.align == Align::Center ? SS_CENTER : SS_LEFT;
    switch (item.kind) {
        case ControlKind::Frame:
        case ControlKind::Panel: return {kContainerClass, WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT};
        // Clipped by the siblings made before it, which lie above it: a label that touches the
        // box above it paints its ground up to that box's border, not over it. A label that names
        // the next control with an access key ("&Question:") underlines it, and the key reaches
        // that control; any other label shows its text as it is.
        case ControlKind::Label:
            return {L"STATIC",
                    align | WS_CLIPSIBLINGS | (item.caption && std::strchr(item.caption, '&') ? 0 : SS_NOPREFIX), 0};
        case ControlKind::LinkLabel: return {L"STATIC", align | SS_NOPREFIX | SS_NOTIFY, 0};
        // Opaque: a link paints its own ground, focus rectangle and all.
        case ControlKind::KeyboardLink: return {WC_LINK, WS_TABSTOP | LWS_NOPREFIX, 0};
        case ControlKind::Button: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
        case ControlKind::DefaultButton: return {L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, 0};
        case ControlKind::Figure: return {L"STATIC", SS_OWNERDRAW, 0};
        case ControlKind::TextBox:
            return {L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::SearchBox: return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::List:
            return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::Table:
            return {WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
        case ControlKind::NoteBox:
            return {L"EDIT", ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::Shape: return {L"STATIC", SS_BLACKFRAME, 0};
        case ControlKind::Rule: return {L"STATIC", SS_ETCHEDHORZ, 0};
        case ControlKind::ComboList: return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
        // No option is a tab stop of its own: the button control makes the checked one of a
        // group its tab stop.
        case ControlKind::Option:
            return {L"BUTTON", static_cast<DWORD>(item.flags & kSetByProgram ? BS_RADIOBUTTON : BS_AUTORADIOBUTTON),
                    0};
        case ControlKind::CheckBox: return {L"BUTTON", BS_CHECKBOX | WS_TABSTOP, 0};
        case ControlKind::Hook: return {kHookClass, 0, 0};
    }
    return {L"STATIC", 0, 0};
}

}  // namespace

void RegisterWindowKitClasses(HINSTANCE instance) {
    for (const auto& [name, proc] : {std::pair{kContainerClass, &ContainerProc}, std::pair{kHookClass, &HookProc}}) {
        WNDCLASSEXW cls{};
        cls.cbSize = sizeof(cls);
        cls.lpfnWndProc = proc;
        cls.hInstance = instance;
        cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        cls.lpszClassName = name;
        RegisterClassExW(&cls);
    }
}

RECT PixelRect(const ControlSpec& item, int dpi) {
    const int left = TwipsToPixels(item.left, dpi);
    const int top = TwipsToPixels(item.top, dpi);
    int height = TwipsToPixels(item.height, dpi);
    if (item.kind == ControlKind::ComboList) height = MulDiv(kDropDownHeight, dpi, 96);
    if (item.kind == ControlKind::Rule) height = 2;
    return RECT{left, top, left + TwipsToPixels(item.width, dpi), top + height};
}

void Controls::Attach(HWND window, int dpi) {
    window_ = window;
    dpi_ = dpi;
    fonts_.clear();
}

HFONT Controls::Font(const ControlSpec& item) const {
    // Outlines, rules and the hook show no text.
    const bool textless = item.kind == ControlKind::Shape || item.kind == ControlKind::Rule || item.kind == ControlKind::Hook;
    return textless ? nullptr : Font(item.font);
}

HFONT Controls::Font(FontRole role) const {
    if (role == FontRole::None) return nullptr;
    auto it = fonts_.find(role);
    if (it == fonts_.end()) {
        const theme::FontLook look = theme::FontOf(role);
        it = fonts_.emplace(role, win32::Font(MakeFont(theme::kFontFace, look.hundredthsOfPoint, dpi_, look.bold,
                                                      look.underline)))
                 .first;
    }
    return it->second.Get();
}

HWND Controls::Create(const ControlSpec& item) {
    const ControlSpec* before = nullptr;
    for (const ControlSpec& other : layout_) {
        if (&other == &item) break;
        before = &other;
    }
    ClassAndStyle made = ClassFor(item);
    DWORD style = WS_CHILD | made.style;
    if (!(item.flags & kHidden) && item.kind != ControlKind::Hook) style |= WS_VISIBLE;
    // The first option of a group starts it, and so does the first control after the options.
    const bool afterOption = before && before->parent == item.parent && before->kind == ControlKind::Option;
    if ((item.kind == ControlKind::Option) != afterOption || (item.flags & kStartsGroup)) style |= WS_GROUP;
    // What lies outside its window's client area is there for the code only: never seen,
    // never reached with the keyboard.
    if (IsBelowClientArea(layout_, item, clientHeightTwips_)) style &= ~(WS_VISIBLE | WS_TABSTOP);
    const RECT r = PlaceOf(item);

    const std::wstring caption = FromAnsi(item.caption ? item.caption : "");
    ContainerLook* state = nullptr;
    if (made.className == std::wstring_view(kContainerClass)) {
        containers_.push_back(std::make_unique<ContainerLook>(
            ContainerLook{ColorOf(item.ground), item.kind == ControlKind::Frame, nullptr}));
        state = containers_.back().get();
    }
    HWND parent = item.parent == 0 ? window_ : Get(item.parent);
    HWND control = CreateWindowExW(made.exStyle, made.className, caption.c_str(), style, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance_, state);
    if (!control) return nullptr;
    controls_[item.id] = control;
    if (HFONT font = Font(item)) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (item.kind == ControlKind::TextBox) MakeReadingText(control);
    if (item.kind == ControlKind::LinkLabel || item.kind == ControlKind::KeyboardLink) MarkAsLink(control);
    if (item.kind == ControlKind::KeyboardLink) SetLinkText(control, caption);
    if (item.kind == ControlKind::Table) {
        // A list view takes its colors from messages, not from WM_CTLCOLOR*.
        SendMessageW(control, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
                     LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
        SendMessageW(control, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ThemeColor(item.ground)));
        SendMessageW(control, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ThemeColor(item.ground)));
        SendMessageW(control, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ThemeColor(item.text)));
    }
    // Boxes and lists are named after the label just before them.
    if ((item.kind == ControlKind::TextBox || item.kind == ControlKind::ComboList ||
         item.kind == ControlKind::SearchBox || item.kind == ControlKind::List || item.kind == ControlKind::Table ||
         item.kind == ControlKind::NoteBox) &&
        before &&
        before->kind == ControlKind::Label && before->parent == item.parent)
        SetAccessibleName(control, FromAnsi(before->caption));
    // Made later than the controls around it: into the tab order where the table has it.
    if (HWND after = TabPlaceOf(item))
        SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return control;
}

HWND Controls::TabPlaceOf(const ControlSpec& item) const {
    HWND previous = nullptr;
    bool passed = false;
    for (const ControlSpec& other : layout_) {
        if (&other == &item) {
            passed = true;
        } else if (other.parent == item.parent) {
            if (passed && Get(other.id)) return previous ? previous : HWND_TOP;
            if (HWND made = Get(other.id)) previous = made;
        }
    }
    return nullptr;
}

bool Controls::IsWithin(const ControlSpec& item, int container) const {
    for (const ControlSpec* at = &item; at && at->parent != 0; at = Find(at->parent)) {
        if (at->parent == container) return true;
    }
    return false;
}

template <class Pick>
void Controls::OutlinesToBottom(Pick wanted) {
    for (const ControlSpec& item : layout_) {
        HWND made = item.kind == ControlKind::Shape && wanted(item) ? Get(item.id) : nullptr;
        if (made) SetWindowPos(made, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void Controls::CreateAll(int deferred) {
    AnnotationBatch annotations;
    const auto wanted = [&](const ControlSpec& item) { return deferred == 0 || !IsWithin(item, deferred); };
    for (const ControlSpec& item : layout_) {
        if (wanted(item)) Create(item);
    }
    OutlinesToBottom(wanted);
}

void Controls::CreateWithin(int container) {
    AnnotationBatch annotations;
    const auto wanted = [&](const ControlSpec& item) { return IsWithin(item, container); };
    for (const ControlSpec& item : layout_) {
        if (wanted(item) && !Get(item.id)) Create(item);
    }
    OutlinesToBottom(wanted);
}

void Controls::Arrange(int dpi) {
    auto previous = std::exchange(fonts_, {});
    dpi_ = dpi;
    for (const ControlSpec& item : layout_) {
        HWND control = Get(item.id);
        if (!control) continue;
        const RECT r = PlaceOf(item);
        SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        if (HFONT font = Font(item)) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // A new font gives an edit control its default margins again.
        if (item.kind == ControlKind::TextBox) MakeReadingText(control);
    }
    // `previous` goes here: every control holds a font of the new set now.
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

RECT Controls::PlaceOf(const ControlSpec& item) const {
    RECT r = PixelRect(item, dpi_);
    if (item.parent != 0) return r;  // a container's controls stay where they are in it
    if (item.flags & kFollowsRight) OffsetRect(&r, extra_.cx, 0);
    if (item.flags & kFollowsBottom) OffsetRect(&r, 0, extra_.cy);
    if (item.flags & kGrowsWide) r.right += extra_.cx;
    if (item.flags & kGrowsTall) r.bottom += extra_.cy;
    return r;
}

void Controls::Stretch(SIZE extra) {
    extra.cx = std::max<LONG>(extra.cx, 0);
    extra.cy = std::max<LONG>(extra.cy, 0);
    if (extra.cx == extra_.cx && extra.cy == extra_.cy) return;
    extra_ = extra;
    constexpr unsigned kAnchors = kFollowsRight | kFollowsBottom | kGrowsWide | kGrowsTall;
    for (const ControlSpec& item : layout_) {
        HWND control = item.parent == 0 && (item.flags & kAnchors) ? Get(item.id) : nullptr;
        if (!control) continue;
        const RECT r = PlaceOf(item);
        SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
    // The ground the controls leave behind.
    InvalidateRect(window_, nullptr, TRUE);
}

HWND Controls::Get(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

const ControlSpec* Controls::Find(int id) const {
    for (const ControlSpec& item : layout_) {
        if (item.id == id) return &item;
    }
    return nullptr;
}

HBRUSH Controls::Brush(COLORREF color) {
    auto it = brushes_.find(color);
    if (it == brushes_.end()) it = brushes_.emplace(color, win32::Brush(CreateSolidBrush(color))).first;
    return it->second.Get();
}

LRESULT Controls::OnCtlColor(HDC dc, HWND control) {
    const ControlSpec* item = Find(GetDlgCtrlID(control));
    COLORREF ground = ThemeColor(ColorRole::Ground);
    if (item && (item->kind == ControlKind::TextBox || item->kind == ControlKind::SearchBox ||
                 item->kind == ControlKind::List || item->kind == ControlKind::NoteBox)) {
        ground = ThemeColor(item->ground);
    } else if (const ControlSpec* container = item && item->parent != 0 ? Find(item->parent) : nullptr) {
        ground = ThemeColor(container->ground);
    }
    SetTextColor(dc, ThemeColor(item ? item->text : ColorRole::Text));
    SetBkColor(dc, ground);
    // Wine's link control deletes the brush it is given once it has painted: it gets the
    // stock DC brush, which cannot be deleted, in the same color.
    if (item && item->kind == ControlKind::KeyboardLink) {
        SetDCBrushColor(dc, ground);
        return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    }
    return reinterpret_cast<LRESULT>(Brush(ground));
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void SetLinkText(HWND link, const std::wstring& text) {
    SetWindowTextW(link, text.empty() ? L"" : (L"<a>" + text + L"</a>").c_str());
    // In the program's link color (set with the ground on WM_CTLCOLORSTATIC), not the system's.
    LITEM item{};
    item.mask = LIF_ITEMINDEX | LIF_STATE;
    item.state = item.stateMask = LIS_DEFAULTCOLORS;
    SendMessageW(link, LM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
}

void FocusMemory::Remember(HWND window) {
    HWND focus = GetFocus();
    remembered_ = focus && IsChild(window, focus) ? focus : nullptr;
}

void FocusMemory::ForgetWithin(HWND part) {
    if (remembered_ && (remembered_ == part || IsChild(part, remembered_))) remembered_ = nullptr;
}

bool FocusMemory::Restore(HWND window) {
    HWND remembered = remembered_;
    if (!remembered || !IsWindow(remembered) || !IsChild(window, remembered) || !IsWindowVisible(remembered) ||
        !IsWindowEnabled(remembered))
        return false;
    // The controls of its group, in order, starting with it.
    HWND container = GetParent(remembered);
    std::vector<HWND> controls;
    std::vector<GroupMember> group;
    HWND item = remembered;
    do {
        const bool option = (SendMessageW(item, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
        controls.push_back(item);
        group.push_back({option, option && SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED});
        item = GetNextDlgGroupItem(container, item, FALSE);
    } while (item && item != remembered && controls.size() < 64);
    const int target = MemberToRefocus(group, 0);
    if (target < 0) return false;
    SetFocus(controls[static_cast<std::size_t>(target)]);
    return true;
}

// ---- Dialog boxes ------------------------------------------------------------------

namespace {

// The frame of a dialog without controls, as DialogBoxIndirectParamW takes it.
std::vector<WORD> EmptyDialogTemplate(const std::wstring& caption, bool resizable) {
    std::vector<WORD> words;
    const auto putLong = [&words](DWORD value) {
        words.push_back(LOWORD(value));
        words.push_back(HIWORD(value));
    };
    putLong(resizable ? WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX
                      : WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    putLong(resizable ? 0 : WS_EX_DLGMODALFRAME);
    // No controls, no place or size (set when it opens), no menu, the standard dialog class.
    words.insert(words.end(), {0, 0, 0, 0, 0, 0, 0});
    for (wchar_t c : caption) words.push_back(static_cast<WORD>(c));
    words.push_back(0);
    return words;
}

// ---- What every window beyond the main one shares: the program's icon, and for one the user
// sizes, the size and place it had when it was last closed (one value a window, named after
// its caption, in a key of their own under the program's settings).

std::wstring PlacesKeyPath() { return L"Software\\Hexalune\\" + ExecutableBaseName() + L"\\Settings\\Windows"; }

Icon LoadProgramIcon(int size) {
    return Icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_HEXALUNE), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

ScreenRect ToScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<ScreenRect>*>(areas)->push_back(ToScreenRect(info.rcWork));
    return TRUE;
}

// At WM_INITDIALOG, the controls made: the program's icon, unless the window has one of its
// own; a window the user sizes takes its remembered size and place, kept within reach.
void OpenLikeLastTime(HWND dialog, SIZE least) {
    // Kept for the program's life, like a window class's icons.
    static const Icon big = LoadProgramIcon(GetSystemMetrics(SM_CXICON));
    static const Icon small = LoadProgramIcon(GetSystemMetrics(SM_CXSMICON));
    if (big && !SendMessageW(dialog, WM_GETICON, ICON_BIG, 0))
        SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
    if (small && !SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0))
        SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
    if (!(GetWindowLongPtrW(dialog, GWL_STYLE) & WS_THICKFRAME)) return;
    wchar_t text[96] = {};
    DWORD bytes = sizeof(text);
    if (RegGetValueW(HKEY_CURRENT_USER, PlacesKeyPath().c_str(), WindowText(dialog).c_str(), RRF_RT_REG_SZ, nullptr,
                     text, &bytes) != ERROR_SUCCESS)
        return;
    const auto place = ParseWindowPlace(ToAnsi(text));
    if (!place) return;
    // Its size at the DPI it opens at.
    const int dpi = WindowDpi(dialog);
    const int width = std::max<int>(least.cx, MulDiv(place->rect.right - place->rect.left, dpi, place->dpi));
    const int height = std::max<int>(least.cy, MulDiv(place->rect.bottom - place->rect.top, dpi, place->dpi));
    std::vector<ScreenRect> areas;
    EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    const ScreenRect r = KeepWithinReach({place->rect.left, place->rect.top, place->rect.left + width,
                                          place->rect.top + height}, areas);
    SetWindowPos(dialog, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// At WM_DESTROY: a window the user sizes remembers its size and place, as it is when not
// maximized or minimized.
void RememberPlace(HWND dialog) {
    if (!(GetWindowLongPtrW(dialog, GWL_STYLE) & WS_THICKFRAME)) return;
    RECT r{};
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!IsIconic(dialog) && !IsZoomed(dialog)) {
        GetWindowRect(dialog, &r);
    } else if (GetWindowPlacement(dialog, &placement)) {
        // Given from the top left of its monitor's work area.
        r = placement.rcNormalPosition;
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &info))
            OffsetRect(&r, info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top);
    }
    if (IsRectEmpty(&r)) return;
    RegistryKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, PlacesKeyPath().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS) {
        key.Forget();
        return;
    }
    const std::wstring text = FromAnsi(WindowPlaceText({ToScreenRect(r), WindowDpi(dialog)}));
    RegSetValueExW(key.Get(), WindowText(dialog).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// A table's chosen row keeps its highlight while the keyboard is elsewhere in the window,
// where the list view would fade it to the faint face color.
bool DrawChosenRowBright(HWND dialog, const Controls& controls, const NMHDR& header, INT_PTR& result) {
    const ControlSpec* item = controls.Find(static_cast<int>(header.idFrom));
    if (header.code != NM_CUSTOMDRAW || !item || item->kind != ControlKind::Table) return false;
    auto& draw = *reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header));
    LRESULT answer = CDRF_DODEFAULT;
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
        answer = CDRF_NOTIFYITEMDRAW;
    } else if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && GetFocus() != header.hwndFrom &&
               SendMessageW(header.hwndFrom, LVM_GETITEMSTATE, draw.nmcd.dwItemSpec, LVIS_SELECTED)) {
        draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED);
        draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
        answer = CDRF_NEWFONT;
    }
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, answer);
    result = TRUE;
    return true;
}

}  // namespace

INT_PTR RunDialog(HINSTANCE instance, HWND owner, const std::wstring& caption, DLGPROC proc, void* state,
                  bool resizable) {
    const std::vector<WORD> frame = EmptyDialogTemplate(caption, resizable);
    return DialogBoxIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(frame.data()), owner, proc,
                                   reinterpret_cast<LPARAM>(state));
}

void MakeDialogControls(HWND dialog, Controls& controls, SIZE clientTwips) {
    // From Windows 10 1703 on, the dialog manager of a per-monitor process lays a dialog's
    // controls and fonts out again by itself when the DPI changes, and would fight the
    // toolkit's own layout: it is told to leave that to us. Older systems lack the call.
    using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
    static const auto setDpiChangeBehavior = User32Function<SetDialogDpiChangeBehaviorFn>("SetDialogDpiChangeBehavior");
    constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
    if (setDpiChangeBehavior) setDpiChangeBehavior(dialog, kDisableAll, kDisableAll);
    const int dpi = WindowDpi(dialog);
    controls.Attach(dialog, dpi);
    controls.CreateAll();
    const SIZE frame = FrameSizeFor(dialog, clientTwips.cx, clientTwips.cy, dpi);
    CenterOnOwnersMonitor(dialog, frame);
    OpenLikeLastTime(dialog, frame);
}

SIZE FrameSizeFor(HWND window, int clientWidthTwips, int clientHeightTwips, int dpi) {
    return OuterSize(TwipsToPixels(clientWidthTwips, dpi), TwipsToPixels(clientHeightTwips, dpi),
                     static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)),
                     static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)), GetMenu(window) != nullptr, dpi);
}

void MoveToSuggested(HWND window, const RECT& suggested, SIZE frame) {
    SetWindowPos(window, nullptr, suggested.left, suggested.top, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ResizeInPlace(HWND window, SIZE frame) {
    SetWindowPos(window, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool HandleWindowLook(HWND window, Controls& controls, SIZE clientTwips, UINT message, WPARAM wParam, LPARAM lParam,
                      INT_PTR& result) {
    const bool resizable = (GetWindowLongPtrW(window, GWL_STYLE) & WS_THICKFRAME) != 0;
    switch (message) {
        case WM_CTLCOLORDLG: result = reinterpret_cast<INT_PTR>(controls.Brush(ThemeColor(ColorRole::Ground))); return true;
        case WM_CTLCOLORLISTBOX:
            // A drop-down list's list is no control of the table: it keeps the system's colors.
            if (controls.Get(GetDlgCtrlID(reinterpret_cast<HWND>(lParam))) != reinterpret_cast<HWND>(lParam))
                return false;
            [[fallthrough]];
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            result = static_cast<INT_PTR>(controls.OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
            return true;
        case WM_DPICHANGED: {
            const int dpi = HIWORD(wParam);
            controls.Arrange(dpi);
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            // A window the user sizes keeps the size the system scales it to.
            MoveToSuggested(window, suggested,
                            resizable ? SIZE{suggested.right - suggested.left, suggested.bottom - suggested.top}
                                      : FrameSizeFor(window, clientTwips.cx, clientTwips.cy, dpi));
            result = TRUE;
            return true;
        }
        case WM_SETTINGCHANGE:
            if (ChangesWindowMetrics(wParam, lParam)) {
                controls.Arrange(controls.Dpi());
                if (!resizable)
                    ResizeInPlace(window, FrameSizeFor(window, clientTwips.cx, clientTwips.cy, controls.Dpi()));
            }
            result = FALSE;
            return true;
        case WM_SIZE:
            if (!resizable || wParam == SIZE_MINIMIZED) return false;
            controls.Stretch({LOWORD(lParam) - TwipsToPixels(clientTwips.cx, controls.Dpi()),
                              HIWORD(lParam) - TwipsToPixels(clientTwips.cy, controls.Dpi())});
            result = 0;
            return true;
        case WM_GETMINMAXINFO: {
            if (!resizable) return false;
            // No smaller than the window as it is laid out.
            const SIZE least = FrameSizeFor(window, clientTwips.cx, clientTwips.cy, controls.Dpi());
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {least.cx, least.cy};
            result = 0;
            return true;
        }
        case WM_NOTIFY: return DrawChosenRowBright(window, controls, *reinterpret_cast<const NMHDR*>(lParam), result);
        case WM_DESTROY: RememberPlace(window); return false;
        default: return false;
    }
}

void CenterOnOwnersMonitor(HWND window, SIZE frame) {
    HWND owner = GetWindow(window, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(MonitorFromWindow(owner ? owner : window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        screen = monitor.rcMonitor;
    const int left = screen.left + (screen.right - screen.left - frame.cx) / 2;
    const int top = screen.top + (screen.bottom - screen.top - frame.cy) / 2;
    SetWindowPos(window, nullptr, left, top, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace hexalune::win32
