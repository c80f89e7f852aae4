#include "reading/DisplayScheduler.h"

#include <algorithm>
#include <string>

#include "core/ValueForms.h"

namespace hexalune {

std::optional<DisplayTime> ReadDisplayTime(const ISettingsStore& settings) {
    const std::vector<std::string> values = settings.ReadSettings({keys::kHour, keys::kMinute, keys::kSecond});
    if (values.size() != 3) return std::nullopt;
    const auto hour = ParseWholeNumber(values[0], 0, 23);
    const auto minute = ParseWholeNumber(values[1], 0, 59);
    const auto second = ParseWholeNumber(values[2], 0, 59);
    if (!hour || !minute || !second) return std::nullopt;
    return DisplayTime{*hour, *minute, *second};
}

void WriteDisplayTime(ISettingsStore& settings, const DisplayTime& time) {
    settings.WriteSetting(keys::kHour, std::to_string(time.hour));
    settings.WriteSetting(keys::kMinute, std::to_string(time.minute));
    settings.WriteSetting(keys::kSecond, std::to_string(time.second));
}

namespace {

// The latest display instant at or before `now`, in local seconds: today's, or else yesterday's.
long long LatestDisplayInstant(const LocalDateTime& now, const DisplayTime& at) {
    const long long latest = LocalSeconds(LocalDateTime{now.date, at.hour, at.minute, at.second});
    if (latest <= LocalSeconds(now)) return latest;
    return LocalSeconds(LocalDateTime{AddDays(now.date, -1), at.hour, at.minute, at.second});
}

}  // namespace

bool TickMatches(const std::optional<LocalDateTime>& previous, const LocalDateTime& now, const DisplayTime& at) {
    if (now.hour == at.hour && now.minute == at.minute && now.second == at.second) return true;
    if (!previous) return false;
    const long long before = LocalSeconds(*previous);
    if (LocalSeconds(now) <= before) return false;
    // A step that passed over any display instant passed over the latest one.
    return before < LatestDisplayInstant(now, at);
}

std::optional<long long> FirstInstantReading(const ICalendar& calendar, const LocalDateTime& wall, long long from) {
    const long long target = LocalSeconds(wall);
    const auto reads = [&](long long instant) { return LocalSeconds(calendar.LocalAt(instant)); };
    // The clock's offset from UTC changes a few times a year at most: within the day or two
    // ahead it has the offset it has now, and perhaps one other.
    const long long now = reads(from) - from;
    const long long later = reads(from + 2 * 86400) - (from + 2 * 86400);
    std::optional<long long> found;
    for (long long instant : {target - now, target - later}) {
        if (instant > from && reads(instant) == target && (!found || instant < *found)) found = instant;
    }
    if (found || now == later) return found;
    // The start of summer time skips `wall`: the clock reads less before the gap and more
    // after it, and the gap's end lies between the two guesses.
    long long before = target - std::max(now, later);
    long long after = target - std::min(now, later);
    if (after <= from || reads(before) >= target || reads(after) < target) return std::nullopt;
    while (after - before > 1) {
        const long long middle = before + (after - before) / 2;
        (reads(middle) >= target ? after : before) = middle;
    }
    return after > from ? std::optional<long long>(after) : std::nullopt;
}

long long NextDisplayInstant(const ICalendar& calendar, long long now, const DisplayTime& at,
                             const std::optional<long long>& lastBrought) {
    const CivilDate today = calendar.LocalAt(now).date;
    for (long day = 0; day <= 2; ++day) {
        const LocalDateTime wall{AddDays(today, day), at.hour, at.minute, at.second};
        if (lastBrought && LocalSeconds(wall) <= *lastBrought) continue;
        if (const auto instant = FirstInstantReading(calendar, wall, now)) return *instant;
    }
    return now + kLongestSleepMs / 1000;  // a clock this odd is looked at again within the hour
}

std::optional<long long> DisplayScheduler::MillisecondsToNextLook() {
    const long long now = calendar_.UtcMilliseconds();
    if (lastLook_ && lastSleep_ >= 1000) {
        // A look before the sleep ran out came from an event and says nothing of the pace, nor
        // does a sleep so short that the timer's own lateness would count; a resume or a clock
        // set forward makes one long step, and the next full sleep sets the pace right again.
        const long long passed = now - *lastLook_;
        if (passed >= 2 * lastSleep_)
            clockPace_ = std::min(passed / lastSleep_, 100000LL);
        else if (passed >= lastSleep_)
            clockPace_ = 1;
    }
    const auto at = ReadDisplayTime(settings_);
    if (!at) return std::nullopt;
    const long long next = NextDisplayInstant(calendar_, now / 1000, *at, lastBrought_);
    const long long longest = lastLook_ ? kLongestSleepMs : kFirstSleepMs;
    const long long sleep = std::clamp(next * 1000 - now, 0LL, longest) / clockPace_;
    lastLook_ = now;
    lastSleep_ = sleep;
    return sleep;
}

bool DisplayScheduler::OnTick() {
    const LocalDateTime now = calendar_.Now();
    const std::optional<LocalDateTime> previous = previousTick_;
    previousTick_ = now;
    const auto at = ReadDisplayTime(settings_);
    if (at && TickMatches(previous, now, *at)) {
        // An instant already brought, met again after the clock went back over it (the end
        // of summer time with a display time in the repeated hour, or a correction), is not
        // brought twice.
        const long long instant = LatestDisplayInstant(now, *at);
        if (!lastBrought_ || instant > *lastBrought_) {
            lastBrought_ = instant;
            reading_.RenewReadingIfDue();
            held_ = true;
        }
    }
    if (!held_ || notifications_.UserIsBusy()) return false;
    held_ = false;
    window_.ShowWithoutActivating();
    return true;
}

}  // namespace hexalune
