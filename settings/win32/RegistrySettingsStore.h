// The settings store in the registry: HKCU\Software\Hexalune\<executable name>\Settings.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/SettingsStore.h"

namespace hexalune::win32 {

inline constexpr wchar_t kSettingsBasePath[] = L"Software\\Hexalune\\";
inline constexpr wchar_t kSettingsSection[] = L"Settings";

class RegistrySettingsStore final : public ISettingsStore {
public:
    // The executable's base name is read afresh on every access unless a fixed name is given (tests).
    RegistrySettingsStore() = default;
    explicit RegistrySettingsStore(std::wstring fixedAppName) : fixedAppName_(std::move(fixedAppName)) {}
    ~RegistrySettingsStore() override;
    RegistrySettingsStore(const RegistrySettingsStore&) = delete;
    RegistrySettingsStore& operator=(const RegistrySettingsStore&) = delete;

    std::string ReadSetting(const std::string& key, const std::string& fallback = std::string()) const override;
    std::vector<std::string> ReadSettings(const std::vector<std::string>& names) const override;
    void WriteSetting(const std::string& key, const std::string& text) override;

    std::wstring KeyPath() const;

private:
    // The key opened for reading, kept open between reads: the display time is read every
    // second, and opening the key each time would double the cost of a read. Reopened when
    // the key was deleted (and perhaps made again) or its path changed.
    HKEY ReadKey(bool reopen) const;
    std::vector<std::optional<std::string>> ReadValues(const std::vector<std::string>& names) const;
    void CloseReadKey() const;

    std::wstring fixedAppName_;
    mutable HKEY readKey_ = nullptr;
    mutable std::wstring readKeyPath_;
};

}  // namespace hexalune::win32
