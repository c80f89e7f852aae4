// The notification-area icon and its popup menu.
#pragma once

#include <windows.h>

#include "core/win32/Messages.h"
#include "tray/TrayController.h"

namespace hexalune::win32 {

// The icon's callbacks arrive at the hook window as WM_APP_TRAYICON. The icon asks for version 4
// of them: the event in the low word of lParam, the icon's id in the high word, and in wParam
// the point where a menu belongs (the pointer, or the icon when the keyboard chose it).
inline constexpr UINT kTrayIconId = 1;

// The menu's point of a callback. A shell that kept the old layout (the id in wParam, the
// mouse message in lParam) gives no point: the pointer's position stands in.
ScreenPoint TrayAnchor(WPARAM wParam, LPARAM lParam);

class TrayIcon final : public ITrayIcon {
public:
    void Attach(HWND hook, HICON icon) {
        hook_ = hook;
        icon_ = icon;
    }
    bool Add() override;
    void Remove() override;
    void ReturnFocus() override;
    void ShowBalloon(const std::string& title, const std::string& text) override;

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
    TrayMenuChoice ShowTrayMenu(ScreenPoint at) override;

private:
    HWND owner_ = nullptr;
    HMENU popup_ = nullptr;  // owned by the main window's menu resource
};

}  // namespace hexalune::win32
