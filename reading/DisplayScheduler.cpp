#include "reading/DisplayScheduler.h"

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
