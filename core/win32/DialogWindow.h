// The program's windows besides the main one: which window a command opens, one of each at a
// time, and what every one of them keeps and does first.
//
// A window is a modal dialog made from its layout table. Its .cpp names the function that
// opens it once, among its statics:
//     const bool kOpens = RegisterWindow(WindowId::Journal, &Open);
// and its dialog procedure starts with the preamble:
//     DialogLook look;
//     auto* window = DialogPreamble<Window>(dialog, message, wParam, lParam, look);
//     if (!window) return FALSE;
//     if (look.answered) return look.result;
// where Window is its state, a DialogWindow.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "core/ControlIds.h"
#include "core/Platform.h"
#include "core/SettingsStore.h"
#include "core/win32/Messages.h"
#include "core/win32/WindowKit.h"

namespace hexalune {
class Journal;
}

namespace hexalune::win32 {

// What a window is opened with: its owner, and what of the program it may show or change.
struct WindowContext {
    HINSTANCE instance = nullptr;
    HWND owner = nullptr;
    int hexagram = 1;           // the reading on show, or the hexagram to show
    std::string changingLines;  // the reading's changing lines
    IShell* shell = nullptr;
    Journal* journal = nullptr;  // every reading drawn
    ISettingsStore* settings = nullptr;
};

// What a window opened from another to show one hexagram is given.
inline WindowContext HexagramContext(HINSTANCE instance, HWND owner, int hexagram) {
    WindowContext context;
    context.instance = instance;
    context.owner = owner;
    context.hexagram = hexagram;
    return context;
}

// Opens the window, owned by the context's owner, and returns when it is closed.
using WindowOpener = void (*)(const WindowContext& context);

// The window `id` is opened by `opener`; each window says so once, at start-up. Returns true.
bool RegisterWindow(WindowId id, WindowOpener opener);

// Opens the window. One of each at a time: while it is open, it is handed the context instead
// (WM_APP_OPEN_AGAIN) and brought to the front.
void OpenWindow(WindowId id, const WindowContext& context);

// Sends `message` to every open window, with the context as lParam.
void TellOpenWindows(UINT message, const WindowContext& context);

// The program's icon (the resource IDI_HEXALUNE) at a size.
Icon LoadProgramIcon(HINSTANCE instance, int width, int height);

// Asks each of the program's visible top-level windows but `main` (an open window, a message
// box) to close, so that its own close handling runs before the main window goes.
void CloseOtherWindows(HWND main);

// What every window keeps: what it was opened with, its controls, and its client area as laid out.
struct DialogWindow {
    DialogWindow(WindowId id, const WindowContext& context, std::span<const ControlSpec> layout, SIZE clientTwips)
        : id(id), instance(context.instance), owner(context.owner), controls(context.instance, layout),
          clientTwips(clientTwips) {}
    WindowId id;
    HINSTANCE instance;
    HWND owner;
    Controls controls;
    SIZE clientTwips;
};

// Shows the window as a modal dialog and returns once it is closed (RunDialog); its procedure
// finds `window` with DialogPreamble<Window>.
template <typename Window>
INT_PTR RunDialogWindow(Window& window, const std::wstring& caption, DLGPROC proc, bool resizable = false) {
    return RunDialog(window.instance, window.owner, caption, proc, &window, resizable);
}

// Whether the preamble answered a message, and its answer.
struct DialogLook {
    bool answered = false;
    INT_PTR result = FALSE;
};

// What every window's procedure does first at any message: finds its state (null before
// WM_INITDIALOG); at WM_INITDIALOG makes its controls and centres it (MakeDialogControls), and
// counts it open until WM_DESTROY; answers its look (HandleWindowLook).
void DialogPreambleOf(HWND dialog, DialogWindow& window, UINT message, WPARAM wParam, LPARAM lParam, DialogLook& look);

template <typename Window>
Window* DialogPreamble(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, DialogLook& look) {
    Window* window = DialogState<Window>(dialog, message, lParam);
    if (window) DialogPreambleOf(dialog, *window, message, wParam, lParam, look);
    return window;
}

}  // namespace hexalune::win32
