#include "reading/Catalogue.h"

namespace hexalune {

namespace {
// Generated at build time from reading/content/hexagrams/*.txt.
const HexagramEntry kCatalogue[kHexagramCount] = {
#include "catalogue_data.inc"
};
}  // namespace

const HexagramEntry& Hexagram(int n) { return kCatalogue[IsHexagramNumber(n) ? n - 1 : 0]; }

}  // namespace hexalune
