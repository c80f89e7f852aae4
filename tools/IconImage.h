// The program icon, drawn from code so that it can be made again bit for bit.
#pragma once

#include <vector>

namespace hexalune {

// The square sizes, in pixels, of the images in the icon file, in the order they are stored.
inline constexpr int kIconSizes[] = {16, 20, 24, 32, 48, 256};

// The whole .ico file: one 32-bit image per size in kIconSizes, each drawn at its own size. The
// small ones are stored as bitmaps with a transparency mask, the 256 px one as a PNG.
std::vector<unsigned char> MakeHexaluneIcon();

// The icon as drawn at one of kIconSizes: rows of red, green, blue, alpha, top row first,
// straight (not premultiplied) alpha. Empty for any other size.
std::vector<unsigned char> DrawHexaluneIcon(int size);

// A PNG file of an 8-bit RGBA image given as rows of red, green, blue, alpha, top row first
// (width * height * 4 bytes).
std::vector<unsigned char> EncodePng(int width, int height, const std::vector<unsigned char>& rgba);

}  // namespace hexalune
