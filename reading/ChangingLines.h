// What a reading's changing lines say, and the hexagram they lead to.
#pragma once

#include <string>
#include <vector>

namespace hexalune {

// The line numbers of a changing-lines text, each once, in line order from the bottom:
// "5,1,3" gives 1, 3, 5. Anything but the digits 1 to 6 (a value edited by hand) is passed over.
std::vector<int> LineNumbers(const std::string& changingLines);

// The relating hexagram: the figure with every changing line turned into its opposite.
int RelatingHexagram(int hexagram, const std::vector<int>& lines);

struct ChangingLinesReading {
    int hexagram = 1;
    std::vector<int> lines;  // from the bottom up
    int relating = 1;
    // The text of each line, headed "Line N", one after another; for the first two
    // hexagrams with all six lines changing, the text for all six comes last.
    std::string text;
};

// Everything the Changing Lines window shows for a reading. A hexagram that is no
// hexagram number shows as the first, as everywhere else.
ChangingLinesReading DescribeChangingLines(int hexagram, const std::string& changingLines);

// Everything the list of all hexagrams shows for one: the judgment and the image, each as
// verse and as prose, then what each of the six lines says when it changes (and, for the
// first two, all six at once).
std::string HexagramTexts(int hexagram);

// "4,1,6" as a screen reader should say it: "Changing lines 4, 1, 6".
std::string ChangingLinesSpoken(const std::string& changingLines);

}  // namespace hexalune
