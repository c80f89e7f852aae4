// Drawing the reading of the day, showing the stored one, and renewing it once a day.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "fakes/Fakes.h"
#include "reading/Reading.h"
#include "reading/SeededRandom.h"

namespace hexalune {
namespace {

using testing::FakeCalendar;
using testing::FakeSettings;
using testing::R;
using testing::ScriptedRandom;

// The changing lines as numbers; fails on anything but single digits joined by single commas.
std::vector<int> SplitLines(const std::string& text) {
    std::vector<int> lines;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        const bool joined = i + 1 == text.size() || (text[i + 1] == ',' && i + 2 < text.size());
        if (!digit || !joined) {
            ADD_FAILURE() << "badly formed changing lines \"" << text << "\"";
            break;
        }
        lines.push_back(text[i] - '0');
    }
    return lines;
}

struct DrawCase {
    float r;
    int bound;
    int expected;
};

class DrawWholeNumberTest : public ::testing::TestWithParam<DrawCase> {};

TEST_P(DrawWholeNumberTest, FloorsTheProductAndAddsOne) {
    EXPECT_EQ(DrawWholeNumber(GetParam().r, GetParam().bound), GetParam().expected);
}

const float kLargestBelowOne = std::nextafter(1.0f, 0.0f);

INSTANTIATE_TEST_SUITE_P(Values, DrawWholeNumberTest,
                         ::testing::Values(DrawCase{0.0f, 64, 1}, DrawCase{kLargestBelowOne, 64, 64},
                                           DrawCase{kLargestBelowOne, 6, 6}, DrawCase{0.5f, 6, 4},
                                           DrawCase{std::nextafter(1.0f / 64.0f, 0.0f), 64, 1}));

struct ScriptCase {
    const char* name;
    std::vector<float> script;
    int hexagram;
    const char* lines;
};

class ScriptedDrawTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptedDrawTest, DrawsHexagramThenCountThenDistinctLines) {
    ScriptedRandom random(GetParam().script);
    const Reading reading = DrawRandomReading(random);
    EXPECT_EQ(reading.hexagram, GetParam().hexagram);
    EXPECT_EQ(reading.changingLines, GetParam().lines);
    EXPECT_EQ(random.calls, static_cast<int>(GetParam().script.size()));  // nothing drawn beyond the script
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, ScriptedDrawTest,
    ::testing::Values(
        ScriptCase{"ThreeLines", {R(17, 64), R(3, 6), R(4, 6), R(1, 6), R(6, 6)}, 17, "4,1,6"},
        ScriptCase{"OneLine", {R(64, 64), R(1, 6), R(5, 6)}, 64, "5"},
        ScriptCase{"DuplicatesRedrawn", {R(2, 64), R(3, 6), R(4, 6), R(4, 6), R(1, 6), R(4, 6), R(1, 6), R(6, 6)}, 2,
                   "4,1,6"},
        ScriptCase{"SixLines",
                   {R(9, 64), R(6, 6), R(6, 6), R(6, 6), R(5, 6), R(4, 6), R(3, 6), R(6, 6), R(2, 6), R(1, 6)}, 9,
                   "6,5,4,3,2,1"},
        ScriptCase{"LargestDraws",
                   {kLargestBelowOne, kLargestBelowOne, kLargestBelowOne, R(1, 6), R(2, 6), R(3, 6), R(4, 6), R(5, 6)},
                   64, "6,1,2,3,4,5"}),
    [](const ::testing::TestParamInfo<ScriptCase>& info) { return std::string(info.param.name); });

TEST(DrawRandomReading, ManySeededDrawsCoverEveryHexagramAndLineCount) {
    SeededRandom random(20261208u);
    std::set<int> hexagrams;
    std::set<std::size_t> counts;
    std::set<int> lines;
    for (int i = 0; i < 5000; ++i) {
        const Reading reading = DrawRandomReading(random);
        ASSERT_TRUE(reading.hexagram >= 1 && reading.hexagram <= 64) << reading.hexagram;
        hexagrams.insert(reading.hexagram);
        const std::vector<int> drawn = SplitLines(reading.changingLines);
        ASSERT_FALSE(::testing::Test::HasFailure()) << reading.changingLines;
        ASSERT_TRUE(!drawn.empty() && drawn.size() <= 6u) << reading.changingLines;
        ASSERT_EQ(std::set<int>(drawn.begin(), drawn.end()).size(), drawn.size()) << reading.changingLines;
        for (int line : drawn) ASSERT_TRUE(line >= 1 && line <= 6) << reading.changingLines;
        counts.insert(drawn.size());
        lines.insert(drawn.begin(), drawn.end());
    }
    EXPECT_EQ(hexagrams.size(), 64u);
    EXPECT_EQ(counts.size(), 6u);
    EXPECT_EQ(lines.size(), 6u);
}

