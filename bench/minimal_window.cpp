// The floor for any window program: one registered class, one empty top-level window,
// shown and painted, and a message loop. Nothing else is created. The start-up and
// memory figures of Hexalune are read against this program built the same way.
//
// Built a second time with BENCH_SYSTEM_DLLS (minimal_window_dlls.exe): the same window,
// but with Hexalune's manifest and the system DLLs Hexalune imports, common controls 6
// among them, loaded at start. The difference between the two is what those DLLs cost on
// the system measured; the difference between that one and Hexalune is Hexalune's own.
//
// It marks its phases as Hexalune's bench build does (core/BenchPhases.h), written at its end
// to the file HEXALUNE_PHASES_FILE names, so that the two start-ups can be read side by side.
#include <windows.h>

#include <cstdio>

#include "Timing.h"
#if defined(BENCH_SYSTEM_DLLS)
#include <commctrl.h>
#include <oleacc.h>
#include <oleauto.h>
#include <ole2.h>
#include <shellapi.h>
#endif

namespace {

constexpr wchar_t kClassName[] = L"BenchMinimalWindow";

struct Moment {
    const char* phase;
    double ms;
};
Moment g_moments[8];
int g_momentCount = 0;

void Mark(const char* phase) {
    if (g_momentCount < 8) g_moments[g_momentCount++] = {phase, hexalune::bench::NowMs()};
}

// Before wWinMain, as the program's own statics are.
const bool g_imageLoaded = (Mark("program image loaded"), true);

void WritePhases() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"HEXALUNE_PHASES_FILE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    if (FILE* out = _wfopen(path, L"w")) {
        for (int i = 0; i < g_momentCount; ++i) std::fprintf(out, "mark\t%s\t%.3f\n", g_moments[i].phase, g_moments[i].ms);
        std::fclose(out);
    }
}

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
    Mark("wWinMain");
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
    Mark("window made, hidden");
    ShowWindow(hwnd, show == SW_HIDE ? SW_SHOWNORMAL : show);
    Mark("window shown");
    UpdateWindow(hwnd);
    Mark("first WM_PAINT done");

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    WritePhases();
    return static_cast<int>(message.wParam);
}
