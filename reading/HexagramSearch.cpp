#include "reading/HexagramSearch.h"

#include "reading/Catalogue.h"
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

}  // namespace hexalune
