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

BOOL CALLBACK CloseOtherWindow(HWND window, LPARAM main) {
    if (window != reinterpret_cast<HWND>(main) && IsWindowVisible(window)) SendMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

Icon LoadProgramIcon(HINSTANCE instance, int width, int height) {
    return Icon(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_HEXALUNE), IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
}

void CloseOtherWindows(HWND main) {
    EnumThreadWindows(GetCurrentThreadId(), CloseOtherWindow, reinterpret_cast<LPARAM>(main));
}

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
            break;
        default: break;
    }
    // At WM_DESTROY this remembers a sizable window's place, and leaves the message to the window.
    look.answered =
        HandleWindowLook(dialog, window.controls, window.clientTwips, message, wParam, lParam, look.result);
}

}  // namespace hexalune::win32
