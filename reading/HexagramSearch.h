// Finding hexagrams by number or name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hexalune {

// The hexagrams, in King Wen order, that the typed text finds: the one whose number it is
// (spaces around it allowed) and every one whose name or trigrams, as the list shows them,
// hold it, letter case aside. Text that is empty or only spaces finds all 64.
std::vector<int> FindHexagrams(std::string_view text);

}  // namespace hexalune
