// The About box (WindowId::About): the program, its home page, and where to read more.
#include <windows.h>

#include <commctrl.h>

#include "core/win32/DialogWindow.h"
#include "core/win32/Handles.h"
#include "core/win32/Win32Platform.h"
#include "core/win32/WindowKit.h"

#include <string>

#include "core/ControlIds.h"
#include "core/Version.h"
#include "links/ProgramTexts.h"
#include "links/WebPages.h"

namespace hexalune::win32 {
namespace {

constexpr int kClientWidth = 6105;  // twips
constexpr int kClientHeight = 4005;

using namespace layout_names;

// In tab order: OK, then the two links; the rest only shows.
constexpr ControlSpec kLayout[] = {
    {IDOK, 0, K::DefaultButton, "&OK", 4680, 3600, 1260, 345, kGround, kText, kLeft, FontRole::Bold, kStartsGroup},
    {IDC_ABOUT_HOME_LINK, 0, K::KeyboardLink, "", 1320, 2400, 4650, 195, kGround, kLinkColor, kLeft, FontRole::Link,
     kStartsGroup},
    {IDC_ABOUT_DETAILS_LINK, 0, K::KeyboardLink, kAboutDetailsLink, 3360, 3240, 2610, 195, kGround, kLinkColor,
     kLeft, FontRole::Link, kStartsGroup},
    {IDC_ABOUT_ICON, 0, K::Figure, "", 120, 150, 480, 480, kGround, kText, kLeft, FontRole::None, kStartsGroup},
    {IDC_ABOUT_TITLE, 0, K::Label, HEXALUNE_WINDOW_CAPTION, 720, 240, 2430, 240, kGround, kText, kLeft,
     FontRole::Title},
    {IDC_ABOUT_DESCRIPTION, 0, K::Label, kAboutDescription, 210, 750, 5745, 1575},
    {IDC_ABOUT_PROMOTION, 0, K::Label, kAboutPromotion, 240, 2640, 5655, 615, kGround, kText, kLeft, FontRole::Bold},
    // The rule across the whole width.
    {IDC_ABOUT_RULE, 0, K::Rule, "", -60, 3510, 6150, 0, kGround, kText, kLeft, FontRole::None},
};

// Everything one opening of the box owns.
struct AboutBox : DialogWindow {
    explicit AboutBox(const WindowContext& context)
        : DialogWindow(WindowId::About, context, kLayout, {kClientWidth, kClientHeight}), shell(context.shell) {}
    IShell* shell;
    Icon bigIcon;
    Icon smallIcon;
    Icon pictureIcon;
    int pictureSize = 32;
};

bool IsLink(int id) { return id == IDC_ABOUT_HOME_LINK || id == IDC_ABOUT_DETAILS_LINK; }

// The picture of the program's icon, 32 pixels at 96 DPI.
void LoadPicture(AboutBox& box, int dpi) {
    box.pictureSize = MulDiv(32, dpi, 96);
    box.pictureIcon = LoadProgramIcon(box.instance, box.pictureSize, box.pictureSize);
}

void Build(HWND dialog, AboutBox& box) {
    box.bigIcon = LoadProgramIcon(box.instance, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CXICON));
    box.smallIcon = LoadProgramIcon(box.instance, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CXSMICON));
    if (box.bigIcon) SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(box.bigIcon.Get()));
    if (box.smallIcon) SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(box.smallIcon.Get()));
    LoadPicture(box, WindowDpi(dialog));
    // The home page's link names the address, which the build sets.
    SetLinkText(GetDlgItem(dialog, IDC_ABOUT_HOME_LINK),
                FromAnsi(std::string(kAboutHomePagePrefix) + WebPageAddress(WebPage::Home)));
    SendMessageW(dialog, DM_SETDEFID, IDOK, 0);
    SetFocus(GetDlgItem(dialog, IDOK));
}

// The icon picture paints itself on the box's background.
void DrawItem(AboutBox& box, const DRAWITEMSTRUCT& item) {
    if (item.CtlID != IDC_ABOUT_ICON) return;
    FillRect(item.hDC, &item.rcItem, box.controls.Brush(ThemeColor(ColorRole::Ground)));
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
        case WM_INITDIALOG: Build(dialog, box); return FALSE;  // the focus is set already
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
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogLook look;
    auto* box = DialogPreamble<AboutBox>(dialog, message, wParam, lParam, look);
    if (!box) return FALSE;
    if (look.answered) {
        // The picture follows the DPI; the rest of the look is every dialog's.
        if (message == WM_DPICHANGED) LoadPicture(*box, HIWORD(wParam));
        return look.result;
    }
    return HandleMessage(dialog, *box, message, wParam, lParam);
}

void Open(const WindowContext& context) {
    AboutBox box(context);
    RunDialogWindow(box, FromAnsi(HEXALUNE_WINDOW_CAPTION), &AboutProc);
}

const bool kOpens = RegisterWindow(WindowId::About, &Open);

}  // namespace

}  // namespace hexalune::win32
