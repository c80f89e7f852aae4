#include "reading/HexagramSearch.h"

#include "reading/Catalogue.h"
#include "reading/ChangingLines.h"
#include "core/ValueForms.h"

namespace hexalune {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
    if (part.size() > text.size()) return false;
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < part.size() && Lower(text[at + i]) == Lower(part[i])) ++i;
        if (i == part.size()) return true;
    }
    return false;
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::vector<int> FindHexagrams(std::string_view text) {
    const std::string_view wanted = Trimmed(text);
    const auto number = ParseWholeNumber(std::string(wanted), 1, kHexagramCount);
    std::vector<int> found;
    for (int n = 1; n <= kHexagramCount; ++n) {
        if (wanted.empty() || n == number || ContainsIgnoringCase(Hexagram(n).name, wanted) ||
            ContainsIgnoringCase(HexagramTrigrams(n), wanted)) found.push_back(n);
    }
    return found;
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

std::string HexagramTexts(int hexagram) {
    return HexagramFourTexts(hexagram) + "\n\n" + DescribeChangingLines(hexagram, "1,2,3,4,5,6").text;
}

}  // namespace hexalune
