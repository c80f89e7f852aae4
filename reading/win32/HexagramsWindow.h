// "Hexalune Hexagrams": all 64 hexagrams, found by number or name, each with its texts.
#pragma once

#include <windows.h>

namespace hexalune::win32 {

// Shows the window modally, owned by `owner`, with `hexagram` chosen. One at a time: while
// it is open, another call chooses the hexagram in it instead.
void ShowHexagramsWindow(HINSTANCE instance, HWND owner, int hexagram);

}  // namespace hexalune::win32
