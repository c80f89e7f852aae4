#include "tray/TrayController.h"

namespace hexalune {

void TrayController::AddIcon() { shown_ = icon_.Add(); }

void TrayController::SendToTray() {
    wanted_ = true;
    AddIcon();
    window_.Minimize();
    window_.Hide();
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

void TrayController::OnIconEvent(unsigned code) {
    switch (code) {
        case kIconDoubleClick: OnTrayShowChosen(); break;
        case kIconRightUp:
            switch (menu_.ShowTrayMenu()) {
                case TrayMenuChoice::Show: OnTrayShowChosen(); break;
                case TrayMenuChoice::Exit:
                    if (exitProgram_) exitProgram_();
                    break;
                case TrayMenuChoice::None: break;
            }
            break;
        default: break;  // single clicks and moves do nothing
    }
}

void TrayController::OnTaskbarCreated() {
    if (wanted_) AddIcon();
}

void TrayController::RetryIfMissing() {
    if (wanted_ && !shown_) AddIcon();
}

}  // namespace hexalune
