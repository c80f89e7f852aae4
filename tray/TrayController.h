// The notification-area icon: sending the window there, bringing it back, and the icon's mouse events.
#pragma once

#include <functional>

#include "core/WindowState.h"

namespace hexalune {

// The icon itself: one icon with the program's picture and the tooltip "Recent".
class ITrayIcon {
public:
    virtual ~ITrayIcon() = default;
    virtual bool Add() = 0;  // true when the shell took the icon (or already had it)
    virtual void Remove() = 0;
};

enum class TrayMenuChoice { None, Show, Exit };

// Shows the icon's popup menu ("Show" in bold, "Exit") at the pointer and returns the choice.
class ITrayMenu {
public:
    virtual ~ITrayMenu() = default;
    virtual TrayMenuChoice ShowTrayMenu() = 0;
};

// Mouse event codes the shell reports for the icon.
inline constexpr unsigned kIconDoubleClick = 0x203;  // left button double-click
inline constexpr unsigned kIconRightUp = 0x205;      // right button released

class TrayController {
public:
    TrayController(ITrayIcon& icon, ITrayMenu& menu, IWindowState& window, std::function<void()> exitProgram)
        : icon_(icon), menu_(menu), window_(window), exitProgram_(std::move(exitProgram)) {}

    void SendToTray();
    void RemoveTrayIcon();
    void OnTrayShowChosen();  // the "Show" action
    void OnIconEvent(unsigned code);
    // The shell's notification area was (re)created: put the icon back if it belongs there.
    void OnTaskbarCreated();
    // Called on every tick: an icon that the shell refused (not ready at log-on) is tried again.
    void RetryIfMissing();

    bool IconWanted() const { return wanted_; }
    bool IconShown() const { return shown_; }

private:
    void AddIcon();

    ITrayIcon& icon_;
    ITrayMenu& menu_;
    IWindowState& window_;
    std::function<void()> exitProgram_;
    bool wanted_ = false;  // the icon belongs in the notification area
    bool shown_ = false;   // the shell last accepted it
};

}  // namespace hexalune
