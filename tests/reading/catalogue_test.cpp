// The 64 hexagrams: their names in King Wen order and their figures.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "reading/Catalogue.h"

namespace hexalune {
namespace {

const char* const kNames[kHexagramCount] = {
    "The Creative", "The Receptive", "Difficulty at the Beginning", "Youthful Folly", "Waiting (Nourishment)",
    "Conflict", "The Army", "Holding Together (Union)", "The Taming Power of the Small", "Treading (Conduct)",
    "Peace", "Standstill (Stagnation)", "Fellowship with Men", "Possession in Great Measure", "Modesty",
    "Enthusiasm", "Following", "Work on what has been spoiled (Decay)", "Approach", "Contemplation (View)",
    "Biting Through", "Grace", "Splitting Apart", "Return (The Turning Point)", "Innocence (The Unexpected)",
    "The Taming Power of the Great", "Corners of the Mouth (Providing Nourishment)", "Preponderance of the Great",
    "The Abysmal (Water)", "The Clinging Fire", "Influence (Wooing)", "Duration", "Retreat",
    "The Power of the Great", "Progress", "Darkening of the Light", "The Family (The Clan)", "Opposition",
    "Obstruction", "Deliverance", "Decrease", "Increase", "Break-through (Resoluteness)", "Coming to Meet",
    "Gathering Together (Massing)", "Pushing Upward", "Oppression (Exhaustion)", "The Well", "Revolution (Molting)",
    "The Caldron", "The Arousing (Shock, Thunder)", "Keeping Still, Mountain", "Development (Gradual Progress)",
    "The Marrying Maiden", "Abundance (Fullness)", "The Wanderer", "The Gentle (The Penetrating, Wind)",
    "The Joyous, Lake", "Dispersion (Dissolution)", "Limitation", "Inner Truth", "Preponderance of the Small",
    "After Completion", "Before Completion"};

// Trigram lines from the bottom: bit 0 is the lowest line, set = solid.
const std::map<std::string, unsigned> kTrigrams = {{"Heaven", 0b111}, {"Earth", 0b000},    {"Thunder", 0b001},
                                                   {"Water", 0b010},  {"Mountain", 0b100}, {"Wind", 0b110},
                                                   {"Fire", 0b101},   {"Lake", 0b011}};

// Each hexagram's lower and upper trigram, in King Wen order, written out here so that a
// figure swapped with its partner's is caught even when its labels moved with it.
const char* const kFigures[kHexagramCount][2] = {
    {"Heaven", "Heaven"},   {"Earth", "Earth"},       {"Thunder", "Water"},   {"Water", "Mountain"},
    {"Heaven", "Water"},    {"Water", "Heaven"},      {"Water", "Earth"},     {"Earth", "Water"},
    {"Heaven", "Wind"},     {"Lake", "Heaven"},       {"Heaven", "Earth"},    {"Earth", "Heaven"},
    {"Fire", "Heaven"},     {"Heaven", "Fire"},       {"Mountain", "Earth"},  {"Earth", "Thunder"},
    {"Thunder", "Lake"},    {"Wind", "Mountain"},     {"Lake", "Earth"},      {"Earth", "Wind"},
    {"Thunder", "Fire"},    {"Fire", "Mountain"},     {"Earth", "Mountain"},  {"Thunder", "Earth"},
    {"Thunder", "Heaven"},  {"Heaven", "Mountain"},   {"Thunder", "Mountain"}, {"Wind", "Lake"},
    {"Water", "Water"},     {"Fire", "Fire"},         {"Mountain", "Lake"},   {"Wind", "Thunder"},
    {"Mountain", "Heaven"}, {"Heaven", "Thunder"},    {"Earth", "Fire"},      {"Fire", "Earth"},
    {"Fire", "Wind"},       {"Lake", "Fire"},         {"Mountain", "Water"},  {"Water", "Thunder"},
    {"Lake", "Mountain"},   {"Thunder", "Wind"},      {"Heaven", "Lake"},     {"Wind", "Heaven"},
    {"Earth", "Lake"},      {"Wind", "Earth"},        {"Water", "Lake"},      {"Wind", "Water"},
    {"Fire", "Lake"},       {"Wind", "Fire"},         {"Thunder", "Thunder"}, {"Mountain", "Mountain"},
    {"Mountain", "Wind"},   {"Lake", "Thunder"},      {"Fire", "Thunder"},    {"Mountain", "Fire"},
    {"Wind", "Wind"},       {"Lake", "Lake"},         {"Water", "Wind"},      {"Lake", "Water"},
    {"Lake", "Wind"},       {"Mountain", "Thunder"},  {"Fire", "Water"},      {"Water", "Fire"}};

unsigned Lines(int n) { return Hexagram(n).lines & 0x3Fu; }

// The figure turned upside down: line 1 becomes line 6.
unsigned Reversed(unsigned lines) {
    unsigned r = 0;
    for (int i = 0; i < 6; ++i)
        if (lines & (1u << i)) r |= 1u << (5 - i);
    return r;
}

class HexagramTest : public ::testing::TestWithParam<int> {};

TEST_P(HexagramTest, HasItsNameInKingWenOrder) {
    EXPECT_STREQ(Hexagram(GetParam()).name, kNames[GetParam() - 1]);
}

TEST_P(HexagramTest, LinesMatchTheTwoTrigrams) {
    const HexagramEntry& e = Hexagram(GetParam());
    ASSERT_TRUE(kTrigrams.count(e.lowerTrigram)) << e.lowerTrigram;
    ASSERT_TRUE(kTrigrams.count(e.upperTrigram)) << e.upperTrigram;
    EXPECT_EQ(e.lines >> 6, 0) << "bits above line 6";
    EXPECT_EQ(Lines(GetParam()) & 0b111u, kTrigrams.at(e.lowerTrigram)) << "lower trigram " << e.lowerTrigram;
    EXPECT_EQ(Lines(GetParam()) >> 3, kTrigrams.at(e.upperTrigram)) << "upper trigram " << e.upperTrigram;
}

TEST_P(HexagramTest, FigureIsTheOneOfItsNumber) {
    const auto& [lower, upper] = kFigures[GetParam() - 1];
    EXPECT_EQ(Lines(GetParam()), kTrigrams.at(upper) << 3 | kTrigrams.at(lower)) << lower << " below " << upper;
}

INSTANTIATE_TEST_SUITE_P(All, HexagramTest, ::testing::Range(1, kHexagramCount + 1));

TEST(Catalogue, TheWellKnownFiguresAreRight) {
    EXPECT_EQ(Lines(1), 0b111111u);
    EXPECT_EQ(Lines(2), 0b000000u);
    // Peace: heaven below earth; Standstill: the other way round.
    EXPECT_EQ(Lines(11), 0b000111u);
    EXPECT_EQ(Lines(12), 0b111000u);
    EXPECT_EQ(Lines(11), Reversed(Lines(12)));
    const bool afterCompletion[] = {true, false, true, false, true, false};
    for (int line = 1; line <= 6; ++line) {
        EXPECT_EQ(Hexagram(63).IsSolid(line), afterCompletion[line - 1]) << "63 line " << line;
        EXPECT_EQ(Hexagram(64).IsSolid(line), !afterCompletion[line - 1]) << "64 line " << line;
    }
}

TEST(Catalogue, AllSixtyFourFiguresAreDistinct) {
    std::set<unsigned> figures;
    for (int n = 1; n <= kHexagramCount; ++n) figures.insert(Lines(n));
    EXPECT_EQ(figures.size(), 64u);
}

TEST(Catalogue, EachEvenHexagramIsItsOddPartnerTurnedOverOrInverted) {
    for (int n = 1; n < kHexagramCount; n += 2) {
        const unsigned odd = Lines(n);
        const unsigned expected = Reversed(odd) == odd ? (~odd & 0x3Fu) : Reversed(odd);
        EXPECT_EQ(Lines(n + 1), expected) << "hexagrams " << n << " and " << n + 1;
    }
}

TEST(Catalogue, ANumberOutOfRangeGivesTheFirstEntry) {
    for (int n : {0, -1, 65, 1000}) {
        EXPECT_FALSE(IsHexagramNumber(n));
        EXPECT_EQ(&Hexagram(n), &Hexagram(1)) << n;
    }
    EXPECT_TRUE(IsHexagramNumber(1));
    EXPECT_TRUE(IsHexagramNumber(64));
}

}  // namespace
}  // namespace hexalune
