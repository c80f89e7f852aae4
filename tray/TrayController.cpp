#include "tray/TrayController.h"

namespace hexalune {

namespace {

// The events a click or a key on the icon is made of: the mouse buttons, and the shell's
// selection and menu events. Moves, tooltips and balloons (NIN_POPUPOPEN, NIN_BALLOONSHOW...)
// come between them and say nothing about the click.
bool IsClickOrKey(unsigned code) {
    constexpr unsigned kFirstButton = 0x201, kLastButton = 0x209;  // left down to middle double-click
    return (code >= kFirstButton && code <= kLastButton) || code == kIconContextMenu || code == kIconSelect ||
           code == kIconKeySelect;
}

}  // namespace

void TrayController::AddIcon() { shown_ = icon_.Add(); }

void TrayController::SendToTray() {
    wanted_ = true;
    AddIcon();
    window_.Minimize();
    window_.Hide();
    SayWhereTheWindowWent();
}

void TrayController::SayWhereTheWindowWent() {
    // Once ever: the mark is set only when the shell reports the balloon shown, so one it held
    // back is asked for again the next time the window comes here. Not while the user presents.
    if (!shown_ || hints_.ReadSetting(kTrayBalloonShownHint) == kTrueText || notifications_.UserIsBusy()) return;
    icon_.ShowBalloon(kStillRunningTitle, kStillRunningText);
}

void TrayController::RemoveTrayIcon() {
    wanted_ = false;
    shown_ = false;
    icon_.Remove();
}

void TrayController::OnTrayShowChosen() {
    window_.Show();
    window_.Restore();
    window_.CenterOnScreen();
    RemoveTrayIcon();
}

void TrayController::OnIconEvent(unsigned code, ScreenPoint anchor) {
    if (code == kIconBalloonShown) {
        hints_.WriteSetting(kTrayBalloonShownHint, kTrueText);
        return;
    }
    // Events still queued when the window came back (the selection after a double-click,
    // Enter reported twice) have no icon to act for.
    if (!wanted_ || !IsClickOrKey(code)) return;
    const unsigned previous = lastEvent_;
    lastEvent_ = code;  // before the menu opens: its loop delivers the events that follow
    switch (code) {
        case kIconDoubleClick:
        case kIconKeySelect: OnTrayShowChosen(); break;
        case kIconSelect:
            // The selection that follows a left click is the mouse's: one click does nothing.
            if (previous != kIconLeftUp) OnTrayShowChosen();
            break;
        case kIconContextMenu:
            // A right click reports its release, then the context menu: one menu for both.
            if (previous != kIconRightUp) OpenMenu(anchor);
            break;
        case kIconRightUp: OpenMenu(anchor); break;
        default: break;  // a button's press or release alone does nothing
    }
}

void TrayController::OpenMenu(ScreenPoint at) {
    switch (menu_.ShowTrayMenu(at)) {
        case TrayMenuChoice::Show: OnTrayShowChosen(); break;
        case TrayMenuChoice::Exit:
            if (exitProgram_) exitProgram_();
            break;
        case TrayMenuChoice::None: icon_.ReturnFocus(); break;
    }
}

void TrayController::OnTaskbarCreated() {
    if (wanted_) AddIcon();
}

void TrayController::RetryIfMissing() {
    if (wanted_ && !shown_) AddIcon();
}

}  // namespace hexalune
