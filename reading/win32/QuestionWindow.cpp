// "Hexalune Question" (WindowId::Question): a reading cast now for the reader's question, line
// by line, by three coins, by yarrow stalks or from the reader's own cast, with which texts to
// read. Each reading goes into the journal as its sixth line is cast.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "core/ControlIds.h"
#include "core/win32/Accessibility.h"
#include "core/win32/DialogWindow.h"
#include "core/win32/Handles.h"
#include "core/win32/ReadingText.h"
#include "core/win32/Win32Platform.h"
#include "core/win32/WindowKit.h"
#include "reading/Cast.h"
#include "reading/Catalogue.h"
#include "reading/Journal.h"
#include "reading/win32/HexagramFigure.h"
#include "reading/win32/SystemRandom.h"
#include "settings/win32/RegistrySettingsStore.h"

namespace hexalune::win32 {

namespace {

constexpr int kClientWidth = 9600;  // twips
constexpr int kClientHeight = 8400;

// How to cast, as last chosen, is kept in a key of its own under the settings key.
constexpr wchar_t kQuestionSubkey[] = L"Question";

using namespace layout_names;

// In tab order: the question, how to cast, the two buttons, then what was cast.
const ControlSpec kLayout[] = {
    {IDC_QUESTION_LABEL, 0, K::Label, "&Question:", 240, 285, 1080, 240, kGround, kText, kLeft, FontRole::Bold},
    {IDC_QUESTION_BOX, 0, K::SearchBox, "", 1440, 240, 7920, 315},
    {IDC_QUESTION_NOTICE, 0, K::Label, "", 1440, 600, 7920, 240},
    {IDC_QUESTION_METHOD, 0, K::Label, "Cast with:", 240, 975, 1200, 240, kGround, kText, kLeft, FontRole::Bold},
    {IDC_QUESTION_COINS, 0, K::Option, "Three &coins", 1440, 960, 2160, 255},
    {IDC_QUESTION_YARROW, 0, K::Option, "&Yarrow stalks", 3720, 960, 2160, 255},
    {IDC_QUESTION_OWN, 0, K::Option, "My &own cast", 6000, 960, 2400, 255},
    {IDC_QUESTION_LINES_LABEL, 0, K::Label, "&Lines, bottom first (6, 7, 8 or 9):", 1440, 1395, 3840, 240},
    {IDC_QUESTION_LINES, 0, K::SearchBox, "", 5280, 1350, 2400, 315},
    {IDC_QUESTION_CAST_LINE, 0, K::Button, "Cast &Line", 240, 1860, 1560, 375, kGround, kText, kLeft, FontRole::Body,
     kStartsGroup},
    // Enter in the question box casts all.
    {IDOK, 0, K::DefaultButton, "Cast &All", 1920, 1860, 1560, 375, kGround, kText, kLeft, FontRole::Body,
     kStartsGroup},
    {IDC_QUESTION_FIGURE, 0, K::Figure, "", 240, 2460, 1215, 1155},
    {IDC_QUESTION_NAME, 0, K::Label, "", 1680, 2520, 7680, 480, kGround, kName, kLeft, FontRole::Title},
    {IDC_QUESTION_LEADING_LABEL, 0, K::Label, "Leading to", 1680, 3135, 1320, 300, kGround, kText, kLeft,
     FontRole::Bold},
    // The hexagram the lines lead to opens among all 64.
    {IDC_QUESTION_LEADING_NAME, 0, K::KeyboardLink, "", 3000, 3105, 6360, 360, kGround, kName, kLeft, FontRole::Bold,
     kStartsGroup},
    {IDC_QUESTION_NO_CHANGE, 0, K::Label, "No lines change", 1680, 3135, 7680, 300, kGround, kText, kLeft,
     FontRole::Bold},
    {IDC_QUESTION_GOVERNS, 0, K::Label, "", 240, 3780, 9120, 480, kGround, kText, kLeft, FontRole::Bold},
    {IDC_QUESTION_TEXT, 0, K::TextBox, "", 240, 4320, 9120, 3360, kGround, kText, kLeft, FontRole::Body,
     kStartsGroup},
    {IDCANCEL, 0, K::Button, "Close", 7920, 7800, 1440, 375, kGround, kText, kLeft, FontRole::Body, kStartsGroup},
};

constexpr int kOptionIds[] = {IDC_QUESTION_COINS, IDC_QUESTION_YARROW, IDC_QUESTION_OWN};
constexpr CastMethod kOptionMethods[] = {CastMethod::Coins, CastMethod::Yarrow, CastMethod::OwnCast};

struct Window : DialogWindow {
    explicit Window(const WindowContext& context)
        : DialogWindow(WindowId::Question, context, kLayout, {kClientWidth, kClientHeight}),
          journal(*context.journal),
          settings(ExecutableBaseName(), kQuestionSubkey) {}
    Journal& journal;
    RegistrySettingsStore settings;
    SystemRandomBytes random;
    Win32Calendar calendar;
    CastMethod method = CastMethod::Coins;
    LineValues values{};
    int cast = 0;  // lines cast so far, from the bottom
};

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

// A control that goes out of sight with the keyboard focus hands it to "Cast Line".
void Show(HWND dialog, int id, bool shown) {
    HWND control = Item(dialog, id);
    if (!shown && GetFocus() == control) SetFocus(Item(dialog, IDC_QUESTION_CAST_LINE));
    ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
}

// What the window shows of the lines cast so far; the whole reading once all six are.
void ShowCast(HWND dialog, Window& window) {
    const bool complete = window.cast == 6;
    InvalidateRect(Item(dialog, IDC_QUESTION_FIGURE), nullptr, TRUE);
    std::wstring name;
    std::wstring governs;
    std::wstring texts;
    std::wstring spoken = L"No lines cast";
    int relating = 0;
    if (complete) {
        const int hexagram = HexagramOfLines(window.values);
        const WhatToRead read = ReadingRule(window.values);
        name = FullTitle(hexagram);
        governs = FromAnsi(GoverningSentence(read));
        texts = WithEditLineBreaks(FromAnsi(TextsToRead(read)));
        spoken = FromAnsi(CastSpokenName(window.values));
        if (!MovingLines(window.values).empty()) relating = RelatingOfLines(window.values);
    } else if (window.cast > 0) {
        std::string sofar;
        for (int i = 0; i < window.cast; ++i)
            sofar += (i ? " " : "") + std::to_string(window.values[static_cast<std::size_t>(i)]);
        governs = FromAnsi("Lines cast, bottom first: " + sofar);
        spoken = governs;
    }
    SetDlgItemTextW(dialog, IDC_QUESTION_NAME, name.c_str());
    // The figure's window text is what screen readers announce for it.
    SetDlgItemTextW(dialog, IDC_QUESTION_FIGURE, spoken.c_str());
    SetDlgItemTextW(dialog, IDC_QUESTION_GOVERNS, governs.c_str());
    SetDlgItemTextW(dialog, IDC_QUESTION_TEXT, texts.c_str());
    SetAccessibleName(Item(dialog, IDC_QUESTION_TEXT),
                      complete ? L"Texts to read for " + name : std::wstring(L"Texts to read"));
    SetLinkText(Item(dialog, IDC_QUESTION_LEADING_NAME),
                relating ? FullTitle(relating) : std::wstring());
    Show(dialog, IDC_QUESTION_LEADING_LABEL, relating != 0);
    Show(dialog, IDC_QUESTION_LEADING_NAME, relating != 0);
    Show(dialog, IDC_QUESTION_NO_CHANGE, complete && relating == 0);
    Show(dialog, IDC_QUESTION_FIGURE, window.cast > 0);
    Show(dialog, IDC_QUESTION_TEXT, complete);
    GuardClipboard(dialog);
}

// The reading just completed goes into the journal (which says so itself when it cannot be written).
void Record(Window& window, HWND dialog) {
    const std::string question = ToUtf8(WindowText(Item(dialog, IDC_QUESTION_BOX)));
    window.journal.Append(EntryForCast(question, window.method, window.values, window.calendar.Now()));
}

void Refuse(HWND dialog, const std::string& text) {
    MessageBoxW(dialog, FromAnsi(text).c_str(), FromAnsi(kAppTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// Casts the next line, or every line left; a reading already complete starts anew.
void Cast(HWND dialog, Window& window, bool allLeft) {
    if (window.method == CastMethod::OwnCast) {
        const std::optional<LineValues> own = ParseOwnCast(ToAnsi(WindowText(Item(dialog, IDC_QUESTION_LINES))));
        if (!own) {
            Refuse(dialog, kOwnCastExpected);
            SetFocus(Item(dialog, IDC_QUESTION_LINES));
            return;
        }
        window.values = *own;
        window.cast = 6;
    } else {
        if (window.cast == 6) window.cast = 0;
        do {
            const std::optional<int> line = CastLine(window.method, window.random);
            if (!line) {
                Refuse(dialog, "Windows gave no random numbers, so no line was cast. Please try again.");
                break;
            }
            window.values[static_cast<std::size_t>(window.cast++)] = *line;
        } while (allLeft && window.cast < 6);
    }
    ShowCast(dialog, window);
    if (window.cast == 6) Record(window, dialog);
}

// The option chosen, by the button control's own check: on Windows an option that gets the
// focus unchecked checks itself and reports a click; the checked one alone is a tab stop.
void OnOptionClicked(HWND dialog, Window& window) {
    for (std::size_t i = 0; i < std::size(kOptionIds); ++i) {
        HWND option = Item(dialog, kOptionIds[i]);
        const bool checked = SendMessageW(option, BM_GETCHECK, 0, 0) == BST_CHECKED;
        const LONG_PTR style = GetWindowLongPtrW(option, GWL_STYLE);
        SetWindowLongPtrW(option, GWL_STYLE, checked ? style | WS_TABSTOP : style & ~WS_TABSTOP);
        if (checked && window.method != kOptionMethods[i]) {
            window.method = kOptionMethods[i];
            RememberMethod(window.settings, window.method);
            // A reading begun one way is not finished another; a complete one stays on show.
            if (window.cast < 6) {
                window.cast = 0;
                ShowCast(dialog, window);
            }
        }
    }
    const bool own = window.method == CastMethod::OwnCast;
    EnableWindow(Item(dialog, IDC_QUESTION_LINES_LABEL), own);
    EnableWindow(Item(dialog, IDC_QUESTION_LINES), own);
}

void ChooseMethod(HWND dialog, Window& window, CastMethod method) {
    for (std::size_t i = 0; i < std::size(kOptionIds); ++i)
        SendMessageW(Item(dialog, kOptionIds[i]), BM_SETCHECK,
                     kOptionMethods[i] == method ? BST_CHECKED : BST_UNCHECKED, 0);
    window.method = method;
    OnOptionClicked(dialog, window);
}

void OnInitDialog(HWND dialog, Window& window) {
    SendMessageW(Item(dialog, IDC_QUESTION_BOX), EM_LIMITTEXT, kQuestionLimit, 0);
    SendMessageW(Item(dialog, IDC_QUESTION_LINES), EM_LIMITTEXT, 40, 0);
    SendMessageW(dialog, DM_SETDEFID, IDOK, 0);
    ChooseMethod(dialog, window, RememberedMethod(window.settings));
    ShowCast(dialog, window);
    SetFocus(Item(dialog, IDC_QUESTION_BOX));
}

// Draws the lines cast so far from the bottom, the moving ones (6 and 9) in the name's color
// with a mark beside them: a circle for 9, a cross for 6.
void DrawCast(const DRAWITEMSTRUCT& item, const Window& window) {
    HDC dc = item.hDC;
    const RECT& area = item.rcItem;
    const COLORREF oldBk = GetBkColor(dc);
    const auto fill = [dc](int left, int top, int right, int bottom, COLORREF color) {
        const RECT r{left, top, right, bottom};
        SetBkColor(dc, color);
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    };
    fill(area.left, area.top, area.right, area.bottom, static_cast<COLORREF>(theme::kFigureGround));
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const int barHeight = std::max(1, MulDiv(height, 7, 77));
    const int gap = std::max(1, MulDiv(height, 4, 77));
    const int side = MulDiv(width, 16, 81);
    const int top = area.top + (height - (6 * barHeight + 5 * gap)) / 2;
    const int left = area.left + side;
    const int right = area.right - side;
    const int breakWidth = (right - left) / 5;
    const int middle = (left + right) / 2;
    const int mark = std::max(3, std::min(barHeight + 2, side - 4));
    for (int line = 1; line <= window.cast; ++line) {
        const int value = window.values[static_cast<std::size_t>(line - 1)];
        const bool moving = value == 6 || value == 9;
        const COLORREF color = moving ? ThemeColor(ColorRole::Name) : static_cast<COLORREF>(theme::kFigureBar);
        const int y = top + (6 - line) * (barHeight + gap);
        if (value == 7 || value == 9) {
            fill(left, y, right, y + barHeight, color);
        } else {
            fill(left, y, middle - breakWidth / 2, y + barHeight, color);
            fill(middle + (breakWidth + 1) / 2, y, right, y + barHeight, color);
        }
        if (!moving) continue;
        // The mark, in the right margin: a hollow square for 9, a cross of two bars for 6.
        const int x = right + (side - mark) / 2;
        const int my = y + (barHeight - mark) / 2;
        if (value == 9) {
            fill(x, my, x + mark, my + mark, color);
            fill(x + 1, my + 1, x + mark - 1, my + mark - 1, static_cast<COLORREF>(theme::kFigureGround));
        } else {
            fill(x, my + mark / 2 - 1, x + mark, my + mark / 2 + 1, color);
            fill(x + mark / 2 - 1, my, x + mark / 2 + 1, my + mark, color);
        }
    }
    SetBkColor(dc, oldBk);
}

INT_PTR OnCommand(HWND dialog, Window& window, int id, int code) {
    switch (id) {
        case IDC_QUESTION_BOX:
            // A longer question was cut at the limit.
            if (code == EN_MAXTEXT)
                SetDlgItemTextW(dialog, IDC_QUESTION_NOTICE, L"The question is kept to its first 500 characters.");
            return TRUE;
        case IDC_QUESTION_COINS:
        case IDC_QUESTION_YARROW:
        case IDC_QUESTION_OWN:
            if (code == BN_CLICKED) OnOptionClicked(dialog, window);
            return TRUE;
        case IDC_QUESTION_CAST_LINE: Cast(dialog, window, false); return TRUE;
        case IDOK: Cast(dialog, window, true); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return FALSE;
    }
}

INT_PTR OnNotify(HWND dialog, Window& window, const NMHDR& header) {
    if (header.idFrom != IDC_QUESTION_LEADING_NAME || (header.code != NM_CLICK && header.code != NM_RETURN))
        return FALSE;
    if (window.cast == 6)
        OpenWindow(WindowId::Hexagrams, HexagramContext(window.instance, dialog, RelatingOfLines(window.values)));
    return TRUE;
}

INT_PTR CALLBACK QuestionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogLook look;
    auto* window = DialogPreamble<Window>(dialog, message, wParam, lParam, look);
    if (!window) return FALSE;
    if (look.answered) return look.result;
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog, *window);
            return FALSE;  // the focus is set
        case WM_DRAWITEM: DrawCast(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), *window); return TRUE;
        case WM_COMMAND: return OnCommand(dialog, *window, LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY: return OnNotify(dialog, *window, *reinterpret_cast<const NMHDR*>(lParam));
        case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return FALSE;
    }
}

void Open(const WindowContext& context) {
    Window window(context);
    RunDialogWindow(window, L"Hexalune Question", &QuestionProc);
}

const bool kOpens = RegisterWindow(WindowId::Question, &Open);

}  // namespace

}  // namespace hexalune::win32
