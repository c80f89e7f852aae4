// The floor for any window program: one registered class, one empty top-level window,
// shown and painted, and a message loop. Nothing else is created. The start-up and
// memory figures of Hexalune are read against this program built the same way.
//
// Built a second time with BENCH_SYSTEM_DLLS (minimal_window_dlls.exe): the same window,
// but with Hexalune's manifest and the system DLLs Hexalune imports, common controls 6
// among them, loaded at start. The difference between the two is what those DLLs cost on
// the system measured; the difference between that one and Hexalune is Hexalune's own.
#include <windows.h>
#if defined(BENCH_SYSTEM_DLLS)
#include <commctrl.h>
#include <oleacc.h>
#include <oleauto.h>
#include <ole2.h>
#include <shellapi.h>
#endif

namespace {

constexpr wchar_t kClassName[] = L"BenchMinimalWindow";

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

#if defined(BENCH_SYSTEM_DLLS)
// Named here, so that each DLL is in the import table and loaded before wWinMain, as
// Hexalune's are; none of them is called but the common controls' initialisation.
const void* volatile g_imports[] = {reinterpret_cast<const void*>(&OleInitialize),
                                    reinterpret_cast<const void*>(&VarDateFromStr),
                                    reinterpret_cast<const void*>(&LresultFromObject),
                                    reinterpret_cast<const void*>(&Shell_NotifyIconW)};
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
#if defined(BENCH_SYSTEM_DLLS)
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
#endif
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc)) return 1;

    HWND hwnd = CreateWindowExW(0, kClassName, L"Minimal window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                500, 600, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, show == SW_HIDE ? SW_SHOWNORMAL : show);
    UpdateWindow(hwnd);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
