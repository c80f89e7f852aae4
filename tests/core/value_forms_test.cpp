// The conversions of stored texts: Boolean words and numbers, and the display time's whole numbers.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/ValueForms.h"

namespace hexalune {
namespace {

struct BooleanCase {
    std::string text;
    std::optional<bool> expected;
};

class TextToBooleanTest : public ::testing::TestWithParam<BooleanCase> {};

TEST_P(TextToBooleanTest, ReadsWordsAndNumbers) {
    EXPECT_EQ(TextToBoolean(GetParam().text), GetParam().expected) << "text \"" << GetParam().text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextToBooleanTest,
    ::testing::Values(BooleanCase{"True", true}, BooleanCase{"False", false}, BooleanCase{"true", true},
                      BooleanCase{"TRUE", true}, BooleanCase{"fAlSe", false}, BooleanCase{"1", true},
                      BooleanCase{"0", false}, BooleanCase{"2", true}, BooleanCase{"-1", true},
                      BooleanCase{"0.0", false}, BooleanCase{"0.5", true}, BooleanCase{" True ", true},
                      BooleanCase{"maybe", std::nullopt}, BooleanCase{"", std::nullopt},
                      BooleanCase{"yes", std::nullopt}, BooleanCase{"Truex", std::nullopt},
                      BooleanCase{"Tru", std::nullopt}, BooleanCase{"-", std::nullopt},
                      BooleanCase{".", std::nullopt}, BooleanCase{"1 2", std::nullopt}));

struct WholeNumberCase {
    std::string text;
    int low, high;
    std::optional<int> expected;
};

class ParseWholeNumberTest : public ::testing::TestWithParam<WholeNumberCase> {};

TEST_P(ParseWholeNumberTest, AcceptsDigitsWithinTheRangeOnly) {
    const WholeNumberCase& c = GetParam();
    EXPECT_EQ(ParseWholeNumber(c.text, c.low, c.high), c.expected) << "text \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseWholeNumberTest,
    ::testing::Values(WholeNumberCase{"7", 0, 23, 7}, WholeNumberCase{"07", 0, 23, 7}, WholeNumberCase{"0", 0, 23, 0},
                      WholeNumberCase{"23", 0, 23, 23}, WholeNumberCase{"24", 0, 23, std::nullopt},
                      WholeNumberCase{"60", 0, 59, std::nullopt}, WholeNumberCase{"-1", 0, 23, std::nullopt},
                      WholeNumberCase{"+1", 0, 23, std::nullopt}, WholeNumberCase{" 7", 0, 23, std::nullopt},
                      WholeNumberCase{"7 ", 0, 23, std::nullopt}, WholeNumberCase{"x", 0, 23, std::nullopt},
                      WholeNumberCase{"", 0, 23, std::nullopt}, WholeNumberCase{"0", 1, 64, std::nullopt},
                      WholeNumberCase{"64", 1, 64, 64}, WholeNumberCase{"65", 1, 64, std::nullopt},
                      WholeNumberCase{"99999999999999999999", 1, 64, std::nullopt},
                      WholeNumberCase{"000000007", 1, 64, 7}));

}  // namespace
}  // namespace hexalune
