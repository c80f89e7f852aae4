#include "reading/JournalView.h"

#include "reading/Cast.h"
#include "reading/Catalogue.h"
#include "reading/ChangingLines.h"

namespace hexalune {

std::string NoteFirstLine(std::string_view note) {
    return std::string(note.substr(0, note.find_first_of("\r\n")));
}

int ListedIndex(const std::vector<JournalEntry>& entries, const JournalEntry& shown) {
    int alike = -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] == shown) return static_cast<int>(i);
        if (alike < 0 && SameReading(entries[i], shown)) alike = static_cast<int>(i);
    }
    return alike;
}

std::string EntryReadingText(const JournalEntry& entry) {
    // A reading cast for a question: only the texts the rule names.
    const std::string cast = CastReadingText(entry);
    if (!cast.empty()) return cast;
    std::string text = HexagramFourTexts(entry.hexagram);
    const ChangingLinesReading lines = DescribeChangingLines(entry.hexagram, entry.changingLines);
    if (lines.lines.empty()) return text;
    text += "\n\nChanging Lines\n" + lines.text;
    text += "\n\nLeading to " + HexagramTitle(lines.relating) + "\n" + Hexagram(lines.relating).judgmentDescription;
    return text;
}

}  // namespace hexalune
