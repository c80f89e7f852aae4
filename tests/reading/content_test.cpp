// The hexagram texts as compiled in: each text within its length, plain ASCII, prose on one
// line and verse one verse line a row, verse lines not run together, and no text used twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <set>
#include <string>
#include <vector>

#include "reading/Catalogue.h"

namespace hexalune {
namespace {

struct Texts {
    std::string judgmentPoem, judgmentDescription, imagePoem, imageDescription;
};

struct Limit {
    const char* field;
    std::size_t low, high;
    bool verse = false;  // broken into verse lines with "\n"
};

// Length limits, in characters (a line break counts as one), that the text boxes are laid out for.
const Limit kLimits[] = {{"judgmentPoem", 42, 333, true},
                         {"judgmentDescription", 218, 432},
                         {"imagePoem", 96, 234, true},
                         {"imageDescription", 203, 368}};
const Limit kLineLimit = {"line", 100, 320};

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }

// What is wrong with one text, as "field: problem" lines.
std::vector<std::string> TextProblems(const std::string& text, const Limit& limit) {
    std::vector<std::string> problems;
    const std::string field = limit.field;
    if (text.size() < limit.low) problems.push_back(field + ": too short (" + std::to_string(text.size()) + ")");
    if (text.size() > limit.high) problems.push_back(field + ": too long (" + std::to_string(text.size()) + ")");
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n' && limit.verse) {
            if (i == 0 || i + 1 == text.size() || text[i - 1] == ' ' || text[i + 1] == ' ' || text[i + 1] == '\n')
                problems.push_back(field + ": empty or padded verse line at " + std::to_string(i));
        } else if (c == '\n' || c == '\r' || c == '\t') {
            problems.push_back(field + ": broken over lines at " + std::to_string(i));
        } else if (c < ' ' || c > '~') {
            problems.push_back(field + ": not printable ASCII at " + std::to_string(i));
        }
        if (i + 1 < text.size() && c == ' ' && text[i + 1] == ' ')
            problems.push_back(field + ": double space at " + std::to_string(i));
        if (i + 1 < text.size() && IsUpper(text[i + 1]) &&
            (IsLower(c) || std::string(".,;:!?'\"").find(c) != std::string::npos))
            problems.push_back(field + ": verse lines run together at " + std::to_string(i));
    }
    if (!text.empty() && (text.front() == ' ' || text.back() == ' '))
        problems.push_back(field + ": leading or trailing space");
    return problems;
}

std::vector<std::string> EntryProblems(const Texts& t) {
    const std::string* texts[] = {&t.judgmentPoem, &t.judgmentDescription, &t.imagePoem, &t.imageDescription};
    std::vector<std::string> problems;
    for (int i = 0; i < 4; ++i) {
        for (const std::string& p : TextProblems(*texts[i], kLimits[i])) problems.push_back(p);
        for (int j = 0; j < i; ++j) {
            if (*texts[i] == *texts[j])
                problems.push_back(std::string(kLimits[i].field) + ": duplicates " + kLimits[j].field);
        }
    }
    return problems;
}

Texts TextsOf(int n) {
    const HexagramEntry& e = Hexagram(n);
    return {e.judgmentPoem, e.judgmentDescription, e.imagePoem, e.imageDescription};
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    return all;
}

class EntryContentTest : public ::testing::TestWithParam<int> {};

TEST_P(EntryContentTest, TextsPassTheChecks) {
    const std::vector<std::string> problems = EntryProblems(TextsOf(GetParam()));
    EXPECT_TRUE(problems.empty()) << "hexagram " << GetParam() << ":\n" << Joined(problems);
}

TEST_P(EntryContentTest, NameHasAReasonableLength) {
    const std::string name = Hexagram(GetParam()).name;
    EXPECT_GE(name.size(), 5u) << name;
    EXPECT_LE(name.size(), 44u) << name;
}

