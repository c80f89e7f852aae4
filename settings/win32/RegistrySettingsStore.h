// The settings store in the registry: HKCU\Software\Hexalune\<executable name>\Settings.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "core/SettingsStore.h"
#include "core/win32/Handles.h"

namespace hexalune::win32 {

inline constexpr wchar_t kSettingsBasePath[] = L"Software\\Hexalune\\";
inline constexpr wchar_t kSettingsSection[] = L"Settings";
inline constexpr wchar_t kHintsSubkey[] = L"Hints";

class RegistrySettingsStore final : public ISettingsStore {
public:
    // The key is named after the running executable, or after a fixed name (tests). A running
    // executable's name does not change, so the path is settled once.
    RegistrySettingsStore();
    explicit RegistrySettingsStore(const std::wstring& appName);
    // A subkey of the settings key, for values of the program's own beyond the settings
    // (the hints already given, ...): HKCU\Software\Hexalune\<name>\Settings\<subkey>.
    RegistrySettingsStore(const std::wstring& appName, const std::wstring& subkey);
    ~RegistrySettingsStore() override = default;
    RegistrySettingsStore(const RegistrySettingsStore&) = delete;
    RegistrySettingsStore& operator=(const RegistrySettingsStore&) = delete;

    std::string ReadSetting(const std::string& key, const std::string& fallback = std::string()) const override;
    std::vector<std::string> ReadSettings(const std::vector<std::string>& names) const override;
    void WriteSetting(const std::string& key, const std::string& text) override;

    const std::wstring& KeyPath() const { return keyPath_; }

private:
    // The key opened for reading, kept open between reads: the display time is read every
    // second, and opening the key each time would double the cost of a read. Reopened when
    // the key was deleted (and perhaps made again).
    HKEY ReadKey(bool reopen) const;
    std::vector<std::optional<std::string>> ReadValues(const std::vector<std::string>& names) const;

    std::wstring keyPath_;
    mutable RegistryKey readKey_;
};

// Signals an event when a value of the settings key is set, added or removed, or the key
// goes or comes back: the message loop waits on it beside the messages, so that a display time
// changed by another program, or by hand, takes effect at once.
class SettingsKeyWatch {
public:
    // `keyPath`: the settings key's path under HKEY_CURRENT_USER.
    explicit SettingsKeyWatch(const std::wstring& keyPath);
    // Null when the system gave no event: nothing is watched then.
    HANDLE Event() const { return event_.Get(); }
    // Asks for the next change: at the start and after each signal.
    void Renew();

private:
    std::wstring watchedPath_;
    RegistryKey key_;
    KernelObject event_;
};

}  // namespace hexalune::win32
