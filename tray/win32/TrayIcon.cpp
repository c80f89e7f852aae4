#include "tray/win32/TrayIcon.h"

#include <shellapi.h>
#include <windowsx.h>

#include "core/ControlIds.h"
#include "core/win32/Win32Platform.h"

namespace hexalune::win32 {

namespace {

NOTIFYICONDATAW Record(HWND hook) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = hook;
    data.uID = kTrayIconId;
    return data;
}

}  // namespace

ScreenPoint TrayAnchor(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(lParam) == kTrayIconId) return {GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)};
    POINT at{};
    GetCursorPos(&at);
    return {at.x, at.y};
}

bool TrayIcon::Add() {
    NOTIFYICONDATAW data = Record(hook_);
    // Under version 4 the shell shows the tooltip only when asked to (NIF_SHOWTIP).
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data.uCallbackMessage = WM_APP_TRAYICON;
    data.hIcon = icon_;
    lstrcpynW(data.szTip, L"Recent", ARRAYSIZE(data.szTip));
    // Already there (the shell kept it): refreshing it counts as success.
    if (!Shell_NotifyIconW(NIM_ADD, &data) && !Shell_NotifyIconW(NIM_MODIFY, &data)) return false;
    // Version 4 reports the keyboard too (Space, Enter, the menu key) and where a menu belongs.
    // Asked for after every add: a shell that restarted has forgotten it.
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &data);
    return true;
}

void TrayIcon::Remove() {
    NOTIFYICONDATAW data = Record(hook_);
    Shell_NotifyIconW(NIM_DELETE, &data);
}

void TrayIcon::ReturnFocus() {
    NOTIFYICONDATAW data = Record(hook_);
    Shell_NotifyIconW(NIM_SETFOCUS, &data);
}

void TrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
    NOTIFYICONDATAW data = Record(hook_);
    data.uFlags = NIF_INFO;
    lstrcpynW(data.szInfoTitle, FromAnsi(title).c_str(), ARRAYSIZE(data.szInfoTitle));
    lstrcpynW(data.szInfo, FromAnsi(text).c_str(), ARRAYSIZE(data.szInfo));
    // Held back in quiet time (the first hour after a new user's first log-on, presenting, ...);
    // the shell then sends no NIN_BALLOONSHOW.
    data.dwInfoFlags = NIIF_INFO | NIIF_RESPECT_QUIET_TIME;
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

TrayMenuChoice TrayMenu::ShowTrayMenu(ScreenPoint at) {
    if (!popup_) return TrayMenuChoice::None;
    SetMenuDefaultItem(popup_, IDM_TRAY_SHOW, FALSE);
    // The menu closes when the user clicks elsewhere only if its owner is in the foreground.
    SetForegroundWindow(owner_);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(popup_, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, owner_, nullptr));
    PostMessageW(owner_, WM_NULL, 0, 0);
    if (chosen == IDM_TRAY_SHOW) return TrayMenuChoice::Show;
    if (chosen == IDM_TRAY_EXIT) return TrayMenuChoice::Exit;
    return TrayMenuChoice::None;
}

}  // namespace hexalune::win32
