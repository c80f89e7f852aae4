#include "tray/win32/TrayIcon.h"

#include <shellapi.h>

#include "core/ControlIds.h"

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

bool TrayIcon::Add() {
    NOTIFYICONDATAW data = Record(hook_);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_APP_TRAYICON;
    data.hIcon = icon_;
    lstrcpynW(data.szTip, L"Recent", ARRAYSIZE(data.szTip));
    if (Shell_NotifyIconW(NIM_ADD, &data)) return true;
    // Already there (the shell kept it): refreshing it counts as success.
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void TrayIcon::Remove() {
    NOTIFYICONDATAW data = Record(hook_);
    Shell_NotifyIconW(NIM_DELETE, &data);
}

TrayMenuChoice TrayMenu::ShowTrayMenu() {
    if (!popup_) return TrayMenuChoice::None;
    POINT at{};
    GetCursorPos(&at);
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
