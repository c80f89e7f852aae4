#include "reading/Cast.h"

#include "reading/Catalogue.h"
#include "reading/HexagramSearch.h"

namespace hexalune {

namespace {

constexpr char kMethodValue[] = "Method";

// The yarrow stalks' odds as a table of 16 equal places: one 6, five 7s, seven 8s, three 9s.
constexpr int kYarrowTable[16] = {6, 7, 7, 7, 7, 7, 8, 8, 8, 8, 8, 8, 8, 9, 9, 9};

bool IsSolidValue(int value) { return value == 7 || value == 9; }

int FigureOf(const LineValues& values, bool relating) {
    unsigned figure = 0;
    for (int i = 0; i < 6; ++i) {
        const int v = values[static_cast<std::size_t>(i)];
        const bool moving = v == 6 || v == 9;
        if (IsSolidValue(v) != (relating && moving)) figure |= 1U << i;
    }
    return HexagramWithFigure(static_cast<unsigned char>(figure));
}

std::string LinesList(const std::vector<int>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += i + 1 == lines.size() ? " and " : ", ";
        text += std::to_string(lines[i]);
    }
    return text;
}

std::string Heading(const TextToRead& text) {
    const std::string title = HexagramTitle(text.hexagram);
    switch (text.kind) {
        case TextToRead::Line: return "Line " + std::to_string(text.line) + " of " + title;
        case TextToRead::AllLines: return "All six lines of " + title;
        default: return "The judgment of " + title;
    }
}

std::string Body(const TextToRead& text) {
    const HexagramEntry& entry = Hexagram(text.hexagram);
    switch (text.kind) {
        case TextToRead::Line: return entry.lineTexts[text.line - 1];
        case TextToRead::AllLines: return entry.allLinesText ? entry.allLinesText : "";
        default: return std::string(entry.judgmentPoem) + "\n\n" + entry.judgmentDescription;
    }
}

}  // namespace

const char* MethodName(CastMethod method) {
    switch (method) {
        case CastMethod::Yarrow: return "Yarrow";
        case CastMethod::OwnCast: return "Own cast";
        default: return "Coins";
    }
}

CastMethod RememberedMethod(const ISettingsStore& questionSettings) {
    const std::string name = questionSettings.ReadSetting(kMethodValue);
    for (CastMethod method : {CastMethod::Yarrow, CastMethod::OwnCast})
        if (name == MethodName(method)) return method;
    return CastMethod::Coins;
}

void RememberMethod(ISettingsStore& questionSettings, CastMethod method) {
    questionSettings.WriteSetting(kMethodValue, MethodName(method));
}

int LineFromByte(CastMethod method, unsigned char byte) {
    if (method == CastMethod::Yarrow) return kYarrowTable[byte & 0x0F];
    int sum = 0;
    for (int coin = 0; coin < 3; ++coin) sum += (byte >> coin) & 1U ? 3 : 2;
    return sum;
}

std::optional<int> CastLine(CastMethod method, IRandomBytes& random) {
    unsigned char byte = 0;
    if (!random.Fill(&byte, 1)) return std::nullopt;
    return LineFromByte(method, byte);
}

