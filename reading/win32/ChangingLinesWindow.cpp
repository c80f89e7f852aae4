#include "reading/win32/ChangingLinesWindow.h"

#include <commctrl.h>

#include "core/ControlIds.h"
#include "core/LayoutUnits.h"
#include "core/win32/Accessibility.h"
#include "core/win32/Dialog.h"
#include "core/win32/Handles.h"
#include "core/win32/ReadingText.h"
#include "core/win32/Win32Platform.h"
#include "reading/Catalogue.h"
#include "reading/ChangingLines.h"
#include "reading/win32/HexagramFigure.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace hexalune::win32 {

namespace {

constexpr UINT WM_APP_NEW_READING = WM_APP + 2;  // lParam: the ChangingLinesReading to show

enum class Look { Heading, Name, Text, Plain };

struct Place {
    int id;
    const wchar_t* className;
    const wchar_t* caption;
    DWORD style;
    Look look;
    int left, top, width, height;  // twips
};

constexpr DWORD kReadingTextStyle = ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP;
constexpr int kClientWidth = 7200;
constexpr int kClientHeight = 8040;
const Place kPlaces[] = {
    {IDC_LINES_FIGURE, L"STATIC", L"", SS_OWNERDRAW, Look::Plain, 240, 240, 1215, 1155},
    {IDC_LINES_NAME, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, Look::Name, 1680, 480, 5280, 600},
    {IDC_LINES_HEADING, L"STATIC", L"Changing Lines", SS_LEFT | SS_NOPREFIX, Look::Heading, 240, 1560, 5000, 240},
    {IDC_LINES_TEXT, L"EDIT", L"", kReadingTextStyle, Look::Text, 240, 1800, 6720, 2400},
    {IDC_LEADING_HEADING, L"STATIC", L"Leading to", SS_LEFT | SS_NOPREFIX, Look::Heading, 240, 4320, 5000, 240},
    {IDC_LEADING_FIGURE, L"STATIC", L"", SS_OWNERDRAW, Look::Plain, 240, 4620, 1215, 1155},
    {IDC_LEADING_NAME, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, Look::Name, 1680, 4860, 5280, 600},
    {IDC_LEADING_TEXT, L"EDIT", L"", kReadingTextStyle, Look::Text, 240, 5880, 6720, 1440},
    {IDOK, L"BUTTON", L"Close", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, Look::Text, 5520, 7500, 1440, 375},
};

struct Window {
    HINSTANCE instance = nullptr;
    ChangingLinesReading reading;
    Font headingFont, nameFont, textFont;
    Brush ground{CreateSolidBrush(static_cast<COLORREF>(kLightPink))};
};

HWND openWindow = nullptr;  // one at a time

std::wstring HexagramTitle(int hexagram) {
    return FromAnsi("Hexagram " + std::to_string(hexagram) + ", " + Hexagram(hexagram).name);
}

void ShowReading(HWND dialog, const ChangingLinesReading& reading) {
    const std::wstring title = HexagramTitle(reading.hexagram);
    const std::wstring leading = HexagramTitle(reading.relating);
    // The figures' window text is what screen readers announce for them.
    SetDlgItemTextW(dialog, IDC_LINES_FIGURE, title.c_str());
    SetDlgItemTextW(dialog, IDC_LINES_NAME, title.c_str());
    SetDlgItemTextW(dialog, IDC_LINES_TEXT, WithEditLineBreaks(FromAnsi(reading.text)).c_str());
    SetDlgItemTextW(dialog, IDC_LEADING_FIGURE, leading.c_str());
    SetDlgItemTextW(dialog, IDC_LEADING_NAME, leading.c_str());
    SetDlgItemTextW(dialog, IDC_LEADING_TEXT, FromAnsi(Hexagram(reading.relating).judgmentDescription).c_str());
    SetAccessibleName(GetDlgItem(dialog, IDC_LINES_TEXT), L"What the changing lines say");
    SetAccessibleName(GetDlgItem(dialog, IDC_LEADING_TEXT), L"Leading to " + leading);
    InvalidateRect(GetDlgItem(dialog, IDC_LINES_FIGURE), nullptr, TRUE);
    InvalidateRect(GetDlgItem(dialog, IDC_LEADING_FIGURE), nullptr, TRUE);
    // New reading texts count as a change of text for the clipboard guard.
    GuardClipboard(dialog);
}

// Fonts and every control's place for a DPI.
void Arrange(HWND dialog, Window& window, int dpi) {
    Font heading(MakeFont(L"Verdana", 825, dpi, true));
    Font name(MakeFont(L"Verdana", 975, dpi, true));
    Font text(MakeFont(L"Verdana", 825, dpi));
    for (const Place& place : kPlaces) {
        HWND control = GetDlgItem(dialog, place.id);
        MoveWindow(control, TwipsToPixels(place.left, dpi), TwipsToPixels(place.top, dpi),
                   TwipsToPixels(place.width, dpi), TwipsToPixels(place.height, dpi), FALSE);
        const HFONT font = place.look == Look::Heading ? heading.Get() : place.look == Look::Name ? name.Get() : text.Get();
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    // The controls use the new fonts now, so the old ones can go.
    window.headingFont = std::move(heading);
    window.nameFont = std::move(name);
    window.textFont = std::move(text);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void OnInitDialog(HWND dialog, Window& window) {
    for (const Place& place : kPlaces) {
        const bool readingText = place.style == kReadingTextStyle;
        HWND control = CreateWindowExW(readingText ? WS_EX_CLIENTEDGE : 0, place.className, place.caption,
                                       WS_CHILD | WS_VISIBLE | place.style, 0, 0, 0, 0, dialog,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)), window.instance,
                                       nullptr);
        if (control && readingText) MakeReadingText(control);
    }
    const int dpi = WindowDpi(dialog);
    Arrange(dialog, window, dpi);
    CentreOnOwnersMonitor(dialog, DialogFrameSize(dialog, kClientWidth, kClientHeight, dpi));
    ShowReading(dialog, window.reading);
    SetFocus(GetDlgItem(dialog, IDC_LINES_TEXT));
    openWindow = dialog;
}

INT_PTR CALLBACK ChangingLinesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        OnInitDialog(dialog, *reinterpret_cast<Window*>(lParam));
        return FALSE;  // the focus is set
    }
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!window) return FALSE;
    switch (message) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            const bool name = GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_LINES_NAME ||
                              GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_LEADING_NAME;
            SetTextColor(dc, name ? RGB(255, 0, 0) : RGB(0, 0, 0));
            SetBkColor(dc, static_cast<COLORREF>(kLightPink));
            return reinterpret_cast<INT_PTR>(window->ground.Get());
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const int hexagram = item.CtlID == IDC_LINES_FIGURE ? window->reading.hexagram : window->reading.relating;
            DrawHexagramFigure(item.hDC, item.rcItem, hexagram);
            return TRUE;
        }
        case WM_APP_NEW_READING:
            window->reading = *reinterpret_cast<const ChangingLinesReading*>(lParam);
            ShowReading(dialog, window->reading);
            return TRUE;
        case WM_DPICHANGED:
            // Moved to a screen of another DPI: it stays where the system puts it.
            Arrange(dialog, *window, HIWORD(wParam));
            MoveToSuggested(dialog, *reinterpret_cast<const RECT*>(lParam),
                            DialogFrameSize(dialog, kClientWidth, kClientHeight, HIWORD(wParam)));
            return TRUE;
        case WM_SETTINGCHANGE:
            if (ChangesWindowMetrics(wParam, lParam)) {
                const int dpi = WindowDpi(dialog);
                Arrange(dialog, *window, dpi);
                ResizeInPlace(dialog, DialogFrameSize(dialog, kClientWidth, kClientHeight, dpi));
            }
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
        case WM_DESTROY:
            if (openWindow == dialog) openWindow = nullptr;
            return FALSE;
        default: return FALSE;
    }
}

}  // namespace

void ShowChangingLinesWindow(HINSTANCE instance, HWND owner, int hexagram, const std::string& changingLines) {
    if (openWindow) {
        UpdateChangingLinesWindow(hexagram, changingLines);
        SetForegroundWindow(openWindow);
        return;
    }
    Window window;
    window.instance = instance;
    window.reading = DescribeChangingLines(hexagram, changingLines);
    const std::vector<WORD> frame = EmptyDialogTemplate(L"Changing Lines");
    DialogBoxIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(frame.data()), owner, &ChangingLinesProc,
                            reinterpret_cast<LPARAM>(&window));
}

void UpdateChangingLinesWindow(int hexagram, const std::string& changingLines) {
    if (!openWindow) return;
    const ChangingLinesReading reading = DescribeChangingLines(hexagram, changingLines);
    SendMessageW(openWindow, WM_APP_NEW_READING, 0, reinterpret_cast<LPARAM>(&reading));
}

}  // namespace hexalune::win32
