// "Hexalune Hexagrams" (WindowId::Hexagrams): all 64 hexagrams, found by number, name or
// trigrams, each with its texts. Opened again while open, it chooses the hexagram asked for.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/ControlIds.h"
#include "core/win32/Accessibility.h"
#include "core/win32/DialogWindow.h"
#include "core/win32/ReadingText.h"
#include "core/win32/Win32Platform.h"
#include "core/win32/WindowKit.h"
#include "reading/Catalogue.h"
#include "reading/ChangingLines.h"
#include "reading/HexagramSearch.h"
#include "reading/win32/HexagramFigure.h"

namespace hexalune::win32 {

namespace {

// The smallest the window can be. At 144 DPI it still fits a 1280 x 1024 screen.
constexpr int kClientWidth = 12000;  // twips
constexpr int kClientHeight = 8400;

using namespace layout_names;

// In tab order: the search, the list, the texts, Close. The list runs across the window, so
// that every hexagram's name and trigrams show whole; the texts take the room the window gains.
const ControlSpec kLayout[] = {
    {IDC_HEXAGRAMS_FIND_LABEL, 0, K::Label, "Find:", 240, 285, 660, 240},
    {IDC_HEXAGRAMS_FIND, 0, K::SearchBox, "", 900, 240, 3000, 315},
    {IDC_HEXAGRAMS_LIST, 0, K::Table, "", 240, 660, 11520, 3060, kPage, kText, kLeft, FontRole::Body, kGrowsWide},
    {IDC_HEXAGRAMS_FIGURE, 0, K::Figure, "", 240, 3900, 1215, 1155},
    {IDC_HEXAGRAMS_NAME, 0, K::Label, "", 1680, 3960, 10080, 480, kGround, kName, kLeft, FontRole::Title, kGrowsWide},
    {IDC_HEXAGRAMS_TEXT, 0, K::TextBox, "", 1680, 4560, 10080, 3180, kGround, kText, kLeft, FontRole::Body,
     kGrowsWide | kGrowsTall},
    {IDOK, 0, K::DefaultButton, "Close", 10320, 7920, 1440, 375, kGround, kText, kLeft, FontRole::Body,
     kStartsGroup | kFollowsRight | kFollowsBottom},
};

constexpr const wchar_t* kColumns[] = {L"Hexagram", L"Trigrams"};

struct Window : DialogWindow {
    explicit Window(const WindowContext& context)
        : DialogWindow(WindowId::Hexagrams, context, kLayout, {kClientWidth, kClientHeight}),
          shown(IsHexagramNumber(context.hexagram) ? context.hexagram : 1) {}
    std::vector<int> found;  // listed, in King Wen order
    int shown;               // the hexagram whose texts are on show; 0 for none
};

HWND List(HWND dialog) { return GetDlgItem(dialog, IDC_HEXAGRAMS_LIST); }

std::wstring CellText(int hexagram, int column) {
    return FromAnsi(column == 0 ? HexagramTitle(hexagram) : HexagramTrigrams(hexagram));
}

// The names' column as wide as the widest name; the trigrams take the rest, and no less than
// the widest of theirs.
void SizeColumns(HWND dialog) {
    HWND list = List(dialog);
    const int padding = MulDiv(16, WindowDpi(dialog), 96);
    int widest[2] = {0, 0};
    for (int hexagram = 1; hexagram <= kHexagramCount; ++hexagram) {
        for (int column = 0; column < 2; ++column) {
            const std::wstring text = CellText(hexagram, column);
            const int width = static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
            widest[column] = std::max(widest[column], width + padding);
        }
    }
    RECT client{};
    GetClientRect(list, &client);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, widest[0]);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, std::max<LONG>(widest[1], client.right - widest[0]));
}

