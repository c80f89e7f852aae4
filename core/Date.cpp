#include "core/Date.h"

namespace hexalune {

// Howard Hinnant's well-known civil calendar algorithms, restated for our types.
long DaysFromCivil(const CivilDate& date) {
    const long y = date.year - (date.month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long mp = (date.month + 9) % 12;
    const long doy = (153 * mp + 2) / 5 + date.day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate CivilFromDays(long days) {
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long doe = days - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return CivilDate{year, month, day};
}

long long LocalSeconds(const LocalDateTime& t) {
    return static_cast<long long>(DaysFromCivil(t.date)) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

LocalDateTime DateTimeFromSeconds(long long seconds) {
    const long long days = (seconds >= 0 ? seconds : seconds - 86399) / 86400;
    const int inDay = static_cast<int>(seconds - days * 86400);
    return LocalDateTime{CivilFromDays(static_cast<long>(days)), inDay / 3600, inDay / 60 % 60, inDay % 60};
}

}  // namespace hexalune
