#include "links/win32/AboutBox.h"

#include <commctrl.h>

#include "core/LayoutUnits.h"
#include "core/win32/Dialog.h"
#include "core/win32/Handles.h"
#include "core/win32/Win32Platform.h"

#include <string>
#include <vector>

#include "core/ControlIds.h"
#include "core/Version.h"
#include "links/ProgramTexts.h"
#include "links/WebPages.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace hexalune::win32 {
namespace {

constexpr COLORREF kBackground = RGB(255, 192, 192);
constexpr COLORREF kTextColour = RGB(0, 0, 0);
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr wchar_t kFace[] = L"Verdana";

// The box is laid out in twips (1/1440 inch) and turned into pixels for its DPI.
constexpr int kClientWidth = 6105;
constexpr int kClientHeight = 4005;
constexpr int kIconTwips = 480;  // 32 pixels at 96 DPI

enum class FontRole { None, Title, Body, Bold, Link };

struct Place {
    int id;
    int left, top, width, height;  // twips; a height of 0 keeps the control two pixels high
    FontRole font;
};

constexpr Place kPlaces[] = {
    {IDC_ABOUT_ICON, 120, 150, kIconTwips, kIconTwips, FontRole::None},
    {IDC_ABOUT_TITLE, 720, 240, 2430, 240, FontRole::Title},
    {IDC_ABOUT_DESCRIPTION, 210, 750, 5745, 1575, FontRole::Body},
    {IDC_ABOUT_HOME_LINK, 1320, 2400, 4650, 195, FontRole::Link},
    {IDC_ABOUT_PROMOTION, 240, 2640, 5655, 615, FontRole::Bold},
    {IDC_ABOUT_DETAILS_LINK, 3360, 3240, 2610, 195, FontRole::Link},
    {IDC_ABOUT_RULE, -60, 3510, 6150, 0, FontRole::None},  // the rule across the whole width
    {IDOK, 4680, 3600, 1260, 345, FontRole::Bold},
};

// Everything one opening of the box owns.
struct AboutBox {
    HINSTANCE instance = nullptr;
    IShell* shell = nullptr;
    Brush background;
    Font titleFont;
    Font bodyFont;
    Font boldFont;
    Font linkFont;
    Icon bigIcon;
    Icon smallIcon;
    Icon pictureIcon;
    int pictureSize = 32;
};

// A Verdana font; the size is in hundredths of a point (8.25 pt = 825).
Font MakeFont(int hundredths, int dpi, bool bold, bool underline) {
    return Font(hexalune::win32::MakeFont(kFace, hundredths, dpi, bold, underline));
}

Icon LoadProgramIcon(HINSTANCE instance, int size) {
    return Icon(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_HEXALUNE), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

bool IsLink(int id) { return id == IDC_ABOUT_HOME_LINK || id == IDC_ABOUT_DETAILS_LINK; }

// The outer size of the box for the fixed client area at a DPI.
SIZE FrameSize(HWND dialog, int dpi) { return DialogFrameSize(dialog, kClientWidth, kClientHeight, dpi); }

// Fonts, the picture and every control's place for a DPI.
void Arrange(HWND dialog, AboutBox& box, int dpi) {
    Font title = MakeFont(975, dpi, true, false);
    Font body = MakeFont(825, dpi, false, false);
    Font bold = MakeFont(825, dpi, true, false);
    Font link = MakeFont(825, dpi, true, true);
    box.pictureSize = MulDiv(32, dpi, 96);
    box.pictureIcon = LoadProgramIcon(box.instance, box.pictureSize);

    for (const Place& place : kPlaces) {
        HWND control = GetDlgItem(dialog, place.id);
        if (!control) continue;
        const int height = place.height > 0 ? TwipsToPixels(place.height, dpi) : 2;
        MoveWindow(control, TwipsToPixels(place.left, dpi), TwipsToPixels(place.top, dpi),
                   TwipsToPixels(place.width, dpi), height, FALSE);
        HFONT font = place.font == FontRole::Title  ? title.Get()
                     : place.font == FontRole::Body ? body.Get()
                     : place.font == FontRole::Bold ? bold.Get()
                     : place.font == FontRole::Link ? link.Get()
                                                    : nullptr;
        if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    // The controls use the new fonts now, so the old ones can go.
    box.titleFont = std::move(title);
    box.bodyFont = std::move(body);
    box.boldFont = std::move(bold);
    box.linkFont = std::move(link);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}


HWND AddControl(HWND dialog, const AboutBox& box, const wchar_t* className, const std::wstring& text, DWORD style,
                int id) {
    return CreateWindowExW(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, dialog,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), box.instance, nullptr);
}

// A SysLink whose whole text is its one link. It takes the focus with Tab, follows itself
// on a click or Enter (NM_CLICK, NM_RETURN), shows the hand pointer and reads as a link to
// screen readers. Its colour is the one WM_CTLCOLORSTATIC sets, not the system's link colour.
void AddLink(HWND dialog, const AboutBox& box, const std::wstring& text, int id) {
    HWND link = AddControl(dialog, box, WC_LINK, L"<a>" + text + L"</a>", WS_TABSTOP | WS_GROUP, id);
    if (!link) return;
    LITEM item{};
    item.mask = LIF_ITEMINDEX | LIF_STATE;
    item.iLink = 0;
    item.state = LIS_DEFAULTCOLORS;
    item.stateMask = LIS_DEFAULTCOLORS;
    SendMessageW(link, LM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
}

void Build(HWND dialog, AboutBox& box) {
    box.background.Reset(CreateSolidBrush(kBackground));
    box.bigIcon = LoadProgramIcon(box.instance, GetSystemMetrics(SM_CXICON));
    box.smallIcon = LoadProgramIcon(box.instance, GetSystemMetrics(SM_CXSMICON));
    if (box.bigIcon) SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(box.bigIcon.Get()));
    if (box.smallIcon) SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(box.smallIcon.Get()));

    // Created in tab order: OK, then the two links; the rest only shows.
    AddControl(dialog, box, L"BUTTON", L"&OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK);
    AddLink(dialog, box, FromAnsi(kAboutHomePagePrefix) + FromAnsi(WebPageAddress(WebPage::Home)),
            IDC_ABOUT_HOME_LINK);
    AddLink(dialog, box, FromAnsi(kAboutDetailsLink), IDC_ABOUT_DETAILS_LINK);
    AddControl(dialog, box, L"STATIC", L"", SS_OWNERDRAW | WS_GROUP, IDC_ABOUT_ICON);
    AddControl(dialog, box, L"STATIC", FromAnsi(HEXALUNE_WINDOW_CAPTION), SS_LEFT | SS_NOPREFIX, IDC_ABOUT_TITLE);
    AddControl(dialog, box, L"STATIC", FromAnsi(kAboutDescription), SS_LEFT | SS_NOPREFIX, IDC_ABOUT_DESCRIPTION);
    AddControl(dialog, box, L"STATIC", FromAnsi(kAboutPromotion), SS_LEFT | SS_NOPREFIX, IDC_ABOUT_PROMOTION);
    AddControl(dialog, box, L"STATIC", L"", SS_ETCHEDHORZ, IDC_ABOUT_RULE);
    SendMessageW(dialog, DM_SETDEFID, IDOK, 0);

    const int dpi = WindowDpi(dialog);
    Arrange(dialog, box, dpi);
    CentreOnOwnersMonitor(dialog, FrameSize(dialog, dpi));
    SetFocus(GetDlgItem(dialog, IDOK));
}

// The icon picture paints itself on the box's background.
void DrawItem(const AboutBox& box, const DRAWITEMSTRUCT& item) {
    if (item.CtlID != IDC_ABOUT_ICON) return;
    FillRect(item.hDC, &item.rcItem, box.background.Get());
    if (box.pictureIcon) {
        DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, box.pictureIcon.Get(), box.pictureSize,
                   box.pictureSize, 0, nullptr, DI_NORMAL);
    }
}

void FollowLink(const AboutBox& box, int id) {
    if (!box.shell) return;
    OpenWebPage(*box.shell, id == IDC_ABOUT_HOME_LINK ? WebPage::Home : WebPage::FullBranding);
}

INT_PTR HandleMessage(HWND dialog, AboutBox& box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORBTN:
            return reinterpret_cast<INT_PTR>(box.background.Get());
        case WM_CTLCOLORSTATIC: {
            // The labels and the links paint their ground with the brush given here. It is the
            // stock DC brush in the background colour: Wine's SysLink deletes the brush it gets
            // after painting, which a stock object survives and ours would not.
            HDC dc = reinterpret_cast<HDC>(wParam);
            const bool link = IsLink(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
            SetTextColor(dc, link ? kLinkColour : kTextColour);
            SetBkColor(dc, kBackground);
            SetBkMode(dc, TRANSPARENT);
            SetDCBrushColor(dc, kBackground);
            return reinterpret_cast<INT_PTR>(GetStockObject(DC_BRUSH));
        }
        case WM_DRAWITEM:
            DrawItem(box, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            // OK, Esc, the close button, and Enter unless a link has the focus (the link takes it).
            if (id == IDOK || id == IDCANCEL) {
                EndDialog(dialog, id);
                return TRUE;
            }
            return FALSE;
        }
        case WM_NOTIFY: {
            const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
            const int id = static_cast<int>(header.idFrom);
            if ((header.code == NM_CLICK || header.code == NM_RETURN) && IsLink(id)) {
                FollowLink(box, id);
                return TRUE;
            }
            return FALSE;
        }
        case WM_DPICHANGED: {
            const int dpi = HIWORD(wParam);
            Arrange(dialog, box, dpi);
            MoveToSuggested(dialog, *reinterpret_cast<const RECT*>(lParam), FrameSize(dialog, dpi));
            return TRUE;
        }
        case WM_SETTINGCHANGE:
            if (ChangesWindowMetrics(wParam, lParam)) {
                const int dpi = WindowDpi(dialog);
                Arrange(dialog, box, dpi);
                ResizeInPlace(dialog, FrameSize(dialog, dpi));
            }
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        Build(dialog, *reinterpret_cast<AboutBox*>(lParam));
        return FALSE;  // the focus is set already
    }
    auto* box = reinterpret_cast<AboutBox*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return box ? HandleMessage(dialog, *box, message, wParam, lParam) : FALSE;
}

}  // namespace

void ShowAboutBox(HINSTANCE instance, HWND owner, IShell& shell) {
    AboutBox box;
    box.instance = instance;
    box.shell = &shell;
    const std::vector<WORD> frame = EmptyDialogTemplate(FromAnsi(HEXALUNE_WINDOW_CAPTION));
    DialogBoxIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(frame.data()), owner, &AboutProc,
                            reinterpret_cast<LPARAM>(&box));
}

}  // namespace hexalune::win32
