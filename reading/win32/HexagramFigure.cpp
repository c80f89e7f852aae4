#include "reading/win32/HexagramFigure.h"

#include "core/Theme.h"
#include "core/win32/Win32Platform.h"
#include "reading/Catalogue.h"

namespace hexalune::win32 {

namespace {

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    // ExtTextOut with an opaque rectangle fills without creating a brush.
    const RECT r{left, top, right, bottom};
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

constexpr auto kBar = static_cast<COLORREF>(theme::kFigureBar);

}  // namespace

void DrawHexagramFigure(HDC dc, const RECT& area, int hexagram) {
    const COLORREF oldBk = GetBkColor(dc);
    Fill(dc, area.left, area.top, area.right, area.bottom, static_cast<COLORREF>(theme::kFigureGround));

    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    // Proportions of the 81 x 77 picture: bars 7 high, 4 apart, 12 from the sides.
    const int barHeight = MulDiv(height, 7, 77) > 0 ? MulDiv(height, 7, 77) : 1;
    const int gap = MulDiv(height, 4, 77) > 0 ? MulDiv(height, 4, 77) : 1;
    const int side = MulDiv(width, 12, 81);
    const int figureHeight = 6 * barHeight + 5 * gap;
    const int top = area.top + (height - figureHeight) / 2;
    const int left = area.left + side;
    const int right = area.right - side;
    const int breakWidth = (right - left) / 5;
    const int middle = (left + right) / 2;

    const HexagramEntry& entry = Hexagram(hexagram);
    for (int line = 1; line <= 6; ++line) {
        const int y = top + (6 - line) * (barHeight + gap);
        if (entry.IsSolid(line)) {
            Fill(dc, left, y, right, y + barHeight, kBar);
        } else {
            Fill(dc, left, y, middle - breakWidth / 2, y + barHeight, kBar);
            Fill(dc, middle + (breakWidth + 1) / 2, y, right, y + barHeight, kBar);
        }
    }
    SetBkColor(dc, oldBk);
}

std::wstring FullTitle(int hexagram) { return FromAnsi(HexagramFullTitle(hexagram)); }

}  // namespace hexalune::win32
