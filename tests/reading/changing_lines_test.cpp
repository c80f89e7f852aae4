// Changing lines in line order, and the hexagram they lead to, worked out by hand from the trigrams.
#include <gtest/gtest.h>

#include "reading/Catalogue.h"
#include "reading/ChangingLines.h"

namespace hexalune {
namespace {

TEST(ChangingLines, LeadToTheFigureWithThoseLinesTurned) {
    EXPECT_EQ(RelatingHexagram(1, {1, 2, 3, 4, 5, 6}), 2);   // all solid to all broken
    EXPECT_EQ(RelatingHexagram(11, {1}), 46);                // heaven below becomes wind below earth
    EXPECT_EQ(RelatingHexagram(63, {1, 2, 3, 4, 5, 6}), 64);
    EXPECT_EQ(RelatingHexagram(63, {1, 3, 5}), 2);           // its three solid lines break
    EXPECT_EQ(RelatingHexagram(5, {}), 5);
}

TEST(ChangingLines, AreShownFromTheBottomUpWithTheirTexts) {
    const ChangingLinesReading r = DescribeChangingLines(11, "5,1,3");
    EXPECT_EQ(r.lines, (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(r.relating, RelatingHexagram(11, {1, 3, 5}));
    const std::string& e = r.text;
    const auto line1 = e.find(std::string("Line 1\n") + Hexagram(11).lineTexts[0]);
    const auto line3 = e.find(std::string("Line 3\n") + Hexagram(11).lineTexts[2]);
    const auto line5 = e.find(std::string("Line 5\n") + Hexagram(11).lineTexts[4]);
    ASSERT_NE(line5, std::string::npos) << e;
    EXPECT_TRUE(line1 == 0 && line1 < line3 && line3 < line5) << e;
    EXPECT_EQ(e.find("All six"), std::string::npos);
}

TEST(ChangingLines, AllSixOfTheFirstTwoAddTheirOwnText) {
    const ChangingLinesReading r = DescribeChangingLines(2, "3,6,1,2,5,4");
    EXPECT_EQ(r.relating, 1);
    EXPECT_NE(r.text.find(Hexagram(2).allLinesText), std::string::npos);
    EXPECT_LT(r.text.find(Hexagram(2).lineTexts[5]), r.text.find(Hexagram(2).allLinesText));
}

TEST(ChangingLines, AValueEditedByHandShowsWhatItCan) {
    EXPECT_EQ(LineNumbers("9,x,4,4"), (std::vector<int>{4}));
    const ChangingLinesReading r = DescribeChangingLines(99, "");
    EXPECT_EQ(r.hexagram, 1);
    EXPECT_EQ(r.relating, 1);
    EXPECT_FALSE(r.text.empty());
}

}  // namespace
}  // namespace hexalune
