// Day arithmetic on civil dates: the reading's "tomorrow", the reminder's fifteen days
// and the scheduler's steps across midnight all rest on it.
#include <gtest/gtest.h>

#include <utility>

#include "core/Date.h"

namespace hexalune {
namespace {

TEST(CivilDate, CountsDaysSinceTheEpoch) {
    // Whole years of 365 days, plus one for each leap day passed.
    const std::pair<CivilDate, long> known[] = {
        {{1970, 1, 1}, 0},           {{1969, 12, 31}, -1},       {{1973, 1, 1}, 3 * 365 + 1},
        {{2000, 3, 1}, 10957 + 60},  {{1901, 1, 1}, -(69 * 365 + 17)}};
    for (const auto& [date, days] : known) {
        EXPECT_EQ(DaysFromCivil(date), days) << date.year << "-" << date.month << "-" << date.day;
        EXPECT_EQ(CivilFromDays(days), date) << days;
    }
}

TEST(CivilDate, RoundTripsEveryDayOfTheProgramsYearRange) {
    // The hidden year list runs from 1901 to 2050; step through it a day at a time by hand.
    CivilDate expected{1900, 1, 1};
    for (long d = DaysFromCivil(expected); d < DaysFromCivil({2101, 1, 1}); ++d) {
        ASSERT_EQ(CivilFromDays(d), expected) << "day " << d;
        ASSERT_EQ(DaysFromCivil(expected), d);
        const bool leap = (expected.year % 4 == 0 && expected.year % 100 != 0) || expected.year % 400 == 0;
        const int monthLength[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        if (++expected.day > monthLength[expected.month - 1]) {
            expected.day = 1;
            if (++expected.month > 12) {
                expected.month = 1;
                ++expected.year;
            }
        }
    }
}

TEST(CivilDate, AddsAndCountsDaysAcrossMonthsYearsAndLeapDays) {
    struct Step {
        CivilDate from;
        long days;
        CivilDate to;
    };
    const Step steps[] = {{{2026, 12, 31}, 1, {2027, 1, 1}}, {{2024, 2, 28}, 1, {2024, 2, 29}},
                          {{1900, 2, 28}, 1, {1900, 3, 1}},  {{2000, 2, 28}, 1, {2000, 2, 29}},
                          {{2026, 12, 8}, -7, {2026, 12, 1}}, {{2027, 1, 5}, -15, {2026, 12, 21}}};
    for (const Step& s : steps) {
        EXPECT_EQ(AddDays(s.from, s.days), s.to) << s.from.year << "-" << s.from.month << "-" << s.from.day;
        EXPECT_EQ(DaysBetween(s.from, s.to), s.days);
    }
}

TEST(LocalSeconds, RunsOnByOneSecondAcrossMidnight) {
    EXPECT_EQ(LocalSeconds({{2027, 1, 1}, 0, 0, 0}) - LocalSeconds({{2026, 12, 31}, 23, 59, 59}), 1);
    EXPECT_EQ(LocalSeconds({{1970, 1, 2}, 1, 2, 3}), 86400 + 3723);
}

}  // namespace
}  // namespace hexalune
