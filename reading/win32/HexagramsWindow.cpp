// "Hexalune Hexagrams" (WindowId::Hexagrams): all 64 hexagrams, found by number or name, each
// with its texts. Opened again while open, it chooses the hexagram asked for.
#include <windows.h>

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

constexpr int kClientWidth = 9600;  // twips
constexpr int kClientHeight = 7320;

using namespace layout_names;

// In tab order: the search, the list, the texts, Close.
const ControlSpec kLayout[] = {
    {IDC_HEXAGRAMS_FIND_LABEL, 0, K::Label, "Find:", 240, 285, 660, 240},
    {IDC_HEXAGRAMS_FIND, 0, K::SearchBox, "", 900, 240, 2340, 315},
    {IDC_HEXAGRAMS_LIST, 0, K::List, "", 240, 660, 3000, 6000},
    {IDC_HEXAGRAMS_FIGURE, 0, K::Figure, "", 3480, 240, 1215, 1155},
    {IDC_HEXAGRAMS_NAME, 0, K::Label, "", 4920, 480, 4440, 600, kGround, ColorRole::Name, kLeft, FontRole::Title},
    {IDC_HEXAGRAMS_TEXT, 0, K::TextBox, "", 3480, 1560, 5880, 5100},
    {IDOK, 0, K::DefaultButton, "Close", 7920, 6810, 1440, 375, kGround, ColorRole::Text, kLeft, FontRole::Body,
     kStartsGroup},
};

struct Window : DialogWindow {
    explicit Window(const WindowContext& context)
        : DialogWindow(WindowId::Hexagrams, context, kLayout, {kClientWidth, kClientHeight}),
          shown(IsHexagramNumber(context.hexagram) ? context.hexagram : 1) {}
    int shown;  // the hexagram whose texts are on show
};

void ShowHexagram(HWND dialog, Window& window, int hexagram) {
    window.shown = hexagram;
    const std::wstring title = FullTitle(hexagram);
    SetDlgItemTextW(dialog, IDC_HEXAGRAMS_FIGURE, title.c_str());  // what screen readers announce
    SetDlgItemTextW(dialog, IDC_HEXAGRAMS_NAME, title.c_str());
    SetDlgItemTextW(dialog, IDC_HEXAGRAMS_TEXT, WithEditLineBreaks(FromAnsi(HexagramTexts(hexagram))).c_str());
    SetAccessibleName(GetDlgItem(dialog, IDC_HEXAGRAMS_TEXT), L"Texts of " + title);
    InvalidateRect(GetDlgItem(dialog, IDC_HEXAGRAMS_FIGURE), nullptr, TRUE);
    GuardClipboard(dialog);
}

void ShowChosen(HWND dialog, Window& window) {
    HWND list = GetDlgItem(dialog, IDC_HEXAGRAMS_LIST);
    const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return;
    ShowHexagram(dialog, window, static_cast<int>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0)));
}

// The list holds what the search finds. The hexagram on show stays chosen when it is among
// them, else the first found is; when nothing is found, the texts on show stay.
void FillList(HWND dialog, Window& window) {
    const std::wstring typed = WindowText(GetDlgItem(dialog, IDC_HEXAGRAMS_FIND));
    HWND list = GetDlgItem(dialog, IDC_HEXAGRAMS_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    LRESULT chosen = LB_ERR;
    for (int hexagram : FindHexagrams(ToAnsi(typed))) {
        const std::wstring line = FromAnsi(HexagramListText(hexagram));
        const LRESULT index = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(index), hexagram);
        if (chosen == LB_ERR || hexagram == window.shown) chosen = index;
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    if (chosen == LB_ERR) return;
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
    ShowChosen(dialog, window);
}

void Choose(HWND dialog, Window& window, int hexagram) {
    window.shown = IsHexagramNumber(hexagram) ? hexagram : 1;
    SetDlgItemTextW(dialog, IDC_HEXAGRAMS_FIND, L"");  // all 64, with this one chosen
    FillList(dialog, window);
}

INT_PTR CALLBACK HexagramsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogLook look;
    auto* window = DialogPreamble<Window>(dialog, message, wParam, lParam, look);
    if (!window) return FALSE;
    if (look.answered) return look.result;
    switch (message) {
        case WM_INITDIALOG:
            SetAccessibleName(GetDlgItem(dialog, IDC_HEXAGRAMS_LIST), L"Hexagrams");
            Choose(dialog, *window, window->shown);
            SetFocus(GetDlgItem(dialog, IDC_HEXAGRAMS_FIND));
            return FALSE;  // the focus is set
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            DrawHexagramFigure(item.hDC, item.rcItem, window->shown);
            return TRUE;
        }
        case WM_APP_OPEN_AGAIN:
            Choose(dialog, *window, reinterpret_cast<const WindowContext*>(lParam)->hexagram);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_HEXAGRAMS_FIND:
                    if (HIWORD(wParam) == EN_CHANGE) FillList(dialog, *window);
                    return TRUE;
                case IDC_HEXAGRAMS_LIST:
                    if (HIWORD(wParam) == LBN_SELCHANGE) ShowChosen(dialog, *window);
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
    RunDialogWindow(window, L"Hexalune Hexagrams", &HexagramsProc);
}

const bool kOpens = RegisterWindow(WindowId::Hexagrams, &Open);

}  // namespace

}  // namespace hexalune::win32
