// The offer to look for an update every fifteen days, and the character shift that hides its date.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/Fakes.h"
#include "links/UpdateReminder.h"
#include "links/WebPages.h"

namespace hexalune {
namespace {

using testing::FakeCalendar;
using testing::FakeMessageBox;
using testing::FakeSettings;
using testing::FakeShell;

std::string Bytes(std::initializer_list<int> codes) {
    std::string s;
    for (int c : codes) s.push_back(static_cast<char>(c));
    return s;
}

TEST(ScrambleText, ShiftsEveryCharacterUpBy85) {
    EXPECT_EQ(ScrambleText(""), "");
    EXPECT_EQ(ScrambleText(Bytes({0, '1', '/', 170})), Bytes({85, '1' + 85, '/' + 85, 255}));
}

TEST(ScrambleText, DropsCharactersAbove170KeepingTheOrder) {
    EXPECT_EQ(ScrambleText(Bytes({'a', 171, 'b', 255, 'c'})), Bytes({'a' + 85, 'b' + 85, 'c' + 85}));
}

TEST(UnscrambleText, ShiftsDownBy85AndDropsCharactersBelow85) {
    EXPECT_EQ(UnscrambleText(""), "");
    EXPECT_EQ(UnscrambleText(Bytes({85, 255, 'x'})), Bytes({0, 170, 'x' - 85}));
    EXPECT_EQ(UnscrambleText(Bytes({'1', 200, 84, 0, 150})), Bytes({115, 65}));
}

class ScrambleRoundTripTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ScrambleRoundTripTest, UnscrambleRestoresTheDate) {
    const std::string text = GetParam();
    const std::string scrambled = ScrambleText(text);
    EXPECT_EQ(scrambled.size(), text.size());
    EXPECT_NE(scrambled, text);
    EXPECT_EQ(UnscrambleText(scrambled), text);
}

INSTANTIATE_TEST_SUITE_P(Dates, ScrambleRoundTripTest,
                         ::testing::Values("12/8/2026", "8.12.2026", "08/12/2026", "2026-12-08", "Duration"));

class UpdateReminderTest : public ::testing::Test {
protected:
    const std::string name = ScrambleText("Duration");

    void StoreDaysFromToday(int days) {
        settings.values[name] = ScrambleText(calendar.Text(days));
        settings.writes.clear();
    }
    void Run() { UpdateReminder(settings, calendar, messages, shell); }
    void ExpectTodayStored() { EXPECT_EQ(UnscrambleText(settings.Get(name)), calendar.Text(0)); }

    FakeSettings settings;
    FakeCalendar calendar;
    FakeMessageBox messages;
    FakeShell shell;
};

TEST_F(UpdateReminderTest, FirstStartStoresTodayScrambledWithoutAsking) {
    Run();
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(settings.writes.size(), 1u);
    EXPECT_EQ(settings.writes[0], name + "=" + ScrambleText("12/8/2026"));
    EXPECT_FALSE(settings.Has("Duration"));
    EXPECT_TRUE(shell.opened.empty());
}

class QuietDaysTest : public UpdateReminderTest, public ::testing::WithParamInterface<int> {};

TEST_P(QuietDaysTest, WithinFourteenDaysNothingHappens) {
    StoreDaysFromToday(GetParam());
    Run();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(settings.writes.empty());
    EXPECT_TRUE(shell.opened.empty());
}

INSTANTIATE_TEST_SUITE_P(Days, QuietDaysTest, ::testing::Values(-14, -1, 0, 1, 14));

struct PromptCase {
    int days;
    MsgAnswer answer;
};

class PromptTest : public UpdateReminderTest, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(PromptTest, FifteenDaysOrMoreAsksAndStoresTodayWhateverTheAnswer) {
    StoreDaysFromToday(GetParam().days);
    messages.answers.push_back(GetParam().answer);
    std::string storedWhenOpened;
    shell.onOpen = [&](const std::string&) { storedWhenOpened = UnscrambleText(settings.Get(name)); };
    Run();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "There maybe an update to this software available\rDo you want to check for an update?");
    EXPECT_EQ(messages.shown[0].caption, "Hexalune");
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Information);
    ExpectTodayStored();
    if (GetParam().answer == MsgAnswer::Yes) {
        EXPECT_EQ(shell.opened, std::vector<std::string>{WebPageAddress(WebPage::Download)});
        EXPECT_EQ(storedWhenOpened, calendar.Text(0));
    } else {
        EXPECT_TRUE(shell.opened.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Days, PromptTest,
                         ::testing::Values(PromptCase{-15, MsgAnswer::Yes}, PromptCase{-15, MsgAnswer::No},
                                           PromptCase{15, MsgAnswer::Yes}, PromptCase{15, MsgAnswer::No},
                                           PromptCase{-400, MsgAnswer::No}));

class UnreadableStoredTest : public UpdateReminderTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(UnreadableStoredTest, CountsAsFirstStart) {
    settings.values[name] = GetParam();
    Run();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(shell.opened.empty());
    ExpectTodayStored();
}

// Stored unscrambled by hand, scrambled garbage, a date in another order, and an empty value.
INSTANTIATE_TEST_SUITE_P(Values, UnreadableStoredTest,
                         ::testing::Values(std::string("11/1/2026"), ScrambleText("garbage"),
                                           ScrambleText("2026-11-01"), std::string("")));

}  // namespace
}  // namespace hexalune
