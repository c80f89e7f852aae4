// The Changing Lines window (WindowId::ChangingLines): what each changing line of the reading
// on screen says, and the hexagram the reading leads to. It follows the reading on screen.
#include <windows.h>

#include <commctrl.h>

#include "core/ControlIds.h"
#include "core/win32/Accessibility.h"
#include "core/win32/DialogWindow.h"
#include "core/win32/Handles.h"
#include "core/win32/ReadingText.h"
#include "core/win32/Win32Platform.h"
#include "core/win32/WindowKit.h"
#include "reading/Catalogue.h"
#include "reading/ChangingLines.h"
#include "reading/win32/HexagramFigure.h"

namespace hexalune::win32 {

namespace {

constexpr int kClientWidth = 7200;  // twips
constexpr int kClientHeight = 8040;

using namespace layout_names;

const ControlSpec kLayout[] = {
    {IDC_LINES_FIGURE, 0, K::Figure, "", 240, 240, 1215, 1155},
    {IDC_LINES_NAME, 0, K::Label, "", 1680, 480, 5280, 600, kGround, kName, kLeft, FontRole::Title},
    {IDC_LINES_HEADING, 0, K::Label, "Changing Lines", 240, 1560, 5000, 240, kGround, kText, kLeft, FontRole::Bold},
    {IDC_LINES_TEXT, 0, K::TextBox, "", 240, 1800, 6720, 2400},
    {IDC_LEADING_HEADING, 0, K::Label, "Leading to", 240, 4320, 5000, 240, kGround, kText, kLeft, FontRole::Bold},
    {IDC_LEADING_FIGURE, 0, K::Figure, "", 240, 4620, 1215, 1155},
    // The hexagram the lines lead to opens among all 64.
    {IDC_LEADING_NAME, 0, K::KeyboardLink, "", 1680, 4860, 5280, 600, kGround, kName, kLeft, FontRole::Title,
     kStartsGroup},
    {IDC_LEADING_TEXT, 0, K::TextBox, "", 240, 5880, 6720, 1440},
    {IDOK, 0, K::DefaultButton, "Close", 5520, 7500, 1440, 375, kGround, kText, kLeft, FontRole::Body, kStartsGroup},
};

struct Window : DialogWindow {
    explicit Window(const WindowContext& context)
        : DialogWindow(WindowId::ChangingLines, context, kLayout, {kClientWidth, kClientHeight}),
          reading(DescribeChangingLines(context.hexagram, context.changingLines)) {}
    ChangingLinesReading reading;
};

void ShowReading(HWND dialog, const ChangingLinesReading& reading) {
    const std::wstring title = FullTitle(reading.hexagram);
    const std::wstring leading = FullTitle(reading.relating);
    // The figures' window text is what screen readers announce for them.
    SetDlgItemTextW(dialog, IDC_LINES_FIGURE, title.c_str());
    SetDlgItemTextW(dialog, IDC_LINES_NAME, title.c_str());
    SetDlgItemTextW(dialog, IDC_LINES_TEXT, WithEditLineBreaks(FromAnsi(reading.text)).c_str());
    SetDlgItemTextW(dialog, IDC_LEADING_FIGURE, leading.c_str());
    SetLinkText(GetDlgItem(dialog, IDC_LEADING_NAME), leading);
    SetDlgItemTextW(dialog, IDC_LEADING_TEXT, FromAnsi(Hexagram(reading.relating).judgmentDescription).c_str());
    SetAccessibleName(GetDlgItem(dialog, IDC_LINES_TEXT), L"What the changing lines say");
    SetAccessibleName(GetDlgItem(dialog, IDC_LEADING_TEXT), L"Leading to " + leading);
    InvalidateRect(GetDlgItem(dialog, IDC_LINES_FIGURE), nullptr, TRUE);
    InvalidateRect(GetDlgItem(dialog, IDC_LEADING_FIGURE), nullptr, TRUE);
    // New reading texts count as a change of text for the clipboard guard.
    GuardClipboard(dialog);
}

void OnInitDialog(HWND dialog, Window& window) {
    ShowReading(dialog, window.reading);
    SetFocus(GetDlgItem(dialog, IDC_LINES_TEXT));
}

// The window follows the reading on screen.
void OnNewReading(HWND dialog, Window& window, const WindowContext& context) {
    window.reading = DescribeChangingLines(context.hexagram, context.changingLines);
    ShowReading(dialog, window.reading);
}

INT_PTR CALLBACK ChangingLinesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogLook look;
    auto* window = DialogPreamble<Window>(dialog, message, wParam, lParam, look);
    if (!window) return FALSE;
    if (look.answered) return look.result;
    switch (message) {
        case WM_INITDIALOG: OnInitDialog(dialog, *window); return FALSE;  // the focus is set
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const int hexagram = item.CtlID == IDC_LINES_FIGURE ? window->reading.hexagram : window->reading.relating;
            DrawHexagramFigure(item.hDC, item.rcItem, hexagram);
            return TRUE;
        }
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (header.idFrom != IDC_LEADING_NAME || (header.code != NM_CLICK && header.code != NM_RETURN)) return FALSE;
            OpenWindow(WindowId::Hexagrams, HexagramContext(window->instance, dialog, window->reading.relating));
            return TRUE;
        }
        case WM_APP_NEW_READING:
        case WM_APP_OPEN_AGAIN: OnNewReading(dialog, *window, *reinterpret_cast<const WindowContext*>(lParam)); return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return FALSE;
    }
}

void Open(const WindowContext& context) {
    if (context.changingLines.empty()) return;
    Window window(context);
    RunDialogWindow(window, L"Changing Lines", &ChangingLinesProc);
}

const bool kOpens = RegisterWindow(WindowId::ChangingLines, &Open);

}  // namespace

}  // namespace hexalune::win32
