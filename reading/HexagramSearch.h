// Finding hexagrams by number or name, and how each is named in a list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hexalune {

// The hexagrams, in King Wen order, that the typed text finds: the one whose number it is
// (spaces around it allowed) and every one whose name or trigrams, as the list shows them,
// hold it, letter case aside. Text that is empty or only spaces finds all 64.
std::vector<int> FindHexagrams(std::string_view text);

// "46 Pushing Upward": the number and the name.
std::string HexagramTitle(int hexagram);

// "Hexagram 46, Pushing Upward": a figure's name for screen readers, and a window's heading.
std::string HexagramFullTitle(int hexagram);

// The trigrams as the list of all hexagrams shows them, upper over lower, the same for every
// hexagram ("Earth over Wind" for 46, "Water over Water" for 29).
std::string HexagramTrigrams(int hexagram);

// The judgment and the image, each as verse and as prose, under the headings "Judgment" and "Image".
std::string HexagramFourTexts(int hexagram);

// Everything the list of all hexagrams shows for one: the judgment and the image, each as
// verse and as prose, then what each of the six lines says when it changes (and, for the
// first two, all six at once).
std::string HexagramTexts(int hexagram);

}  // namespace hexalune
