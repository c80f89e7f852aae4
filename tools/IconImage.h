// The program icon, drawn from code so that it can be made again bit for bit.
#pragma once

#include <vector>

namespace hexalune {

// The square sizes, in pixels, of the images in the icon file, in the order they are stored.
inline constexpr int kIconSizes[] = {16, 20, 24, 32, 48, 256};

// The whole .ico file: one 32-bit image per size in kIconSizes, each drawn at its own size.
std::vector<unsigned char> MakeHexaluneIcon();

}  // namespace hexalune
