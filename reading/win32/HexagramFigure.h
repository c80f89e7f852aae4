// Draws a hexagram's six-line figure: white bars on black, line 1 at the bottom.
#pragma once

#include <windows.h>

namespace hexalune::win32 {

// Fills `area` with the figure of `hexagram` (1..64), drawn at the area's own size.
void DrawHexagramFigure(HDC dc, const RECT& area, int hexagram);

}  // namespace hexalune::win32
