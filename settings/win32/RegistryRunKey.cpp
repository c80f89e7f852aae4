#include "settings/win32/RegistryRunKey.h"

namespace hexalune::win32 {

long RegistryRunKey::OpenForWrite() {
    Close();
    wchar_t keyClass[] = L"0";
    return RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, keyClass, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                           &key_, nullptr);
}

long RegistryRunKey::SetValue(const std::wstring& name, const std::wstring& data) {
    if (!key_) return ERROR_INVALID_HANDLE;
    return RegSetValueExW(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

void RegistryRunKey::DeleteValue(const std::wstring& name) {
    if (key_) RegDeleteValueW(key_, name.c_str());
}

void RegistryRunKey::Close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

bool RegistryRunKey::ValueExists(const std::wstring& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    const bool exists = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

}  // namespace hexalune::win32
