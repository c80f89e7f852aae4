// The display time: which ticks bring the window up, when the program must look next, a
// week of ticks through both daylight-saving changes and a month of looks only when due.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fakes/Fakes.h"
#include "reading/DisplayScheduler.h"
#include "reading/SeededRandom.h"

namespace hexalune {
namespace {

using testing::FakeCalendar;
using testing::FakeMainWindow;
using testing::FakeSettings;
using testing::R;
using testing::ScriptedRandom;

LocalDateTime At(int day, int h, int m, int s) { return LocalDateTime{{2026, 12, day}, h, m, s}; }

struct TickCase {
    const char* name;
    std::optional<LocalDateTime> previous;
    LocalDateTime now;
    DisplayTime at;
    bool matches;
};

class TickMatchesTest : public ::testing::TestWithParam<TickCase> {};

TEST_P(TickMatchesTest, MatchesWhenTheDisplayTimeFallsWithinTheStep) {
    EXPECT_EQ(TickMatches(GetParam().previous, GetParam().now, GetParam().at), GetParam().matches);
}

const DisplayTime kSeven{7, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Ticks, TickMatchesTest,
    ::testing::Values(
        TickCase{"FirstTickExactly", std::nullopt, At(8, 7, 0, 0), kSeven, true},
        TickCase{"FirstTickASecondEarly", std::nullopt, At(8, 6, 59, 59), kSeven, false},
        TickCase{"FirstTickASecondLate", std::nullopt, At(8, 7, 0, 1), kSeven, false},
        TickCase{"FirstTickInTheEvening", std::nullopt, At(8, 19, 0, 0), kSeven, false},
        TickCase{"OrdinaryStepOnto", At(8, 6, 59, 59), At(8, 7, 0, 0), kSeven, true},
        TickCase{"OrdinaryStepPast", At(8, 7, 0, 0), At(8, 7, 0, 1), kSeven, false},
        TickCase{"SkippedSecond", At(8, 6, 59, 59), At(8, 7, 0, 1), kSeven, true},
        TickCase{"PauseOfSeconds", At(8, 6, 59, 55), At(8, 7, 0, 3), kSeven, true},
        TickCase{"SameSecondTwice", At(8, 6, 59, 59), At(8, 6, 59, 59), kSeven, false},
        TickCase{"MidnightDisplayAcrossMidnight", At(8, 23, 59, 59), At(9, 0, 0, 1), DisplayTime{0, 0, 0}, true},
        TickCase{"LastSecondDisplayAcrossMidnight", At(8, 23, 59, 58), At(9, 0, 0, 0), DisplayTime{23, 59, 59},
                 true},
        TickCase{"AcrossMidnightOtherTime", At(8, 23, 59, 59), At(9, 0, 0, 1), kSeven, false},
        TickCase{"SleepOfHoursOverIt", At(8, 5, 0, 0), At(8, 7, 0, 5), kSeven, true},
        TickCase{"SleepOvernightOverIt", At(7, 23, 0, 0), At(8, 8, 0, 0), kSeven, true},
        TickCase{"SleepOverAWeekend", At(4, 18, 0, 0), At(7, 8, 0, 0), kSeven, true},
        TickCase{"SleepEndingBeforeIt", At(7, 23, 0, 0), At(8, 6, 30, 0), kSeven, false},
        TickCase{"SleepStartedAfterIt", At(8, 8, 0, 0), At(8, 10, 0, 0), kSeven, false},
        TickCase{"SetBackOverTheDisplayTime", At(8, 8, 0, 0), At(8, 6, 59, 59), kSeven, false},
        TickCase{"SetBackThenOnOverIt", At(8, 6, 59, 59), At(8, 7, 0, 1), kSeven, true},
        TickCase{"SetBackOntoIt", At(8, 8, 0, 0), At(8, 7, 0, 0), kSeven, true},
        TickCase{"SleepOfADayEndingJustPastIt", At(7, 6, 59, 59), At(8, 7, 0, 1), kSeven, true},
        TickCase{"SleepOverYesterdayEveningsTime", At(7, 20, 0, 0), At(8, 8, 0, 0), DisplayTime{21, 0, 0}, true},
        TickCase{"SleepOverMidnightAndALateTime", At(7, 23, 0, 0), At(8, 0, 30, 0), DisplayTime{23, 30, 0}, true},
        TickCase{"SleepOverMidnightOnly", At(7, 23, 45, 0), At(8, 0, 30, 0), DisplayTime{23, 30, 0}, false},
        TickCase{"WeekendOverThreeEveningTimes", At(4, 18, 0, 0), At(7, 8, 0, 0), DisplayTime{21, 0, 0}, true}),
    [](const ::testing::TestParamInfo<TickCase>& info) { return std::string(info.param.name); });

// The next display instant in Berlin time in 2026: summer time from 29 March 01:00 UTC
// (02:00 becomes 03:00) to 25 October 01:00 UTC (03:00 becomes 02:00 again).
constexpr long long kSummerStarts = 1774746000;
constexpr long long kSummerEnds = 1792890000;

FakeCalendar BerlinCalendar() {
    FakeCalendar calendar;
    calendar.offset = 3600;
    calendar.summerOffset = 3600;
    calendar.summerStarts = kSummerStarts;
    calendar.summerEnds = kSummerEnds;
    return calendar;
}

// A local time with the offset from UTC in force then (+1 or +2 hours), as an instant.
long long Berlin(int month, int day, int h, int m, int s, int offsetHours) {
    return LocalSeconds(LocalDateTime{{2026, month, day}, h, m, s}) - offsetHours * 3600LL;
}

struct NextCase {
    const char* name;
    long long now;
    DisplayTime at;
    std::optional<LocalDateTime> lastBrought;
    long long next;
};

class NextDisplayInstantTest : public ::testing::TestWithParam<NextCase> {};

TEST_P(NextDisplayInstantTest, IsTheFirstInstantTheClockReadsTheDisplayTimeNotYetBrought) {
    const FakeCalendar calendar = BerlinCalendar();
    const auto& c = GetParam();
    const std::optional<long long> brought = c.lastBrought ? std::optional(LocalSeconds(*c.lastBrought)) : std::nullopt;
    EXPECT_EQ(NextDisplayInstant(calendar, c.now, c.at, brought), c.next)
        << "local " << LocalSeconds(calendar.LocalAt(NextDisplayInstant(calendar, c.now, c.at, brought))) % 86400;
}

const LocalDateTime kOct25At0230{{2026, 10, 25}, 2, 30, 0};

INSTANTIATE_TEST_SUITE_P(
    Berlin, NextDisplayInstantTest,
    ::testing::Values(
        NextCase{"SameDay", Berlin(12, 8, 5, 0, 0, 1), kSeven, std::nullopt, Berlin(12, 8, 7, 0, 0, 1)},
        NextCase{"ASecondBefore", Berlin(12, 8, 6, 59, 59, 1), kSeven, std::nullopt, Berlin(12, 8, 7, 0, 0, 1)},
        NextCase{"AfterTheDisplayTime", Berlin(12, 8, 7, 0, 1, 1), kSeven, std::nullopt, Berlin(12, 9, 7, 0, 0, 1)},
        NextCase{"AtTheSecondItWasBrought", Berlin(12, 8, 7, 0, 0, 1), kSeven, At(8, 7, 0, 0),
                 Berlin(12, 9, 7, 0, 0, 1)},
        NextCase{"AcrossMidnight", Berlin(12, 8, 23, 30, 0, 1), DisplayTime{0, 15, 0}, std::nullopt,
                 Berlin(12, 9, 0, 15, 0, 1)},
        NextCase{"IntoSummerTime", Berlin(3, 28, 22, 0, 0, 1), kSeven, std::nullopt, Berlin(3, 29, 7, 0, 0, 2)},
        NextCase{"OutOfSummerTime", Berlin(10, 24, 22, 0, 0, 2), kSeven, std::nullopt, Berlin(10, 25, 7, 0, 0, 1)},
        NextCase{"InsideTheSkippedHour", Berlin(3, 28, 20, 0, 0, 1), DisplayTime{2, 30, 0}, std::nullopt,
                 Berlin(3, 29, 3, 0, 0, 2)},
        NextCase{"InsideTheSkippedHourFromItsStart", Berlin(3, 29, 1, 59, 59, 1), DisplayTime{2, 30, 0},
                 std::nullopt, Berlin(3, 29, 3, 0, 0, 2)},
        NextCase{"InsideTheRepeatedHour", Berlin(10, 24, 22, 0, 0, 2), DisplayTime{2, 30, 0}, std::nullopt,
                 Berlin(10, 25, 2, 30, 0, 2)},
        NextCase{"InsideTheRepeatedHourOnceBrought", Berlin(10, 25, 2, 30, 0, 2), DisplayTime{2, 30, 0},
                 kOct25At0230, Berlin(10, 26, 2, 30, 0, 1)},
        NextCase{"InsideTheRepeatedHourStartedAfterItsFirstPass", Berlin(10, 25, 2, 40, 0, 2),
                 DisplayTime{2, 30, 0}, std::nullopt, Berlin(10, 25, 2, 30, 0, 1)},
        NextCase{"AfterTheClockIsSetBack", Berlin(12, 8, 6, 0, 0, 1), kSeven, At(8, 7, 0, 0),
                 Berlin(12, 9, 7, 0, 0, 1)},
        NextCase{"AfterASleepOfDays", Berlin(12, 11, 5, 0, 0, 1), kSeven, At(8, 7, 0, 0),
                 Berlin(12, 11, 7, 0, 0, 1)}),
    [](const ::testing::TestParamInfo<NextCase>& info) { return std::string(info.param.name); });

// A month in Berlin time over the start of summer time, with a look only when the scheduler
// asks for one (as the timer would wake the program, 10 ms at the least): the window comes up
// once each morning, on the display second; and as often on a clock running 3,600 times as
// fast as the timer (a test rig's), within the minute.
TEST(DisplaySchedulerMonth, LookingOnlyWhenDueShowsOnceEachMorning) {
    for (const long long pace : {1LL, 3600LL}) {
        FakeSettings settings;
        FakeCalendar calendar = BerlinCalendar();
        SeededRandom random(1u);
        FakeMainWindow window;
        testing::FakeNotificationState notifications;
        ReadingService reading{settings, calendar, random, window};
        DisplayScheduler scheduler{settings, calendar, reading, window, notifications};
        settings.values = {{"Hour", "7"}, {"Minute", "0"}, {"Second", "0"}};

        std::map<long, int> displays;
        int looks = 0;
        for (long long t = Berlin(3, 15, 12, 0, 0, 1) * 1000; t < Berlin(4, 14, 12, 0, 0, 2) * 1000; ++looks) {
            calendar.SetInstantMs(t);
            if (scheduler.OnTick()) {
                ++displays[DaysFromCivil(calendar.now.date)];
                const long long late = LocalSeconds(calendar.now) % 86400 - 7 * 3600;
                EXPECT_TRUE(pace == 1 ? late == 0 : late >= 0 && late < 60) << "day " << calendar.now.date.day;
            }
            const auto sleep = scheduler.MillisecondsToNextLook();
            ASSERT_TRUE(sleep);
            t += std::max(10LL, *sleep) * pace;
        }
        EXPECT_EQ(displays.size(), 30u) << "pace " << pace;
        for (const auto& [day, count] : displays) EXPECT_EQ(count, 1) << "day " << day;
        EXPECT_LT(looks, 30 * 40) << "pace " << pace;  // tens of looks a day, not one a second
    }
}

// Records whether the reading was renewed before the window came up.
class RecordingWindow : public FakeMainWindow {
public:
    void ShowReading(int c, const std::string& lines) override {
        FakeMainWindow::ShowReading(c, lines);
        log.push_back("reading");
    }
    void Show() override {
        FakeMainWindow::Show();
        log.push_back("show");
    }
    void Restore() override {
        FakeMainWindow::Restore();
        log.push_back("restore");
    }
    std::vector<std::string> log;
};

class DisplaySchedulerTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.values = {{"Hour", "7"}, {"Minute", "0"}, {"Second", "0"}, {"Date", calendar.Text(0)}};
        window.minimized = true;
    }
    bool TickAt(int h, int m, int s) {
        calendar.Set(2026, 12, 8, h, m, s);
        return scheduler.OnTick();
    }

