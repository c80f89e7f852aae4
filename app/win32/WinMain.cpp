// Process start: one copy per user session and executable name, the random source seeded
// once, the main window loaded and shown (or left in the tray), then the message loop.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "app/MainController.h"
#include "core/ControlIds.h"
#include "core/win32/BenchPhases.h"
#include "core/win32/Handles.h"
#include "app/win32/MainWindow.h"
#include "app/win32/SingleInstance.h"
#include "core/win32/SystemLibrary.h"
#include "core/win32/Win32Platform.h"
#include "reading/SeededRandom.h"
#include "reading/win32/JournalFile.h"
#include "settings/win32/RegistryRunKey.h"
#include "settings/win32/RegistrySettingsStore.h"
#include "tray/win32/TrayIcon.h"

namespace {

using namespace hexalune;
using namespace hexalune::win32;

void EnableHighDpi() {
    // The manifest asks for per-monitor awareness; this covers a copy started without it.
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    const auto setContext = User32Function<SetContextFn>("SetProcessDpiAwarenessContext");
    if (setContext && setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return;  // PerMonitorV2
    SetProcessDPIAware();
}

// Dispatches one message; false when it is the end of the loop.
bool DispatchOne(MSG& message, HWND main, HACCEL keys) {
    if (message.message == WM_QUIT) return false;
    if (keys && TranslateAcceleratorW(main, keys, &message)) return true;
#ifdef HEXALUNE_BENCH_PHASES
    // The bench build times each window's painting (IsDialogMessageW would dispatch it too).
    if (message.message == WM_PAINT) {
        bench_phases::DispatchPaint(message);
        return true;
    }
#endif
    if (IsDialogMessageW(main, &message)) return true;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

// Sleeps until a message comes or a value of the settings key changes, whichever is first.
int RunMessageLoop(HINSTANCE instance, MainWindow& window, SettingsKeyWatch& watch) {
    // Shared resource: nothing to free.
    HACCEL keys = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAIN_KEYS));
    HANDLE changed = watch.Event();
    const HWND main = window.Handle();
    MSG message{};
    for (;;) {
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(changed ? 1 : 0, changed ? &changed : nullptr, INFINITE, QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE);
        if (changed && woke == WAIT_OBJECT_0) {
            watch.Renew();
            window.OnSettingsChanged();
            continue;
        }
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!DispatchOne(message, main, keys)) return static_cast<int>(message.wParam);
        }
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    HEXALUNE_PHASE("wWinMain");
    // Before anything loads a DLL on our behalf: none is taken from the exe's folder or the
    // current one.
    LoadLibrariesFromSystemOnly();
    SingleInstance instanceGuard(ExecutableBaseName());
    if (instanceGuard.AlreadyRunning()) {
        Win32MessageBox().ShowMessage("Application is already running", kAppTitle, MsgButtons::Ok,
                                      MsgIcon::Information);
        return 0;
    }

    // Screen readers receive the controls' accessible objects through COM.
    const HRESULT ole = OleInitialize(nullptr);
    EnableHighDpi();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    HEXALUNE_PHASE("COM and common controls ready");

    SeededRandom random(SeededRandom::SeedFromClock());
    RegistrySettingsStore settings;
    Win32Calendar calendar;
    Win32MessageBox messages;
    Win32Shell shell;
    Win32ProcessInfo process;
    RegistryRunKey runKey;
    TrayIcon trayIcon;
    TrayMenu trayMenu;
    Win32NotificationState notifications;
    JournalFile journalFile(JournalPath(ExecutableBaseName()));
    RegistrySettingsStore hints(ExecutableBaseName(), kHintsSubkey);

    MainWindow window(instance, shell);
    if (!window.Create()) return 1;
    HEXALUNE_PHASE("main window made, hidden");
    trayIcon.Attach(window.TrayHook(), window.SmallIcon());
    trayMenu.Attach(window.Handle(), window.TrayPopup());
    messages.SetOwner(window.Handle());

    MainController controller(
        Services{settings, calendar, random, messages, shell, process, runKey, trayIcon, trayMenu, window, notifications,
                 journalFile, hints});
    window.SetController(&controller);
    controller.OnLoad();
    HEXALUNE_PHASE("load done");
    // A log-off during the load's prompts has already ended the program.
    if (controller.ShouldShowAfterLoad() && !controller.Ending()) window.ShowFirstTime();
    // Only now: the prompts of the load run modal loops, which would deliver a tick
    // in the middle of it.
    SettingsKeyWatch watch(settings.KeyPath());
    watch.Renew();
    window.StartTicking();

    const int result = RunMessageLoop(instance, window, watch);
    if (SUCCEEDED(ole)) OleUninitialize();
    return result;
}
