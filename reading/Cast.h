// Asking a question: a reading cast now, line by line, by three coins, by yarrow stalks, or
// typed in from the reader's own cast; the hexagram it gives, where it leads, and which of
// their texts to read.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Date.h"
#include "core/SettingsStore.h"
#include "reading/Journal.h"

namespace hexalune {

// Random bytes from the operating system. The day's draw keeps its own generator.
class IRandomBytes {
public:
    virtual ~IRandomBytes() = default;
    // Fills `bytes` with `count` random bytes; false when the system could not give them.
    virtual bool Fill(unsigned char* bytes, std::size_t count) = 0;
};

enum class CastMethod { Coins, Yarrow, OwnCast };

// The longest question, in UTF-16 code units: what a Windows edit control counts as characters.
inline constexpr std::size_t kQuestionLimit = 500;

// How the journal names a method: "Coins", "Yarrow", "Own cast".
const char* MethodName(CastMethod method);

// The method chosen last (in the "Question" settings of its own), coins when none was.
CastMethod RememberedMethod(const ISettingsStore& questionSettings);
void RememberMethod(ISettingsStore& questionSettings, CastMethod method);

// One line, 6 to 9, from one random byte. Coins take its three lowest bits (a set bit is
// heads, worth 3, a clear one tails, worth 2): 6, 7, 8, 9 with odds 1, 3, 3, 1 in 8. Yarrow
// stalks take its four lowest bits as a place in the stalks' table: 6, 7, 8, 9 with odds
// 1, 5, 7, 3 in 16. Own cast is not cast here.
int LineFromByte(CastMethod method, unsigned char byte);

// The next line from the system's random source, or nothing when it gave no byte.
std::optional<int> CastLine(CastMethod method, IRandomBytes& random);

using LineValues = std::array<int, 6>;  // 6 to 9, bottom first

inline constexpr char kOwnCastExpected[] =
    "Type the six lines of your cast, bottom first, each 6, 7, 8 or 9: separated by spaces or commas "
    "(7 8 9 7 6 8), or written together (789768).";

// The reader's own cast: six values 6 to 9, separated by spaces or commas, or written
// together. Anything else gives nothing.
std::optional<LineValues> ParseOwnCast(std::string_view text);

// "789768".
std::string LineValuesText(const LineValues& values);

// The hexagram of six lines (7 and 9 solid, 6 and 8 broken).
int HexagramOfLines(const LineValues& values);
// The hexagram they lead to: each 6 becomes solid and each 9 broken.
int RelatingOfLines(const LineValues& values);
// The moving lines (6 and 9), numbered 1 to 6 from the bottom.
std::vector<int> MovingLines(const LineValues& values);

// One text of a hexagram: its judgment, one of its lines, or its text for all six lines.
struct TextToRead {
    enum Kind { Judgment, Line, AllLines };
    int hexagram = 1;
    Kind kind = Judgment;
    int line = 0;  // 1..6 for Line
    friend bool operator==(const TextToRead&, const TextToRead&) = default;
};

// What to read of a cast, by the classical rule for the moving lines, in reading order, and
// which of them governs.
struct WhatToRead {
    std::vector<TextToRead> texts;
    std::size_t governing = 0;  // index into texts
};
WhatToRead ReadingRule(const LineValues& values);

// "Hexagram 55, Abundance (Fullness), lines 3 and 5 changing": the figure's name for screen readers.
std::string CastSpokenName(const LineValues& values);
// "Line 5 of 55 Abundance (Fullness) governs."
std::string GoverningSentence(const WhatToRead& read);
// The texts to read, each under its heading, the governing one marked.
std::string TextsToRead(const WhatToRead& read);

// The journal's entry for a cast just completed at `at`: its moving lines from the bottom
// ("3,5"), where they lead (0 when none moves), the question (cut to 500 characters), the
// method and the six values.
JournalEntry EntryForCast(const std::string& question, CastMethod method, const LineValues& values,
                          const LocalDateTime& at);

// For an asked reading in the journal: its question and how it was cast, in UTF-8; empty for
// the day's reading.
std::string CastHeading(const JournalEntry& entry);
// For an asked reading in the journal: which texts to read, and those texts; empty for the
// day's reading, and for values edited by hand so that they are no cast.
std::string CastReadingText(const JournalEntry& entry);

}  // namespace hexalune
