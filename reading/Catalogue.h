// The 64 hexagrams in King Wen order, with their texts and figures.
#pragma once

#include <string>

namespace hexalune {

inline constexpr int kHexagramCount = 64;

struct HexagramEntry {
    const char* name;
    const char* upperTrigram;  // "Heaven", "Earth", "Thunder", "Water", "Mountain", "Wind", "Fire" or "Lake"
    const char* lowerTrigram;
    // Bit i (0..5) is line i + 1 counted from the bottom; set = solid, clear = broken.
    unsigned char lines;
    const char* judgmentPoem;
    const char* judgmentDescription;
    const char* imagePoem;
    const char* imageDescription;
    // What each line means when it changes, line 1 (the bottom) first.
    const char* lineTexts[6];
    // What it means when all six lines change at once: hexagrams 1 and 2 only, else null.
    const char* allLinesText;

    bool IsSolid(int line) const { return (lines >> (line - 1)) & 1U; }  // line 1..6
};

inline bool IsHexagramNumber(long n) { return n >= 1 && n <= kHexagramCount; }

// The entry for hexagram n, 1 to 64. Any other n is a programming error and yields entry 1.
const HexagramEntry& Hexagram(int n);

// The number of the hexagram with this figure (bit i = line i + 1, set = solid).
int HexagramWithFigure(unsigned char lines);

// "46 Pushing Upward": the number and the name.
std::string HexagramTitle(int hexagram);

// "Hexagram 46, Pushing Upward": a figure's name for screen readers, and a window's heading.
std::string HexagramFullTitle(int hexagram);

// The trigrams as the list of all hexagrams shows them, upper over lower, the same for every
// hexagram ("Earth over Wind" for 46, "Water over Water" for 29).
std::string HexagramTrigrams(int hexagram);

// The judgment and the image, each as verse and as prose, under the headings "Judgment" and "Image".
std::string HexagramFourTexts(int hexagram);

}  // namespace hexalune
