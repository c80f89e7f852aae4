// The notification-area icon and its popup menu.
#pragma once

#include <windows.h>

#include "tray/TrayController.h"

namespace hexalune::win32 {

// The icon's callbacks arrive at the hook window as this message, with the mouse event in lParam.
inline constexpr UINT WM_APP_TRAYICON = WM_APP + 1;
inline constexpr UINT kTrayIconId = 1;

class TrayIcon final : public ITrayIcon {
public:
    void Attach(HWND hook, HICON icon) {
        hook_ = hook;
        icon_ = icon;
    }
    bool Add() override;
    void Remove() override;

private:
    HWND hook_ = nullptr;
    HICON icon_ = nullptr;
};

class TrayMenu final : public ITrayMenu {
public:
    void Attach(HWND owner, HMENU popup) {
        owner_ = owner;
        popup_ = popup;
    }
    TrayMenuChoice ShowTrayMenu() override;

private:
    HWND owner_ = nullptr;
    HMENU popup_ = nullptr;  // owned by the main window's menu resource
};

}  // namespace hexalune::win32
