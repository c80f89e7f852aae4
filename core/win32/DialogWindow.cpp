#include "core/win32/DialogWindow.h"

#include <map>

namespace hexalune::win32 {

namespace {

struct Registered {
    WindowOpener opener = nullptr;
    HWND open = nullptr;  // the window while it is open
};

std::map<WindowId, Registered>& Windows() {
    static std::map<WindowId, Registered> windows;
    return windows;
}

}  // namespace

bool RegisterWindow(WindowId id, WindowOpener opener) {
    Windows()[id].opener = opener;
    return true;
}

void OpenWindow(WindowId id, const WindowContext& context) {
    const Registered& window = Windows()[id];
    if (window.open) {
        SendMessageW(window.open, WM_APP_OPEN_AGAIN, 0, reinterpret_cast<LPARAM>(&context));
        SetForegroundWindow(window.open);
        return;
    }
    if (window.opener) window.opener(context);
}

void TellOpenWindows(UINT message, const WindowContext& context) {
    for (const auto& [id, window] : Windows()) {
        if (window.open) SendMessageW(window.open, message, 0, reinterpret_cast<LPARAM>(&context));
    }
}

void DialogPreambleOf(HWND dialog, DialogWindow& window, UINT message, WPARAM wParam, LPARAM lParam,
                      DialogLook& look) {
    switch (message) {
        case WM_INITDIALOG:
            MakeDialogControls(dialog, window.controls, window.clientTwips);
            Windows()[window.id].open = dialog;
            return;
        case WM_DESTROY:
            if (Windows()[window.id].open == dialog) Windows()[window.id].open = nullptr;
            return;
        default:
            look.answered = HandleDialogLook(dialog, window.controls, window.clientTwips, message, wParam, lParam,
                                             look.result);
    }
}

}  // namespace hexalune::win32
