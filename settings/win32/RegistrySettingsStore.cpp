#include "settings/win32/RegistrySettingsStore.h"

#include <optional>
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

namespace {

// One value of an open key as text, or nothing when it is missing, not a string or too long.
std::optional<std::string> ReadValue(HKEY key, const std::string& name) {
    const std::wstring wideName = FromAnsi(name);
    // Most values fit a small buffer: one query then, a second only for longer ones.
    wchar_t small[128];
    std::vector<wchar_t> large;
    wchar_t* data = small;
    DWORD type = 0;
    DWORD bytes = sizeof(small) - sizeof(wchar_t);
    LONG result = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
    if (result == ERROR_MORE_DATA) {
        if (bytes > kLongestValueBytes) return std::nullopt;
        large.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        data = large.data();
        bytes = static_cast<DWORD>((large.size() - 1) * sizeof(wchar_t));
        result = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
    }
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    // The stored data need not end with a NUL; stop at the first one or at its end.
    std::size_t length = bytes / sizeof(wchar_t);
    for (std::size_t i = 0; i < length; ++i) {
        if (data[i] == L'\0') {
            length = i;
            break;
        }
    }
    return ToAnsi(std::wstring(data, length));
}

}  // namespace

std::string RegistrySettingsStore::ReadSetting(const std::string& key, const std::string& fallback) const {
    KeyHandle handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, KEY_QUERY_VALUE, handle.Receive()) != ERROR_SUCCESS)
        return fallback;
    return ReadValue(handle.Get(), key).value_or(fallback);
}

std::vector<std::string> RegistrySettingsStore::ReadSettings(const std::vector<std::string>& names) const {
    std::vector<std::string> values(names.size());
    KeyHandle handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, KEY_QUERY_VALUE, handle.Receive()) != ERROR_SUCCESS)
        return values;
    for (std::size_t i = 0; i < names.size(); ++i) values[i] = ReadValue(handle.Get(), names[i]).value_or("");
    return values;
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