    FakeSettings settings;
    FakeCalendar calendar;
    ScriptedRandom random{{R(30, 64), R(1, 6), R(2, 6)}};
    RecordingWindow window;
    testing::FakeNotificationState notifications;
    ReadingService reading{settings, calendar, random, window};
    DisplayScheduler scheduler{settings, calendar, reading, window, notifications};
};

TEST_F(DisplaySchedulerTest, AMatchRenewsTheReadingThenShowsAndRestores) {
    EXPECT_FALSE(TickAt(6, 59, 59));
    EXPECT_TRUE(window.log.empty());
    EXPECT_TRUE(TickAt(7, 0, 0));
    EXPECT_EQ(window.log, (std::vector<std::string>{"reading", "show", "restore"}));
    EXPECT_TRUE(window.visible);
    EXPECT_FALSE(window.minimized);
    EXPECT_EQ(settings.Get("Date"), calendar.Text(1));
    EXPECT_EQ(settings.Get("Card"), "30");
}

TEST_F(DisplaySchedulerTest, AMatchWithTheReadingAlreadyRenewedOnlyShows) {
    settings.values["Date"] = calendar.Text(1);
    EXPECT_TRUE(TickAt(7, 0, 0));
    EXPECT_EQ(window.log, (std::vector<std::string>{"show", "restore"}));
    EXPECT_EQ(random.calls, 0);
}

