#include "reading/JournalView.h"

#include "reading/Catalogue.h"
#include "reading/ChangingLines.h"

namespace hexalune {

std::string NoteFirstLine(std::string_view note) {
    return std::string(note.substr(0, note.find_first_of("\r\n")));
}

std::string EntryReadingText(const JournalEntry& entry) {
    std::string text = HexagramFourTexts(entry.hexagram);
    const ChangingLinesReading lines = DescribeChangingLines(entry.hexagram, entry.changingLines);
    if (lines.lines.empty()) return text;
    text += "\n\nChanging Lines\n" + lines.text;
    text += "\n\nLeading to " + HexagramTitle(lines.relating) + "\n" + Hexagram(lines.relating).judgmentDescription;
    return text;
}

}  // namespace hexalune
