// Draws a hexagram's six-line figure: white bars on black, line 1 at the bottom.
#pragma once

#include <windows.h>

#include <string>

namespace hexalune::win32 {

// Fills `area` with the figure of `hexagram` (1..64), drawn at the area's own size.
void DrawHexagramFigure(HDC dc, const RECT& area, int hexagram);

// "Hexagram 46, Pushing Upward" (HexagramFullTitle): a figure's window text, which screen
// readers announce, and a window's heading.
std::wstring FullTitle(int hexagram);

}  // namespace hexalune::win32