TEST_F(DisplaySchedulerTest, APresentationHoldsTheWindowButNotTheReading) {
    notifications.busy = true;
    EXPECT_FALSE(TickAt(7, 0, 0));
    EXPECT_EQ(window.log, (std::vector<std::string>{"reading"}));  // renewed on time
    EXPECT_FALSE(TickAt(7, 30, 0));
    notifications.busy = false;
    EXPECT_TRUE(TickAt(7, 30, 1));
    EXPECT_FALSE(TickAt(7, 30, 2));  // once
    EXPECT_EQ(window.log, (std::vector<std::string>{"reading", "show", "restore"}));
}

TEST_F(DisplaySchedulerTest, SleepsUntilTheDisplaySecondNoLongerThanAnHourAndShorterOnAFastClock) {
    calendar.Set(2026, 12, 8, 6, 59, 59);
    EXPECT_EQ(scheduler.MillisecondsToNextLook(), 1000);
    calendar.Set(2026, 12, 8, 7, 0, 0);
    EXPECT_EQ(scheduler.MillisecondsToNextLook(), kLongestSleepMs);
    calendar.Set(2026, 12, 10, 9, 0, 0);  // that hour's sleep took fifty on the clock
    EXPECT_EQ(scheduler.MillisecondsToNextLook(), kLongestSleepMs / 50);
    settings.values["Hour"] = "x";
    EXPECT_EQ(scheduler.MillisecondsToNextLook(), std::nullopt);
}