TEST(SeededRandom, StaysBelowOneAndRepeatsForTheSameSeed) {
    SeededRandom a(7u), b(7u);
    for (int i = 0; i < 100000; ++i) {
        const float r = a.Next();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        ASSERT_EQ(r, b.Next());
    }
}

// Records the reading shown into the same log as the settings' writes.
class LoggingView : public IReadingView {
public:
    explicit LoggingView(std::vector<std::string>& log) : log_(log) {}
    void ShowReading(int hexagram, const std::string& lines) override {
        log_.push_back("show " + std::to_string(hexagram) + " " + lines);
    }

private:
    std::vector<std::string>& log_;
};

class ReadingServiceTest : public ::testing::Test {
protected:
    FakeSettings settings;
    FakeCalendar calendar;
    ScriptedRandom random{{R(23, 64), R(2, 6), R(5, 6), R(2, 6)}};
    LoggingView view{settings.writes};
    ReadingService service{settings, calendar, random, view};
};

TEST_F(ReadingServiceTest, DrawShowsThenStoresCardThenLines) {
    service.DrawReading();
    EXPECT_EQ(settings.writes, (std::vector<std::string>{"show 23 5,2", "Card=23", "ChangingLines=5,2"}));
}

TEST_F(ReadingServiceTest, StoredReadingIsShownAndWrittenBack) {
    settings.values = {{"Card", "12"}, {"ChangingLines", "3,1"}};
    service.ShowStoredReading();
    EXPECT_EQ(settings.writes, (std::vector<std::string>{"show 12 3,1", "Card=12", "ChangingLines=3,1"}));
    EXPECT_EQ(random.calls, 0);
}

class BadCardTest : public ReadingServiceTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(BadCardTest, DrawsANewReadingInstead) {
    if (GetParam()) settings.values["Card"] = GetParam();
    settings.values["ChangingLines"] = "1,2,3";
    service.ShowStoredReading();
    EXPECT_EQ(settings.writes, (std::vector<std::string>{"show 23 5,2", "Card=23", "ChangingLines=5,2"}));
}

INSTANTIATE_TEST_SUITE_P(Cards, BadCardTest,
                         ::testing::Values(nullptr, "", "0", "65", "-1", "abc", " 7", "99999"));

struct DueCase {
    const char* name;
    int storedOffset;   // days from today, used when `storedText` is null
    const char* storedText;
    bool due;
};

class RenewTest : public ReadingServiceTest, public ::testing::WithParamInterface<DueCase> {};

TEST_P(RenewTest, DrawsAndStoresTomorrowOnlyWhenDue) {
    const DueCase& c = GetParam();
    const std::string stored = c.storedText ? c.storedText : calendar.Text(c.storedOffset);
    settings.values = {{"Date", stored}, {"Card", "40"}, {"ChangingLines", "6"}};
    EXPECT_EQ(service.RenewReadingIfDue(), c.due);
    if (c.due) {
        EXPECT_EQ(settings.writes, (std::vector<std::string>{"Date=" + calendar.Text(1), "show 23 5,2", "Card=23",
                                                             "ChangingLines=5,2"}));
    } else {
        EXPECT_TRUE(settings.writes.empty());
        EXPECT_EQ(random.calls, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    StoredDates, RenewTest,
    ::testing::Values(DueCase{"Today", 0, nullptr, true}, DueCase{"Tomorrow", 1, nullptr, false},
                      DueCase{"Yesterday", -1, nullptr, true}, DueCase{"AWeekAgo", -7, nullptr, true},
                      DueCase{"TwoDaysAhead", 2, nullptr, true}, DueCase{"AMonthAhead", 31, nullptr, true},
                      DueCase{"AYearAgo", -365, nullptr, true}, DueCase{"Missing", 0, "", true},
                      DueCase{"Garbage", 0, "garbage", true}, DueCase{"NoSuchDay", 0, "2/30/2026", true}),
    [](const ::testing::TestParamInfo<DueCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hexalune
