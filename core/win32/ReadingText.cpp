#include "core/win32/ReadingText.h"

#include <commctrl.h>

namespace hexalune::win32 {

namespace {

constexpr UINT_PTR kReadingTextSubclass = 1;
// Marks a reading text, for the clipboard guard to know one.
constexpr wchar_t kReadingTextProperty[] = L"Hexalune.ReadingText";

LRESULT CALLBACK ReadingTextProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MOUSEMOVE: GuardClipboard(hwnd); break;
        case WM_GETDLGCODE:
            // The texts cannot be typed into: Tab and Enter move on through the window.
            return DefSubclassProc(hwnd, message, wParam, lParam) & ~(DLGC_WANTTAB | DLGC_WANTALLKEYS);
        case WM_NCDESTROY:
            RemovePropW(hwnd, kReadingTextProperty);
            RemoveWindowSubclass(hwnd, ReadingTextProc, kReadingTextSubclass);
            break;
        default: break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void MakeReadingText(HWND edit) {
    SetWindowSubclass(edit, ReadingTextProc, kReadingTextSubclass, 0);
    SetPropW(edit, kReadingTextProperty, reinterpret_cast<HANDLE>(1));
    // Narrow margins: a verse line has the box's whole width to fit on one row.
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(2, 2));
}

void GuardClipboard(HWND anyOfOurs) {
    HWND owner = GetClipboardOwner();
    if (!owner) return;
    // Emptying makes us the owner of an empty clipboard: that one is left alone, so that a
    // copy is emptied once and not again on every move (each empty wakes every clipboard
    // listener, the clipboard history and remote-desktop sharing among them).
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) && !IsClipboardFormatAvailable(CF_TEXT)) return;
    // An edit control that copies opens the clipboard for itself, so the owner is the box the
    // text came from. Only a reading text's copy goes: what the reader copied out of a box
    // they write in (a journal note) is theirs, and so is anything another program put there.
    DWORD process = 0;
    GetWindowThreadProcessId(owner, &process);
    if (process != GetCurrentProcessId()) return;
    if (!GetPropW(owner, kReadingTextProperty)) return;
    if (OpenClipboard(anyOfOurs)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

std::wstring WithEditLineBreaks(const std::wstring& text) {
    std::wstring result;
    result.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            // CR LF, a lone LF and a lone CR are each one line break.
            result += L"\r\n";
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace hexalune::win32
