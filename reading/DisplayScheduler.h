// The once-a-second check of the daily display time.
#pragma once

#include <optional>

#include "core/Date.h"
#include "core/Platform.h"
#include "core/SettingsStore.h"
#include "core/WindowState.h"
#include "reading/Reading.h"

namespace hexalune {

struct DisplayTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The display time of a first start, until the user picks another.
inline constexpr DisplayTime kDefaultDisplayTime{7, 0, 0};

// The stored display time, or nothing when any part is missing, no whole number or out of range.
std::optional<DisplayTime> ReadDisplayTime(const ISettingsStore& settings);
// Stores each part as a decimal number without leading zeros ("7", "0", "0"), as the lists show it.
void WriteDisplayTime(ISettingsStore& settings, const DisplayTime& time);

// Whether a tick at `now` brings the display. Ticks come about a second apart and can
// step over the display second, so a tick matches when a display instant of any day lies
// after the previous tick and at or before this one, however long the step: after a sleep
// or hibernation over a display time, even yesterday evening's, the first tick brings it,
// once. Without a previous tick, or when the clock went back, the time must match to the
// second.
bool TickMatches(const std::optional<LocalDateTime>& previous, const LocalDateTime& now, const DisplayTime& at);

class DisplayScheduler {
public:
    DisplayScheduler(const ISettingsStore& settings, const ICalendar& calendar, ReadingService& reading,
                     IWindowState& window, const INotificationState& notifications)
        : settings_(settings), calendar_(calendar), reading_(reading), window_(window),
          notifications_(notifications) {}

    // One tick of the timer; returns whether it brought the window up. At the display time
    // the reading is renewed on time; while the user is presenting or in a full-screen
    // program the window waits, and comes up once as soon as that ends.
    bool OnTick();

private:
    const ISettingsStore& settings_;
    const ICalendar& calendar_;
    ReadingService& reading_;
    IWindowState& window_;
    const INotificationState& notifications_;
    std::optional<LocalDateTime> previousTick_;
    bool held_ = false;  // a display is due but waits for the user
    std::optional<long long> lastBrought_;  // the display instant last brought, in local seconds
};

}  // namespace hexalune
