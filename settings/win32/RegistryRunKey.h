// The user's Run key, written with the wide registry functions so that any folder name survives.
#pragma once

#include <windows.h>

#include "core/win32/Handles.h"
#include "settings/StartupRegistration.h"

namespace hexalune::win32 {

inline constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Where Task Manager keeps the user's choice for each Run value.
inline constexpr wchar_t kStartupApprovedPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

class RegistryRunKey final : public IRunKey {
public:
    RegistryRunKey() = default;
    RegistryRunKey(const RegistryRunKey&) = delete;
    RegistryRunKey& operator=(const RegistryRunKey&) = delete;
    ~RegistryRunKey() override = default;

    long OpenForWrite() override;
    long SetValue(const std::wstring& name, const std::wstring& data) override;
    void DeleteValue(const std::wstring& name) override;
    void Close() override;
    bool ValueExists(const std::wstring& name) override;
    std::vector<unsigned char> StartupApproval(const std::wstring& name) override;

private:
    RegistryKey key_;
};

}  // namespace hexalune::win32
