// The units the program's layouts are written in, and the colours of its look.
#pragma once

namespace hexalune {

// Colours as 0x00BBGGRR.
inline constexpr unsigned long kLightPink = 0xC0C0FF;  // RGB(255, 192, 192)
inline constexpr unsigned long kWhite = 0xFFFFFF;

// Layouts are in twips: 1440 per inch, 15 per pixel at 96 DPI. Twips to pixels at the
// given DPI, rounded to the nearest pixel.
inline int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

}  // namespace hexalune
