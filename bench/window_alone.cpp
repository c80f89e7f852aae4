// The program's main window alone: the window Hexalune shows at a start, made by the
// program's own code (its class, menu, icons and the reading view's controls) and showing one
// reading, with none of the program's work around it: no settings store, journal, tray icon,
// update reminder or controller. Started by the probe beside the floor and the program, it
// splits the start-up into what showing this window costs on the system measured and what the
// program adds to it.
//
// Built with the program when HEXALUNE_BENCH is on and run by bench/run.sh.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "app/win32/MainWindow.h"
#include "core/BenchPhases.h"

namespace {

class NoShell : public hexalune::IShell {
public:
    void OpenAddress(const std::string&) override {}
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    HEXALUNE_PHASE("wWinMain");
    // As the program starts: COM for the accessible names, the same common controls.
    const HRESULT ole = OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    NoShell shell;
    hexalune::win32::MainWindow window(instance, shell);
    if (!window.Create()) return 1;
    window.ShowReading(46, "4,1,6");
    window.ShowFirstTime();
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // With no controller the window keeps itself open: the probe's WM_CLOSE ends it here.
        if (message.message == WM_CLOSE && message.hwnd == window.Handle()) {
            DestroyWindow(window.Handle());
            continue;
        }
        if (IsDialogMessageW(window.Handle(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (SUCCEEDED(ole)) OleUninitialize();
    return 0;
}
