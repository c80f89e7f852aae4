#include "reading/Catalogue.h"

#include <string_view>

namespace hexalune {

namespace {
// Generated at build time from reading/content/hexagrams/*.txt.
const HexagramEntry kCatalogue[kHexagramCount] = {
#include "catalogue_data.inc"
};
}  // namespace

const HexagramEntry& Hexagram(int n) { return kCatalogue[IsHexagramNumber(n) ? n - 1 : 0]; }

int HexagramWithFigure(unsigned char lines) {
    lines &= 0x3F;
    for (int n = 1; n <= kHexagramCount; ++n) {
        if (kCatalogue[n - 1].lines == lines) return n;
    }
    return 1;  // every one of the 64 figures is in the catalogue, so this is never reached
}

std::string HexagramTitle(int hexagram) { return std::to_string(hexagram) + " " + Hexagram(hexagram).name; }

std::string HexagramFullTitle(int hexagram) {
    return "Hexagram " + std::to_string(hexagram) + ", " + Hexagram(hexagram).name;
}

std::string HexagramTrigrams(int hexagram) {
    const HexagramEntry& entry = Hexagram(hexagram);
    return std::string(entry.upperTrigram) + " over " + entry.lowerTrigram;
}

std::string HexagramFourTexts(int hexagram) {
    const HexagramEntry& entry = Hexagram(IsHexagramNumber(hexagram) ? hexagram : 1);
    return std::string("Judgment\n") + entry.judgmentPoem + "\n\n" + entry.judgmentDescription + "\n\nImage\n" +
           entry.imagePoem + "\n\n" + entry.imageDescription;
}

}  // namespace hexalune
