// Asking a question: the odds of each method, the lines' hexagrams, and what to read.
#include <gtest/gtest.h>

#include <set>

#include "reading/Cast.h"
#include "reading/Catalogue.h"
#include "reading/JournalView.h"

namespace hexalune {
namespace {

// How often each value comes up over all 256 bytes, which the system gives with equal odds.
std::array<int, 4> Counts(CastMethod method) {
    std::array<int, 4> counts{};
    for (int b = 0; b < 256; ++b)
        ++counts[static_cast<std::size_t>(LineFromByte(method, static_cast<unsigned char>(b)) - 6)];
    return counts;
}

TEST(Cast, CoinsAndStalksHaveTheirExactOdds) {
    EXPECT_EQ(Counts(CastMethod::Coins), (std::array<int, 4>{32, 96, 96, 32}));    // 1, 3, 3, 1 in 8
    EXPECT_EQ(Counts(CastMethod::Yarrow), (std::array<int, 4>{16, 80, 112, 48}));  // 1, 5, 7, 3 in 16
}

LineValues Values(unsigned figure, int solid, int broken) {
    LineValues v{};
    for (int i = 0; i < 6; ++i) v[static_cast<std::size_t>(i)] = (figure >> i) & 1U ? solid : broken;
    return v;
}

TEST(Cast, EverySixLinesGiveTheCataloguesOwnHexagram) {
    std::set<int> seen;
    for (unsigned figure = 0; figure < 64; ++figure) {
        const int n = HexagramOfLines(Values(figure, 7, 8));
        EXPECT_EQ(Hexagram(n).lines, figure);
        EXPECT_EQ(HexagramOfLines(Values(figure, 9, 6)), n);  // moving lines are still what they are now
        seen.insert(n);
    }
    EXPECT_EQ(seen.size(), 64U);
    EXPECT_EQ(HexagramOfLines({7, 8, 9, 7, 6, 8}), 55);
}

TEST(Cast, OnlyMovingLinesTurn) {
    EXPECT_EQ(RelatingOfLines({7, 8, 9, 7, 6, 8}), 17);
    for (unsigned figure = 0; figure < 64; ++figure) {
        EXPECT_EQ(RelatingOfLines(Values(figure, 7, 8)), HexagramOfLines(Values(figure, 7, 8)));
        EXPECT_EQ(RelatingOfLines(Values(figure, 9, 6)), HexagramOfLines(Values(~figure & 63U, 7, 8)));
    }
    EXPECT_EQ(MovingLines({7, 8, 9, 7, 6, 8}), (std::vector<int>{3, 5}));
}

using T = TextToRead;

TEST(Cast, WhatToReadFollowsTheClassicalRule) {
    // 11 Peace is 7 7 7 8 8 8; its lines move one by one.
    auto rule = [](LineValues v) { return ReadingRule(v); };
    WhatToRead r = rule({7, 7, 7, 8, 8, 8});
    EXPECT_EQ(r.texts, (std::vector<T>{{11, T::Judgment}}));
    r = rule({7, 7, 9, 8, 8, 8});
    EXPECT_EQ(r.texts, (std::vector<T>{{11, T::Line, 3}}));
    r = rule({7, 8, 9, 7, 6, 8});
    EXPECT_EQ(r.texts, (std::vector<T>{{55, T::Line, 3}, {55, T::Line, 5}}));
    EXPECT_EQ(r.governing, 1U);  // the upper
    r = rule({9, 7, 9, 8, 6, 8});
    const int rel3 = RelatingOfLines({9, 7, 9, 8, 6, 8});
    EXPECT_EQ(r.texts, (std::vector<T>{{11, T::Judgment}, {rel3, T::Judgment}}));
    EXPECT_EQ(r.governing, 0U);  // the primary
    r = rule({9, 7, 9, 6, 8, 6});  // lines 2 and 5 stay: read them in the relating hexagram
    const int rel4 = RelatingOfLines({9, 7, 9, 6, 8, 6});
    EXPECT_EQ(r.texts, (std::vector<T>{{rel4, T::Line, 2}, {rel4, T::Line, 5}}));
    EXPECT_EQ(r.governing, 0U);  // the lower
    r = rule({9, 9, 9, 6, 8, 6});
    EXPECT_EQ(r.texts, (std::vector<T>{{RelatingOfLines({9, 9, 9, 6, 8, 6}), T::Line, 5}}));
    EXPECT_EQ(rule({9, 9, 9, 6, 6, 6}).texts, (std::vector<T>{{12, T::Judgment}}));
    EXPECT_EQ(rule({9, 9, 9, 9, 9, 9}).texts, (std::vector<T>{{1, T::AllLines}}));
    EXPECT_EQ(rule({6, 6, 6, 6, 6, 6}).texts, (std::vector<T>{{2, T::AllLines}}));
}

TEST(Cast, TheTextsAreOnlyThoseToRead) {
    const WhatToRead r = ReadingRule({7, 8, 9, 7, 6, 8});
    const std::string text = TextsToRead(r);
    EXPECT_LT(text.find(Hexagram(55).lineTexts[2]), text.find(Hexagram(55).lineTexts[4]));
    for (int line : {0, 1, 3, 5}) EXPECT_EQ(text.find(Hexagram(55).lineTexts[line]), std::string::npos) << line;
    EXPECT_EQ(GoverningSentence(r), "Line 5 of 55 Abundance (Fullness) governs.");
    EXPECT_EQ(CastSpokenName({7, 8, 9, 7, 6, 8}), "Hexagram 55, Abundance (Fullness), lines 3 and 5 changing");
}

TEST(Cast, OwnCastTakesSixValuesInEitherForm) {
    const LineValues expected{7, 8, 9, 7, 6, 8};
    for (const char* text : {"7 8 9 7 6 8", "7,8,9,7,6,8", "7, 8, 9, 7, 6, 8", "789768", " 789768 "})
        EXPECT_EQ(ParseOwnCast(text), expected) << text;
    for (const char* text : {"", "7 8 9 7 6", "78976", "7 8 9 7 6 8 7", "7897688", "7 8 9 7 5 8", "789 768",
                             "7;8;9;7;6;8", "7 8 9 7 6 x", "seven"})
        EXPECT_FALSE(ParseOwnCast(text)) << text;
}

TEST(Cast, TheJournalKeepsHowItWasCastAndReadsItByTheRule) {
    const JournalEntry e = EntryForCast(std::string(600, 'q'), CastMethod::OwnCast, {7, 8, 9, 7, 6, 8}, {});
    EXPECT_EQ(e.hexagram, 55);
    EXPECT_EQ(e.changingLines, "3,5");
    EXPECT_EQ(e.relating, 17);
    EXPECT_EQ(e.question.size(), kQuestionLimit);
    EXPECT_EQ(e.method, "Own cast");
    EXPECT_EQ(e.lineValues, "789768");
    const std::string text = EntryReadingText(e);
    EXPECT_NE(text.find(Hexagram(55).lineTexts[4]), std::string::npos);
    EXPECT_EQ(text.find(Hexagram(55).lineTexts[0]), std::string::npos);
    EXPECT_EQ(EntryForCast("", CastMethod::Coins, {7, 7, 7, 8, 8, 8}, {}).relating, 0);
}

}  // namespace
}  // namespace hexalune
