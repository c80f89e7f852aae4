// Twips, the unit every window's layout is written in: 1440 per inch, 15 per pixel at 96 DPI.
#pragma once

namespace hexalune {

// Twips to pixels at the given DPI, rounded to the nearest pixel.
inline int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

}  // namespace hexalune
