// Calendar dates and local date-times, with day arithmetic that does not depend
// on the platform's time functions.
#pragma once

namespace hexalune {

struct CivilDate {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

// Days since 1970-01-01 in the proleptic Gregorian calendar.
long DaysFromCivil(const CivilDate& date);
CivilDate CivilFromDays(long days);

inline CivilDate AddDays(const CivilDate& date, long days) { return CivilFromDays(DaysFromCivil(date) + days); }
inline long DaysBetween(const CivilDate& from, const CivilDate& to) { return DaysFromCivil(to) - DaysFromCivil(from); }

struct LocalDateTime {
    CivilDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// Seconds since 1970-01-01 00:00:00 of the same local clock (not UTC: the wall clock as read).
long long LocalSeconds(const LocalDateTime& t);
// The date and time `seconds` after 1970-01-01 00:00:00 on the same clock.
LocalDateTime DateTimeFromSeconds(long long seconds);

}  // namespace hexalune
