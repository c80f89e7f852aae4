#include "settings/win32/RegistrySettingsStore.h"

#include <vector>

#include "app/win32/Win32Platform.h"

namespace hexalune::win32 {

namespace {

// Values longer than this are not ours; they read as missing.
constexpr DWORD kLongestValueBytes = 64 * 1024;

class KeyHandle {
public:
    KeyHandle() = default;
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    ~KeyHandle() {
        if (key_) RegCloseKey(key_);
    }
    HKEY* Receive() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

std::wstring RegistrySettingsStore::KeyPath() const {
    return std::wstring(kSettingsBasePath) + (fixedAppName_.empty() ? ExecutableBaseName() : fixedAppName_) + L"\\" +
           kSettingsSection;
}

std::string RegistrySettingsStore::ReadSetting(const std::string& key, const std::string& fallback) const {
    KeyHandle handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, KEY_QUERY_VALUE, handle.Receive()) != ERROR_SUCCESS)
        return fallback;
    const std::wstring name = FromAnsi(key);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(handle.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return fallback;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size > kLongestValueBytes) return fallback;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(handle.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
        ERROR_SUCCESS)
        return fallback;
    // The stored data need not end with a NUL; stop at the first one or at its end.
    std::size_t length = bytes / sizeof(wchar_t);
    for (std::size_t i = 0; i < length; ++i) {
        if (buffer[i] == L'\0') {
            length = i;
            break;
        }
    }
    return ToAnsi(std::wstring(buffer.data(), length));
}

void RegistrySettingsStore::WriteSetting(const std::string& key, const std::string& text) {
    KeyHandle handle;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, handle.Receive(), nullptr) != ERROR_SUCCESS)
        return;
    const std::wstring data = FromAnsi(text);
    RegSetValueExW(handle.Get(), FromAnsi(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

}  // namespace hexalune::win32