TEST_P(EntryContentTest, EveryLineHasItsText) {
    const HexagramEntry& e = Hexagram(GetParam());
    std::vector<std::string> problems;
    for (const char* text : e.lineTexts) {
        for (const std::string& p : TextProblems(text, kLineLimit)) problems.push_back(p);
    }
    // Only the first two hexagrams have a text for all six lines changing.
    if (GetParam() <= 2) {
        ASSERT_NE(e.allLinesText, nullptr);
        for (const std::string& p : TextProblems(e.allLinesText, kLineLimit)) problems.push_back("all " + p);
    } else {
        EXPECT_EQ(e.allLinesText, nullptr);
    }
    EXPECT_TRUE(problems.empty()) << "hexagram " << GetParam() << ":\n" << Joined(problems);
}

INSTANTIATE_TEST_SUITE_P(All, EntryContentTest, ::testing::Range(1, kHexagramCount + 1));

TEST(Content, NoTwoTextsAreTheSame) {
    std::set<std::string> seen;
    for (int n = 1; n <= kHexagramCount; ++n) {
        const HexagramEntry& e = Hexagram(n);
        std::vector<const char*> texts = {e.name, e.judgmentPoem, e.judgmentDescription, e.imagePoem,
                                          e.imageDescription};
        texts.insert(texts.end(), std::begin(e.lineTexts), std::end(e.lineTexts));
        if (e.allLinesText) texts.push_back(e.allLinesText);
        for (const char* text : texts) EXPECT_TRUE(seen.insert(text).second) << "hexagram " << n << " repeats: " << text;
    }
    EXPECT_EQ(seen.size(), 64u * 11 + 2);
}

TEST(Content, TotalLengthIsWithinBounds) {
    std::size_t total = 0;
    for (int n = 1; n <= kHexagramCount; ++n) {
        const Texts t = TextsOf(n);
        total += t.judgmentPoem.size() + t.judgmentDescription.size() + t.imagePoem.size() + t.imageDescription.size();
    }
    EXPECT_GE(total, 50000u);
    EXPECT_LE(total, 65000u);
}

// The words a line text may use for each of the classic's verdicts.
const std::map<std::string, std::vector<std::string>> kVerdictWords = {
    {"great-good-fortune", {"great good fortune", "supreme good fortune"}},
    {"good-fortune", {"good fortune"}},
    {"misfortune", {"misfortune"}},
    {"no-blame", {"no blame", "blameless", "without blame", "not to blame"}},
    {"regret", {"regret", "remorse"}},
    {"regret-vanishes", {"regret", "remorse"}},
    {"humiliation", {"humiliat", "shame", "disgrace"}},
    {"danger", {"danger", "peril"}},
};

TEST(Content, EveryLineTextNamesItsVerdicts) {
    std::ifstream table(HEXALUNE_SOURCE_DIR "/tests/reading/line_verdicts.tsv");
    ASSERT_TRUE(table) << "line_verdicts.tsv";
    std::string row;
    int checked = 0;
    while (std::getline(table, row)) {
        if (row.empty() || row[0] == '#') continue;
        std::istringstream fields(row);
        int hexagram = 0, line = 0;
        fields >> hexagram >> line;
        const HexagramEntry& e = Hexagram(hexagram);
        std::string text = line == 7 ? e.allLinesText : e.lineTexts[line - 1];
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (std::string verdict; fields >> verdict; ++checked) {
            const auto& words = kVerdictWords.at(verdict);
            const bool named = std::any_of(words.begin(), words.end(),
                                           [&](const std::string& w) { return text.find(w) != std::string::npos; });
            EXPECT_TRUE(named) << hexagram << "." << line << " does not name " << verdict << ": " << text;
        }
    }
    EXPECT_EQ(checked, 333);
}

// The checker itself: a good entry with one flaw put in must be caught.
using Mutation = void (*)(Texts&);

