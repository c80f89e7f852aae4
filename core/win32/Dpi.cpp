// The DPI a window is drawn for, on each system the program runs on.
#include "core/win32/Handles.h"
#include "core/win32/WindowKit.h"
#include "core/win32/SystemLibrary.h"

#include <shellscalingapi.h>

namespace hexalune::win32 {
namespace {

// shcore's GetDpiForMonitor (Windows 8.1 and later), loaded the first time it is needed:
// only where user32 has no GetDpiForWindow.
class MonitorDpi {
public:
    // The monitor's effective DPI, or 0 where the system cannot say.
    int Of(HMONITOR monitor) const {
        UINT x = 0;
        UINT y = 0;
        // The effective DPI: the one the user's scaling gives the monitor.
        if (!getDpi_ || !monitor || FAILED(getDpi_(monitor, MDT_EFFECTIVE_DPI, &x, &y))) return 0;
        return static_cast<int>(y);
    }

private:
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*);

    Library shcore_ = LoadSystemLibrary(L"shcore.dll");
    GetDpiForMonitorFn getDpi_ = ModuleFunction<GetDpiForMonitorFn>(shcore_.Get(), "GetDpiForMonitor");
};

}  // namespace

int WindowDpi(HWND window) {
    if (window) {
        using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
        static const auto forWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
        if (const UINT dpi = forWindow ? forWindow(window) : 0) return static_cast<int>(dpi);
        static const MonitorDpi forMonitor;
        if (const int dpi = forMonitor.Of(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST))) return dpi;
    }
    const WindowDc screen(nullptr);
    const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
    return dpi > 0 ? dpi : 96;
}

}  // namespace hexalune::win32