std::optional<LineValues> ParseOwnCast(std::string_view text) {
    const auto isSeparator = [](char c) { return c == ' ' || c == ',' || c == '\t'; };
    while (!text.empty() && isSeparator(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSeparator(text.back())) text.remove_suffix(1);
    LineValues values{};
    std::size_t count = 0;
    bool separated = false;  // at least one space or comma between two values
    for (char c : text) {
        if (isSeparator(c)) {
            separated = true;
        } else if (c >= '6' && c <= '9' && count < values.size()) {
            values[count++] = c - '0';
        } else {
            return std::nullopt;  // another character, or a seventh value
        }
    }
    if (count != values.size()) return std::nullopt;
    // Either every value stands apart, or all six are written together.
    if (separated) {
        std::size_t digitsInRow = 0;
        for (char c : text) {
            digitsInRow = (c >= '6' && c <= '9') ? digitsInRow + 1 : 0;
            if (digitsInRow > 1) return std::nullopt;
        }
    }
    return values;
}

std::string LineValuesText(const LineValues& values) {
    std::string text;
    for (int v : values) text += static_cast<char>('0' + v);
    return text;
}

int HexagramOfLines(const LineValues& values) { return FigureOf(values, false); }
int RelatingOfLines(const LineValues& values) { return FigureOf(values, true); }

std::vector<int> MovingLines(const LineValues& values) {
    std::vector<int> lines;
    for (int line = 1; line <= 6; ++line) {
        const int value = values[static_cast<std::size_t>(line - 1)];
        if (value == 6 || value == 9) lines.push_back(line);
    }
    return lines;
}

WhatToRead ReadingRule(const LineValues& values) {
    const int primary = HexagramOfLines(values);
    const int relating = RelatingOfLines(values);
    const std::vector<int> moving = MovingLines(values);
    std::vector<int> still;  // the lines that do not move
    for (int line = 1; line <= 6; ++line)
        if (values[static_cast<std::size_t>(line - 1)] == 7 || values[static_cast<std::size_t>(line - 1)] == 8)
            still.push_back(line);
    WhatToRead read;
    auto add = [&read](int hexagram, TextToRead::Kind kind, int line = 0) {
        read.texts.push_back({hexagram, kind, line});
    };
    switch (moving.size()) {
        case 0: add(primary, TextToRead::Judgment); break;
        case 1: add(primary, TextToRead::Line, moving[0]); break;
        case 2:
            for (int line : moving) add(primary, TextToRead::Line, line);
            read.governing = 1;  // the upper
            break;
        case 3:
            add(primary, TextToRead::Judgment);
            add(relating, TextToRead::Judgment);
            break;
        case 4:
        case 5:
            for (int line : still) add(relating, TextToRead::Line, line);  // the lower governs
            break;
        default:
            if (Hexagram(primary).allLinesText)
                add(primary, TextToRead::AllLines);
            else
                add(relating, TextToRead::Judgment);
            break;
    }
    return read;
}

std::string CastSpokenName(const LineValues& values) {
    std::string name = HexagramFullTitle(HexagramOfLines(values));
    const std::vector<int> moving = MovingLines(values);
    if (moving.empty()) return name + ", no lines changing";
    return name + (moving.size() == 1 ? ", line " : ", lines ") + LinesList(moving) + " changing";
}

std::string GoverningSentence(const WhatToRead& read) {
    if (read.texts.empty()) return std::string();
    std::string heading = Heading(read.texts[read.governing]);
    if (read.texts.size() == 1) {
        heading[0] = static_cast<char>(heading[0] - 'A' + 'a');  // every heading starts with a capital
        return "Read " + heading + ".";
    }
    return heading + " governs.";
}

std::string TextsToRead(const WhatToRead& read) {
    std::string text;
    for (std::size_t i = 0; i < read.texts.size(); ++i) {
        if (!text.empty()) text += "\n\n";
        text += Heading(read.texts[i]);
        if (read.texts.size() > 1 && i == read.governing) text += " (governs)";
        text += "\n" + Body(read.texts[i]);
    }
    return text;
}

JournalEntry EntryForCast(const std::string& question, CastMethod method, const LineValues& values,
                          const LocalDateTime& at) {
    JournalEntry entry;
    entry.drawnAt = at;
    entry.hexagram = HexagramOfLines(values);
    const std::vector<int> moving = MovingLines(values);
    for (int line : moving) entry.changingLines += (entry.changingLines.empty() ? "" : ",") + std::to_string(line);
    entry.relating = moving.empty() ? 0 : RelatingOfLines(values);
    entry.question = CutToUtf16Length(question, kQuestionLimit);
    entry.method = MethodName(method);
    entry.lineValues = LineValuesText(values);
    return entry;
}

std::string CastHeading(const JournalEntry& entry) {
    if (entry.method.empty() && entry.question.empty()) return std::string();
    std::string how = "Cast";
    if (entry.method == MethodName(CastMethod::Coins)) how = "Cast with three coins";
    if (entry.method == MethodName(CastMethod::Yarrow)) how = "Cast with yarrow stalks";
    if (entry.method == MethodName(CastMethod::OwnCast)) how = "The reader's own cast";
    std::string values;
    for (char c : entry.lineValues) values += std::string(values.empty() ? "" : " ") + c;
    return (entry.question.empty() ? std::string("Asked without a question") : "Question: " + entry.question) + "\n" +
           how + (values.empty() ? "" : ": " + values);
}

std::string CastReadingText(const JournalEntry& entry) {
    const std::optional<LineValues> values = ParseOwnCast(entry.lineValues);
    if (!values) return std::string();
    const WhatToRead read = ReadingRule(*values);
    return GoverningSentence(read) + "\n\n" + TextsToRead(read);
}

}  // namespace hexalune
