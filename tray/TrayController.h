// The notification-area icon: sending the window there, bringing it back, and what the mouse and the
// keyboard do to the icon.
#pragma once

#include <functional>
#include <string>

#include "core/Platform.h"
#include "core/SettingsStore.h"
#include "core/WindowState.h"

namespace hexalune {

// The icon itself: one icon with the program's picture and the tooltip "Recent".
class ITrayIcon {
public:
    virtual ~ITrayIcon() = default;
    virtual bool Add() = 0;  // true when the shell took the icon (or already had it)
    virtual void Remove() = 0;
    // Gives the keyboard back to the notification area (after the icon's menu was cancelled).
    virtual void ReturnFocus() = 0;
    // Asks the shell to show an information balloon at the icon; the shell may hold it back
    // (quiet time, the user presenting), and reports it when it really shows it.
    virtual void ShowBalloon(const std::string& title, const std::string& text) = 0;
};

// The word the icon gives the first time ever the window goes to the notification area.
inline constexpr char kStillRunningTitle[] = "Hexalune is still running";
inline constexpr char kStillRunningText[] =
    "It waits here in the notification area and comes back at your display time. Click the icon to open it.";
// Under the hints store: "True" once the shell has shown that balloon.
inline constexpr char kTrayBalloonShownHint[] = "TrayBalloonShown";

enum class TrayMenuChoice { None, Show, Exit };

// A point on the screen, in pixels.
struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// Shows the icon's popup menu ("Show" in bold, "Exit") at the given point and returns the choice.
class ITrayMenu {
public:
    virtual ~ITrayMenu() = default;
    virtual TrayMenuChoice ShowTrayMenu(ScreenPoint at) = 0;
};

// Event codes the shell reports for the icon (version 4 of its callbacks).
inline constexpr unsigned kIconMouseMove = 0x200;
inline constexpr unsigned kIconLeftUp = 0x202;       // left button released
inline constexpr unsigned kIconDoubleClick = 0x203;  // left button double-click
inline constexpr unsigned kIconRightUp = 0x205;      // right button released
inline constexpr unsigned kIconContextMenu = 0x7B;   // the menu key or Shift+F10; also after each right click
inline constexpr unsigned kIconSelect = 0x400;       // after each left click; Enter on the icon
inline constexpr unsigned kIconKeySelect = 0x401;    // Space or Enter on the icon
inline constexpr unsigned kIconBalloonShown = 0x402;  // the shell really showed the balloon

class TrayController {
public:
    // `hints` keeps what the program has told the user once; `notifications` says when the user
    // must not be disturbed.
    TrayController(ITrayIcon& icon, ITrayMenu& menu, IWindowState& window, ISettingsStore& hints,
                   const INotificationState& notifications, std::function<void()> exitProgram)
        : icon_(icon), menu_(menu), window_(window), hints_(hints), notifications_(notifications),
          exitProgram_(std::move(exitProgram)) {}

    void SendToTray();
    void RemoveTrayIcon();
    void OnTrayShowChosen();  // the "Show" action
    // `anchor`: where the shell says a menu belongs (the pointer, or the icon for the keyboard).
    void OnIconEvent(unsigned code, ScreenPoint anchor);
    // The shell's notification area was (re)created: put the icon back if it belongs there.
    void OnTaskbarCreated();
    // Called on every tick: an icon that the shell refused (not ready at log-on) is tried again.
    void RetryIfMissing();

    bool IconWanted() const { return wanted_; }
    bool IconShown() const { return shown_; }

private:
    void AddIcon();
    void OpenMenu(ScreenPoint at);
    void SayWhereTheWindowWent();

    ITrayIcon& icon_;
    ITrayMenu& menu_;
    IWindowState& window_;
    ISettingsStore& hints_;
    const INotificationState& notifications_;
    std::function<void()> exitProgram_;
    bool wanted_ = false;  // the icon belongs in the notification area
    bool shown_ = false;   // the shell last accepted it
    unsigned lastEvent_ = 0;  // the icon's last event of a click or key (see OnIconEvent)
};

}  // namespace hexalune
