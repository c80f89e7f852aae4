#include "reading/ChangingLines.h"

#include "reading/Catalogue.h"

namespace hexalune {

std::vector<int> LineNumbers(const std::string& changingLines) {
    std::vector<int> lines;
    for (int line = 1; line <= 6; ++line) {
        if (changingLines.find(static_cast<char>('0' + line)) != std::string::npos) lines.push_back(line);
    }
    return lines;
}

int RelatingHexagram(int hexagram, const std::vector<int>& lines) {
    unsigned figure = Hexagram(hexagram).lines;
    for (int line : lines) {
        if (line >= 1 && line <= 6) figure ^= 1U << (line - 1);
    }
    return HexagramWithFigure(static_cast<unsigned char>(figure));
}

ChangingLinesReading DescribeChangingLines(int hexagram, const std::string& changingLines) {
    ChangingLinesReading reading;
    reading.hexagram = IsHexagramNumber(hexagram) ? hexagram : 1;
    reading.lines = LineNumbers(changingLines);
    reading.relating = RelatingHexagram(reading.hexagram, reading.lines);
    const HexagramEntry& entry = Hexagram(reading.hexagram);
    for (int line : reading.lines) {
        if (!reading.text.empty()) reading.text += "\n\n";
        reading.text += "Line " + std::to_string(line) + "\n" + entry.lineTexts[line - 1];
    }
    if (reading.lines.size() == 6 && entry.allLinesText)
        reading.text += std::string("\n\nAll six lines\n") + entry.allLinesText;
    if (reading.lines.empty()) reading.text = "No line changes in this reading.";
    return reading;
}

std::string ChangingLinesSpoken(const std::string& changingLines) {
    std::string spoken = "Changing lines ";
    for (char c : changingLines) {
        spoken += c;
        if (c == ',') spoken += ' ';
    }
    return spoken;
}

std::string HexagramTexts(int hexagram) {
    return HexagramFourTexts(hexagram) + "\n\n" + DescribeChangingLines(hexagram, "1,2,3,4,5,6").text;
}

}  // namespace hexalune
