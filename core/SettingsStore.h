// The per-user store of the program's settings: text values by key.
#pragma once

#include <string>
#include <vector>

namespace hexalune {

class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    // The stored text, or `fallback` when the value (or its key) does not exist or cannot be read.
    virtual std::string ReadSetting(const std::string& key, const std::string& fallback = std::string()) const = 0;
    // Several values at once, each as ReadSetting(key) would give it; a store may read
    // them in one go (the timer reads the display time every second).
    virtual std::vector<std::string> ReadSettings(const std::vector<std::string>& names) const {
        std::vector<std::string> values;
        values.reserve(names.size());
        for (const std::string& name : names) values.push_back(ReadSetting(name));
        return values;
    }
    // Stores the text, creating the keys on the way; a failure to write is swallowed.
    virtual void WriteSetting(const std::string& key, const std::string& text) = 0;
};

namespace keys {
inline constexpr char kHour[] = "Hour";
inline constexpr char kMinute[] = "Minute";
inline constexpr char kSecond[] = "Second";
inline constexpr char kDate[] = "Date";
inline constexpr char kCard[] = "Card";
inline constexpr char kChangingLines[] = "ChangingLines";
inline constexpr char kRunAtSysTray[] = "RunAtSysTray";
inline constexpr char kSystemTray[] = "SystemTray";
inline constexpr char kAutorunStartUp[] = "AutorunStartUp";
}  // namespace keys

inline constexpr char kTrueText[] = "True";
inline constexpr char kFalseText[] = "False";

}  // namespace hexalune
