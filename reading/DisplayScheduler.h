// The daily display time: when the program must next look at the clock, and what a look brings.
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

// The first instant (seconds since 1970-01-01 UTC) after `from` at which the local clock
// reads `wall`: the first of the two when the end of summer time repeats that hour, the end
// of the gap when the start of summer time skips it; nothing when the clock does not come
// to `wall` after `from` (a time already past). `wall` lies within a day or two of `from`.
std::optional<long long> FirstInstantReading(const ICalendar& calendar, const LocalDateTime& wall, long long from);

// The next display instant after `now` (seconds since 1970-01-01 UTC): the first instant the
// local clock reads today's or else tomorrow's display time, leaving out an instant already
// brought (`lastBrought`, in local seconds: the clock set back over it).
long long NextDisplayInstant(const ICalendar& calendar, long long now, const DisplayTime& at,
                             const std::optional<long long>& lastBrought);

// The longest the program sleeps between two looks at the clock, in milliseconds: a clock
// changed without a word to the program, or the drift between the timer and the clock,
// makes it look again at least this often. The first sleep after the start is short, to
// learn early whether the clock keeps pace with the timer.
inline constexpr long long kLongestSleepMs = 60LL * 60 * 1000;
inline constexpr long long kFirstSleepMs = 2000;

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
    // How long the program may sleep after a look before the next one, in milliseconds of the
    // timer: until the next display instant, at most kLongestSleepMs; nothing when no display
    // time is stored (a change of the settings wakes the program then). A timer counts elapsed
    // time, not the clock's: when the clock ran well ahead of the last full sleep (a clock
    // that runs fast, as in a test rig), the sleeps shrink in proportion.
    std::optional<long long> MillisecondsToNextLook();
    // Whether a display is due but waits for the user: short regular looks until it comes up.
    bool Waiting() const { return held_; }

private:
    const ISettingsStore& settings_;
    const ICalendar& calendar_;
    ReadingService& reading_;
    IWindowState& window_;
    const INotificationState& notifications_;
    std::optional<LocalDateTime> previousTick_;
    bool held_ = false;  // a display is due but waits for the user
    std::optional<long long> lastBrought_;  // the display instant last brought, in local seconds
    std::optional<long long> lastLook_;  // the clock at the last look that set a sleep, UTC ms
    long long lastSleep_ = 0;  // that sleep, in timer ms
    long long clockPace_ = 1;  // clock ms per timer ms over the last full sleep
};

}  // namespace hexalune
