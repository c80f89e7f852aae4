// Finding hexagrams by number or name, and how each is named in a list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hexalune {

// The hexagrams, in King Wen order, that the typed text finds: the one whose number it is
// (spaces around it allowed) and every one whose name holds it, letter case aside. Text
// that is empty or only spaces finds all 64.
std::vector<int> FindHexagrams(std::string_view text);

// "46 Pushing Upward": the number and the name.
std::string HexagramTitle(int hexagram);

// "Hexagram 46, Pushing Upward": a figure's name for screen readers, and a window's heading.
std::string HexagramFullTitle(int hexagram);

// A line of the list of all hexagrams: the title, then the trigrams, upper over lower
// ("46 Pushing Upward, Earth over Wind"). A doubled trigram is named once ("1 The
// Creative, Heaven"), and not at all when the name already ends with it ("58 The Joyous, Lake").
std::string HexagramListText(int hexagram);

// The judgment and the image, each as verse and as prose, under the headings "Judgment" and "Image".
std::string HexagramFourTexts(int hexagram);

// Everything the list of all hexagrams shows for one: the judgment and the image, each as
// verse and as prose, then what each of the six lines says when it changes (and, for the
// first two, all six at once).
std::string HexagramTexts(int hexagram);

}  // namespace hexalune