TEST_F(DisplaySchedulerTest, TheClockSetBackOverTheDisplayTimeDoesNotBringItTwice) {
    EXPECT_TRUE(TickAt(7, 0, 0));
    EXPECT_FALSE(TickAt(7, 30, 0));
    EXPECT_FALSE(TickAt(6, 59, 59));  // back an hour, as at the end of summer time
    EXPECT_FALSE(TickAt(7, 0, 0));
    EXPECT_EQ(window.shows, 1);
    calendar.Set(2026, 12, 9, 7, 0, 0);
    EXPECT_TRUE(scheduler.OnTick());
}

struct StoredTimeCase {
    const char* key;
    const char* text;
    bool matches;  // at 07:00:00
};

class StoredTimeTest : public DisplaySchedulerTest, public ::testing::WithParamInterface<StoredTimeCase> {};

TEST_P(StoredTimeTest, ABadPartNeverMatches) {
    settings.values[GetParam().key] = GetParam().text;
    int shown = 0;  // over the minute before the display time and the minute after
    for (int s = 0; s < 120; ++s) shown += TickAt(6 + (59 + s / 60) / 60, (59 + s / 60) % 60, s % 60);
    EXPECT_EQ(shown, GetParam().matches ? 1 : 0);
    EXPECT_EQ(window.shows, shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StoredTimeTest,
    ::testing::Values(StoredTimeCase{"Hour", "", false}, StoredTimeCase{"Hour", "24", false},
                      StoredTimeCase{"Hour", "-1", false}, StoredTimeCase{"Hour", "x", false},
                      StoredTimeCase{"Minute", "60", false}, StoredTimeCase{"Second", "60", false},
                      StoredTimeCase{"Hour", "07", true}, StoredTimeCase{"Minute", "00", true}));

// A week of one-second ticks on a local clock that springs forward from 02:00:00 to
// 03:00:00 on one day and falls back from 03:00:00 to 02:00:00 on another.
TEST(DisplaySchedulerWeek, ShowsOnceADayThroughBothDaylightSavingChanges) {
    FakeSettings settings;
    FakeCalendar calendar;
    SeededRandom random(1u);
    FakeMainWindow window;
    testing::FakeNotificationState notifications;
    ReadingService reading{settings, calendar, random, window};
    DisplayScheduler scheduler{settings, calendar, reading, window, notifications};

    const CivilDate firstDay{2026, 3, 2};
    settings.values = {{"Hour", "7"}, {"Minute", "0"}, {"Second", "0"}, {"Date", calendar.DateToText(firstDay)}};
    const long long springForward = 2 * 86400 + 2 * 3600;  // day 2 at 02:00:00, elapsed seconds
    const long long fallBack = 5 * 86400 + 2 * 3600;       // day 5 when the clock shows 03:00:00 again

    std::map<long, int> displays, readings;
    int readingsBefore = 0;
    long lastStep = 0;
    CivilDate date = firstDay;
    for (long long elapsed = 0; elapsed < 7 * 86400; ++elapsed) {
        const long long offset = (elapsed >= springForward && elapsed < fallBack) ? 3600 : 0;
        const long long local = elapsed + offset;
        const long day = static_cast<long>(local / 86400);
        const int inDay = static_cast<int>(local % 86400);
        if (day != lastStep || elapsed == 0) date = AddDays(firstDay, day);
        calendar.now = LocalDateTime{date, inDay / 3600, inDay / 60 % 60, inDay % 60};
        if (elapsed == springForward || elapsed == fallBack) {
            ASSERT_EQ(calendar.now.hour, elapsed == springForward ? 3 : 2);
        }
        if (scheduler.OnTick()) {
            ++displays[day];
            EXPECT_EQ(calendar.now.hour, 7) << "day " << day;
        }
        readings[day] += window.readingsShown - readingsBefore;
        readingsBefore = window.readingsShown;
        lastStep = day;
    }
    ASSERT_EQ(lastStep, 6);
    for (long day = 0; day < 7; ++day) {
        EXPECT_EQ(displays[day], 1) << "day " << day;
        EXPECT_LE(readings[day], 1) << "day " << day;
    }
    EXPECT_EQ(settings.Get("Date"), calendar.DateToText(AddDays(firstDay, 7)));
}

}  // namespace
}  // namespace hexalune
