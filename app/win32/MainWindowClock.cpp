// The main window's looks at the clock. The program sleeps between them: one timer for the
// next instant that matters (the display time, or the longest sleep), and short regular looks
// only while a rule waits on something no message announces; those coalesce with the system's
// other timers. A change of the clock, a resume or a change of the time zone looks at once.
#include <algorithm>

#include "app/win32/MainWindow.h"

namespace hexalune::win32 {

namespace {

constexpr UINT_PTR kLookTimer = 1;
constexpr UINT_PTR kShortLookTimer = 2;
constexpr UINT kShortLookMs = 1000;
constexpr ULONG kShortLookToleranceMs = 1000;

// Whether a WM_SETTINGCHANGE may have moved the local clock: a change of the regional
// settings, of the time zone, or one that does not say what changed.
bool ConcernsTheClock(WPARAM wParam, LPARAM lParam) {
    const auto* area = reinterpret_cast<const wchar_t*>(lParam);
    if (!area) return wParam == 0;
    return lstrcmpiW(area, L"intl") == 0 || lstrcmpiW(area, L"TimeZoneInformation") == 0;
}

}  // namespace

bool MainWindow::OnClockMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_TIMER:
            if (wParam != kLookTimer && wParam != kShortLookTimer) return false;
            OnLook();
            result = 0;
            return true;
        case WM_TIMECHANGE:
            OnLook();
            result = 0;
            return true;
        case WM_POWERBROADCAST:
            // Back from sleep or hibernation: a display time slept through comes up now.
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) OnLook();
            result = TRUE;
            return true;
        case WM_SETTINGCHANGE:
            // The window's look is answered after this.
            if (ConcernsTheClock(wParam, lParam)) OnLook();
            return false;
        default: return false;
    }
}

void MainWindow::StartTicking() {
    ticking_ = true;
    OnLook();
}

void MainWindow::StopLooking() {
    KillTimer(hwnd_, kLookTimer);
    KillTimer(hwnd_, kShortLookTimer);
    ticking_ = false;
}

void MainWindow::OnLook() {
    if (!ticking_ || !controller_ || !hwnd_) return;
    controller_->OnTick();
    // A tick may have ended the program or run a modal loop; the window may be gone.
    if (!hwnd_) return;
    const auto sleep = controller_->MillisecondsToNextLook();
    if (sleep)
        SetTimer(hwnd_, kLookTimer, static_cast<UINT>(std::max<long long>(*sleep, USER_TIMER_MINIMUM)), nullptr);
    else
        KillTimer(hwnd_, kLookTimer);
    const bool shortLooks = controller_->NeedsShortLooks();
    if (shortLooks == shortLooks_) return;
    shortLooks_ = shortLooks;
    if (!shortLooks) {
        KillTimer(hwnd_, kShortLookTimer);
        return;
    }
    // Windows 8 and later; Windows 7 has the plain timer.
    using SetCoalescableTimerFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);
    static const auto setCoalescable = User32Function<SetCoalescableTimerFn>("SetCoalescableTimer");
    if (!setCoalescable || !setCoalescable(hwnd_, kShortLookTimer, kShortLookMs, nullptr, kShortLookToleranceMs))
        SetTimer(hwnd_, kShortLookTimer, kShortLookMs, nullptr);
}

}  // namespace hexalune::win32
