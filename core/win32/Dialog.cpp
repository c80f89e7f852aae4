#include "core/win32/Dialog.h"

#include "core/LayoutUnits.h"
#include "core/win32/Handles.h"

namespace hexalune::win32 {

std::vector<WORD> EmptyDialogTemplate(const std::wstring& caption) {
    std::vector<WORD> words;
    const auto putLong = [&words](DWORD value) {
        words.push_back(LOWORD(value));
        words.push_back(HIWORD(value));
    };
    putLong(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    putLong(WS_EX_DLGMODALFRAME);
    // No controls, no place or size (set when it opens), no menu, the standard dialog class.
    words.insert(words.end(), {0, 0, 0, 0, 0, 0, 0});
    for (wchar_t c : caption) words.push_back(static_cast<WORD>(c));
    words.push_back(0);
    return words;
}

SIZE DialogFrameSize(HWND dialog, int clientWidthTwips, int clientHeightTwips, int dpi) {
    return OuterSize(TwipsToPixels(clientWidthTwips, dpi), TwipsToPixels(clientHeightTwips, dpi),
                     static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)),
                     static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)), false, dpi);
}

void MoveToSuggested(HWND dialog, const RECT& suggested, SIZE frame) {
    SetWindowPos(dialog, nullptr, suggested.left, suggested.top, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ResizeInPlace(HWND dialog, SIZE frame) {
    SetWindowPos(dialog, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CentreOnOwnersMonitor(HWND dialog, SIZE frame) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTOPRIMARY), &monitor))
        screen = monitor.rcMonitor;
    const int left = screen.left + (screen.right - screen.left - frame.cx) / 2;
    const int top = screen.top + (screen.bottom - screen.top - frame.cy) / 2;
    SetWindowPos(dialog, nullptr, left, top, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace hexalune::win32
