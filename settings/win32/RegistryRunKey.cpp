#include "settings/win32/RegistryRunKey.h"

namespace hexalune::win32 {

long RegistryRunKey::OpenForWrite() {
    Close();
    wchar_t keyClass[] = L"0";
    const long status = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, keyClass, REG_OPTION_NON_VOLATILE,
                                        KEY_WRITE, nullptr, key_.Receive(), nullptr);
    if (status != ERROR_SUCCESS) key_.Forget();
    return status;
}

long RegistryRunKey::SetValue(const std::wstring& name, const std::wstring& data) {
    if (!key_) return ERROR_INVALID_HANDLE;
    return RegSetValueExW(key_.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

void RegistryRunKey::DeleteValue(const std::wstring& name) {
    if (key_) RegDeleteValueW(key_.Get(), name.c_str());
}

void RegistryRunKey::Close() { key_.Reset(); }

bool RegistryRunKey::ValueExists(const std::wstring& name) {
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) {
        key.Forget();
        return false;
    }
    return RegQueryValueExW(key.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::vector<unsigned char> RegistryRunKey::StartupApproval(const std::wstring& name) {
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kStartupApprovedPath, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) {
        key.Forget();
        return {};
    }
    // The record is 12 bytes; a value too long for this buffer is odd, and so counts as on.
    std::vector<unsigned char> data(64);
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(data.size());
    if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, data.data(), &bytes) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return {};
    data.resize(bytes);
    return data;
}

}  // namespace hexalune::win32
