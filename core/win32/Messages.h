// The program's private window messages, each numbered here and nowhere else.
#pragma once

#include <windows.h>

namespace hexalune::win32 {

// The tray icon's callbacks, at the main window's hook (tray/win32/TrayIcon.h says what they carry).
inline constexpr UINT WM_APP_TRAYICON = WM_APP + 1;
// To an open window: the reading on show is a new one. lParam: the WindowContext with it.
inline constexpr UINT WM_APP_NEW_READING = WM_APP + 2;
// The main window's own, posted so that the work runs once the control or loop that asked for
// it has returned: the program ends; the changing lines' window opens.
inline constexpr UINT WM_APP_END_PROGRAM = WM_APP + 3;
inline constexpr UINT WM_APP_SHOW_CHANGING_LINES = WM_APP + 4;
// To an open window that is asked to open again. lParam: the WindowContext it is asked with.
inline constexpr UINT WM_APP_OPEN_AGAIN = WM_APP + 5;
// The Journal window lists the journal anew.
inline constexpr UINT WM_APP_REFRESH = WM_APP + 7;
// The Journal window: a paste was cut to fit the note. wParam: the characters kept; lParam: those pasted.
inline constexpr UINT WM_APP_NOTE_CUT = WM_APP + 8;

}  // namespace hexalune::win32
