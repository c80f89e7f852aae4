// Conversions between stored text and the values the program works with.
#pragma once

#include <optional>
#include <string>

#include "core/SettingsStore.h"

namespace hexalune {

inline const char* BooleanText(bool value) { return value ? kTrueText : kFalseText; }

// "True"/"False" in any letter case, or a decimal number (zero is false, anything else true).
// Surrounding spaces are allowed. Anything else is no Boolean.
std::optional<bool> TextToBoolean(const std::string& text);

// Decimal digits only (no sign, no spaces), within [low, high]; anything else is nothing.
std::optional<int> ParseWholeNumber(const std::string& text, int low, int high);

}  // namespace hexalune
