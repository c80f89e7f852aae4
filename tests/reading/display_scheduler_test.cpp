// The once-a-second check of the display time: which ticks bring the window up, and a
// week of ticks through both daylight-saving changes.
#include <gtest/gtest.h>

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
