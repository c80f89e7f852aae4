#include "settings/win32/RegistrySettingsStore.h"

#include <optional>
#include <vector>

#include "core/win32/Win32Platform.h"

namespace hexalune::win32 {

namespace {

// Values longer than this are not ours; they read as missing.
constexpr DWORD kLongestValueBytes = 64 * 1024;

}  // namespace

RegistrySettingsStore::RegistrySettingsStore() : RegistrySettingsStore(ExecutableBaseName()) {}

RegistrySettingsStore::RegistrySettingsStore(const std::wstring& appName)
    : keyPath_(std::wstring(kSettingsBasePath) + appName + L"\\" + kSettingsSection) {}

RegistrySettingsStore::RegistrySettingsStore(const std::wstring& appName, const std::wstring& subkey)
    : RegistrySettingsStore(appName) {
    keyPath_ += L"\\" + subkey;
}

namespace {

// One value of an open key as text, or nothing when it is missing, not a string or too long.
// `status` receives the registry's answer, so that a deleted key can be told from a missing value.
std::optional<std::string> ReadValue(HKEY key, const std::string& name, LONG& status) {
    const std::wstring wideName = FromAnsi(name);
    // Most values fit a small buffer: one query then, a second only for longer ones.
    wchar_t small[128];
    std::vector<wchar_t> large;
    wchar_t* data = small;
    DWORD type = 0;
    DWORD bytes = sizeof(small) - sizeof(wchar_t);
    status = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
    if (status == ERROR_MORE_DATA) {
        if (bytes > kLongestValueBytes) return std::nullopt;
        large.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        data = large.data();
        bytes = static_cast<DWORD>((large.size() - 1) * sizeof(wchar_t));
        status = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
    }
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
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

HKEY RegistrySettingsStore::ReadKey(bool reopen) const {
    if (reopen) readKey_.Reset();
    // A key that is not there yet is not remembered: it is looked for again on the next read.
    if (!readKey_ &&
        RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_QUERY_VALUE, readKey_.Receive()) != ERROR_SUCCESS)
        readKey_.Forget();
    return readKey_.Get();
}

std::vector<std::optional<std::string>> RegistrySettingsStore::ReadValues(const std::vector<std::string>& names) const {
    std::vector<std::optional<std::string>> values(names.size());
    for (bool reopen : {false, true}) {
        const HKEY key = ReadKey(reopen);
        if (!key) break;
        bool deleted = false;
        for (std::size_t i = 0; i < names.size() && !deleted; ++i) {
            LONG status = ERROR_SUCCESS;
            values[i] = ReadValue(key, names[i], status);
            deleted = status == ERROR_KEY_DELETED;
        }
        if (!deleted) return values;
        // The key was deleted after it was opened: read whatever is there now.
    }
    return std::vector<std::optional<std::string>>(names.size());
}

std::string RegistrySettingsStore::ReadSetting(const std::string& key, const std::string& fallback) const {
    return ReadValues({key}).front().value_or(fallback);
}

std::vector<std::string> RegistrySettingsStore::ReadSettings(const std::vector<std::string>& names) const {
    std::vector<std::string> values;
    values.reserve(names.size());
    for (auto& value : ReadValues(names)) values.push_back(std::move(value).value_or(""));
    return values;
}

void RegistrySettingsStore::WriteSetting(const std::string& key, const std::string& text) {
    RegistryKey handle;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, handle.Receive(), nullptr) != ERROR_SUCCESS) {
        handle.Forget();
        return;
    }
    const std::wstring data = FromAnsi(text);
    RegSetValueExW(handle.Get(), FromAnsi(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

SettingsKeyWatch::SettingsKeyWatch(const std::wstring& keyPath)
    : watchedPath_(keyPath.substr(0, keyPath.find_last_of(L'\\'))), event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

void SettingsKeyWatch::Renew() {
    if (!event_) return;
    // The key above the settings, with what lies under it: the registry says nothing to a
    // watcher of a key that is deleted, but tells the key above that it lost a subkey.
    constexpr DWORD kChanges = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
    // The program writes under this key itself whenever it saves a setting: making it here,
    // empty, when it is missing changes nothing it holds.
    if (!key_ && RegCreateKeyExW(HKEY_CURRENT_USER, watchedPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_NOTIFY,
                                 nullptr, key_.Receive(), nullptr) != ERROR_SUCCESS) {
        key_.Forget();
        return;
    }
    if (RegNotifyChangeKeyValue(key_.Get(), TRUE, kChanges, event_.Get(), TRUE) != ERROR_SUCCESS) key_.Reset();
}

}  // namespace hexalune::win32
