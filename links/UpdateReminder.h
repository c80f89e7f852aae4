// The periodic offer to look for a newer version, and the character shift that hides its date.
#pragma once

#include <string>

#include "core/Platform.h"
#include "core/SettingsStore.h"

namespace hexalune {

// Each character's code (0..255 in the ANSI code page) moved up by 85; characters
// that would pass 255 are dropped.
std::string ScrambleText(const std::string& text);
// Each code moved down by 85; characters that would fall below 0 are dropped.
std::string UnscrambleText(const std::string& text);

// Days between the reminder's stored date and today beyond which it asks again.
inline constexpr long kReminderQuietDays = 14;

inline constexpr char kReminderMessage[] =
    "There maybe an update to this software available\rDo you want to check for an update?";

// Runs once at start: asks at most once in fifteen days whether to open the download page.
void UpdateReminder(ISettingsStore& settings, const ICalendar& calendar, IMessageBox& messages, IShell& shell);

}  // namespace hexalune
