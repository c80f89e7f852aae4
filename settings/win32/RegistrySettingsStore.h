// The settings store in the registry: HKCU\Software\Hexalune\<executable name>\Settings.
#pragma once

#include <windows.h>

#include "settings/SettingsStore.h"

namespace hexalune::win32 {

inline constexpr wchar_t kSettingsBasePath[] = L"Software\\Hexalune\\";
inline constexpr wchar_t kSettingsSection[] = L"Settings";

class RegistrySettingsStore final : public ISettingsStore {
public:
    // The executable's base name is read afresh on every access unless a fixed name is given (tests).
    RegistrySettingsStore() = default;
    explicit RegistrySettingsStore(std::wstring fixedAppName) : fixedAppName_(std::move(fixedAppName)) {}

    std::string ReadSetting(const std::string& key, const std::string& fallback = std::string()) const override;
    std::vector<std::string> ReadSettings(const std::vector<std::string>& names) const override;
    void WriteSetting(const std::string& key, const std::string& text) override;

    std::wstring KeyPath() const;

private:
    std::wstring fixedAppName_;
};

}  // namespace hexalune::win32