struct FlawCase {
    const char* name;
    Mutation mutate;
    const char* expected;  // part of the problem reported
};

// Replaces the first space of the text with `joint`.
void Join(std::string& text, const std::string& joint) { text.replace(text.find(' '), 1, joint); }

class CheckerTest : public ::testing::TestWithParam<FlawCase> {};

TEST_P(CheckerTest, CatchesTheFlaw) {
    Texts texts = TextsOf(1);
    ASSERT_TRUE(EntryProblems(texts).empty());
    GetParam().mutate(texts);
    const std::string problems = Joined(EntryProblems(texts));
    EXPECT_NE(problems.find(GetParam().expected), std::string::npos) << problems;
}

INSTANTIATE_TEST_SUITE_P(
    Flaws, CheckerTest,
    ::testing::Values(
        FlawCase{"PoemTooLong", [](Texts& t) { t.judgmentPoem += std::string(200, 'a'); }, "judgmentPoem: too long"},
        FlawCase{"PoemTooShort", [](Texts& t) { t.judgmentPoem = "Short and sweet."; }, "judgmentPoem: too short"},
        FlawCase{"ImagePoemTooLong", [](Texts& t) { t.imagePoem.append(100, 'x'); }, "imagePoem: too long"},
        FlawCase{"DescriptionTooShort", [](Texts& t) { t.judgmentDescription.resize(217); },
                 "judgmentDescription: too short"},
        FlawCase{"DescriptionTooLong", [](Texts& t) { t.imageDescription.append(100, 'x'); },
                 "imageDescription: too long"},
        FlawCase{"NonAscii", [](Texts& t) { Join(t.imagePoem, " caf\xC3\xA9 "); }, "not printable ASCII"},
        FlawCase{"ControlCharacter", [](Texts& t) { Join(t.imagePoem, " \x01 "); }, "not printable ASCII"},
        FlawCase{"Newline", [](Texts& t) { Join(t.judgmentDescription, "\n"); }, "broken over lines"},
        FlawCase{"CarriageReturn", [](Texts& t) { Join(t.judgmentPoem, "\r"); }, "broken over lines"},
        FlawCase{"EmptyVerseLine", [](Texts& t) { Join(t.imagePoem, "\n\n"); }, "empty or padded verse line"},
        FlawCase{"PaddedVerseLine", [](Texts& t) { Join(t.imagePoem, " \n"); }, "empty or padded verse line"},
        FlawCase{"Tab", [](Texts& t) { Join(t.judgmentDescription, "\t"); }, "broken over lines"},
        FlawCase{"DoubleSpace", [](Texts& t) { Join(t.imageDescription, "  "); }, "double space"},
        FlawCase{"LeadingSpace", [](Texts& t) { t.imagePoem.insert(0, " "); }, "leading or trailing space"},
        FlawCase{"TrailingSpace", [](Texts& t) { t.imagePoem += " "; }, "leading or trailing space"},
        FlawCase{"DuplicateText", [](Texts& t) { t.imageDescription = t.judgmentDescription; },
                 "imageDescription: duplicates judgmentDescription"}),
    [](const ::testing::TestParamInfo<FlawCase>& info) { return std::string(info.param.name); });

TEST(ContentChecker, CatchesVerseLinesRunTogether) {
    // "things, Clear" written as "thingsClear", "things.Clear" and the like.
    for (const char* joint : {"X", ".X", ",X", ";X", ":X", "!X", "?X", "'X", "\"X"}) {
        Texts texts = TextsOf(1);
        Join(texts.judgmentPoem, joint);
        EXPECT_NE(Joined(EntryProblems(texts)).find("run together"), std::string::npos) << joint;
    }
    Texts spaced = TextsOf(1);
    Join(spaced.judgmentPoem, " - X ");  // a capital after a space or a dash is fine
    EXPECT_TRUE(EntryProblems(spaced).empty());
}

}  // namespace
}  // namespace hexalune
