#include "reading/Catalogue.h"

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

}  // namespace hexalune
