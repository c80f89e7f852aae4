// The Changing Lines window: what each changing line of the reading says, and the
// hexagram the reading leads to.
#pragma once

#include <windows.h>

#include <string>

namespace hexalune::win32 {

// Shows the window for this reading, owned by `owner`, and returns when it is closed.
// Only one is open at a time.
void ShowChangingLinesWindow(HINSTANCE instance, HWND owner, int hexagram, const std::string& changingLines);

// When the window is open, it shows this reading from now on.
void UpdateChangingLinesWindow(int hexagram, const std::string& changingLines);

}  // namespace hexalune::win32