// No row cut in half: the list ends under its last whole row.
void FitWholeRows(HWND dialog) {
    HWND list = List(dialog);
    RECT row{};
    row.left = LVIR_BOUNDS;
    if (!SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)) || row.bottom <= row.top) return;
    RECT header{};
    GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), &header);
    RECT client{};
    GetClientRect(list, &client);
    const int spare = (client.bottom - (header.bottom - header.top)) % (row.bottom - row.top);
    if (spare <= 0) return;
    RECT outer{};
    GetWindowRect(list, &outer);
    SetWindowPos(list, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top - spare,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowHexagram(HWND dialog, Window& window, int hexagram) {
    window.shown = hexagram;
    const bool any = hexagram != 0;
    const std::wstring title = any ? FullTitle(hexagram) : std::wstring(L"No hexagram matches");
    SetDlgItemTextW(dialog, IDC_HEXAGRAMS_FIGURE, any ? title.c_str() : L"");  // what screen readers announce
    SetDlgItemTextW(dialog, IDC_HEXAGRAMS_NAME, title.c_str());
    SetDlgItemTextW(dialog, IDC_HEXAGRAMS_TEXT, any ? WithEditLineBreaks(FromAnsi(HexagramTexts(hexagram))).c_str() : L"");
    SetAccessibleName(GetDlgItem(dialog, IDC_HEXAGRAMS_TEXT), any ? L"Texts of " + title : std::wstring(L"Texts"));
    InvalidateRect(GetDlgItem(dialog, IDC_HEXAGRAMS_FIGURE), nullptr, TRUE);
    GuardClipboard(dialog);
}

void ShowChosen(HWND dialog, Window& window) {
    const auto index = static_cast<int>(SendMessageW(List(dialog), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (index < 0 || index >= static_cast<int>(window.found.size())) return;
    const int hexagram = window.found[static_cast<std::size_t>(index)];
    if (hexagram != window.shown) ShowHexagram(dialog, window, hexagram);
}

// The list holds what the search finds. The hexagram on show stays chosen when it is among
// them, else the first found is; when nothing is found, the window says so.
void FillList(HWND dialog, Window& window) {
    HWND list = List(dialog);
    window.found = FindHexagrams(ToAnsi(WindowText(GetDlgItem(dialog, IDC_HEXAGRAMS_FIND))));
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    SendMessageW(list, LVM_SETITEMCOUNT, window.found.size(), 0);
    SizeColumns(dialog);  // the scroll bar may have come or gone
    InvalidateRect(list, nullptr, TRUE);
    if (window.found.empty()) {
        ShowHexagram(dialog, window, 0);
        return;
    }
    const auto at = std::find(window.found.begin(), window.found.end(), window.shown);
    const int index = at == window.found.end() ? 0 : static_cast<int>(at - window.found.begin());
    LVITEMW chosen{};
    chosen.stateMask = chosen.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&chosen));
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
    ShowHexagram(dialog, window, window.found[static_cast<std::size_t>(index)]);
    FitWholeRows(dialog);
}

void Choose(HWND dialog, Window& window, int hexagram) {
    window.shown = IsHexagramNumber(hexagram) ? hexagram : 1;
    SetDlgItemTextW(dialog, IDC_HEXAGRAMS_FIND, L"");  // all 64, with this one chosen
    FillList(dialog, window);
}

// Down arrow in the search box goes on to the list, as in a combo box.
LRESULT CALLBACK FindBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    if (message == WM_KEYDOWN && wParam == VK_DOWN) {
        SetFocus(List(GetParent(box)));
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(box, &FindBoxProc, id);
    return DefSubclassProc(box, message, wParam, lParam);
}

void OnInitDialog(HWND dialog, Window& window) {
    HWND list = List(dialog);
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(kColumns[i]);
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    SizeColumns(dialog);
    SetAccessibleName(list, L"Hexagrams");
    SetWindowSubclass(GetDlgItem(dialog, IDC_HEXAGRAMS_FIND), &FindBoxProc, 0, 0);
    Choose(dialog, window, window.shown);
    SetFocus(GetDlgItem(dialog, IDC_HEXAGRAMS_FIND));
}

// Type-ahead in the list: the next row from `start` on (round to the top) whose number and
// name begin with what was typed.
int FindByTitle(const Window& window, const NMLVFINDITEMW& find) {
    if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz || window.found.empty()) return -1;
    const int typed = lstrlenW(find.lvfi.psz);
    const int count = static_cast<int>(window.found.size());
    for (int k = 0; k < count; ++k) {
        const int i = (std::max(find.iStart, 0) + k) % count;
        const std::wstring title = CellText(window.found[static_cast<std::size_t>(i)], 0);
        if (static_cast<int>(title.size()) >= typed &&
            CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, title.c_str(), typed, find.lvfi.psz, typed) == CSTR_EQUAL)
            return i;
    }
    return -1;
}

INT_PTR OnNotify(HWND dialog, Window& window, const NMHDR& header) {
    if (header.idFrom != IDC_HEXAGRAMS_LIST) return FALSE;
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            auto& item = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header))->item;
            if ((item.mask & LVIF_TEXT) && item.cchTextMax > 0 && item.iItem >= 0 &&
                item.iItem < static_cast<int>(window.found.size()))
                lstrcpynW(item.pszText, CellText(window.found[static_cast<std::size_t>(item.iItem)], item.iSubItem).c_str(),
                          item.cchTextMax);
            return TRUE;
        }
        case LVN_ODFINDITEMW:
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, FindByTitle(window, *reinterpret_cast<const NMLVFINDITEMW*>(&header)));
            return TRUE;
        case LVN_ITEMCHANGED: ShowChosen(dialog, window); return TRUE;
        default: return FALSE;
    }
}

INT_PTR CALLBACK HexagramsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogLook look;
    auto* window = DialogPreamble<Window>(dialog, message, wParam, lParam, look);
    if (!window) return FALSE;
    if (look.answered) {
        if (message == WM_DPICHANGED || message == WM_SIZE || message == WM_SETTINGCHANGE) {
            SizeColumns(dialog);
            FitWholeRows(dialog);
        }
        return look.result;
    }
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog, *window);
            return FALSE;  // the focus is set
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (window->shown != 0)
                DrawHexagramFigure(item.hDC, item.rcItem, window->shown);
            else
                FillRect(item.hDC, &item.rcItem, window->controls.Brush(ThemeColor(ColorRole::Ground)));
            return TRUE;
        }
        case WM_NOTIFY: return OnNotify(dialog, *window, *reinterpret_cast<const NMHDR*>(lParam));
        case WM_APP_OPEN_AGAIN:
            Choose(dialog, *window, reinterpret_cast<const WindowContext*>(lParam)->hexagram);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_HEXAGRAMS_FIND:
                    if (HIWORD(wParam) == EN_CHANGE) FillList(dialog, *window);
                    return TRUE;
                case IDOK:
                case IDCANCEL: EndDialog(dialog, LOWORD(wParam)); return TRUE;
                default: return FALSE;
            }
        case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return FALSE;
    }
}

void Open(const WindowContext& context) {
    Window window(context);
    RunDialogWindow(window, L"Hexalune Hexagrams", &HexagramsProc, true);
}

const bool kOpens = RegisterWindow(WindowId::Hexagrams, &Open);

}  // namespace

}  // namespace hexalune::win32
