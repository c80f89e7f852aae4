// The program's registry values (its settings and its Run entry), and any other string value
// of the user's (Wine's own settings), read and written.
#include "driver.h"

#include "settings/win32/RegistryRunKey.h"
#include "settings/win32/RegistrySettingsStore.h"

namespace driver {

namespace {

// The program names its settings key and its Run value after its executable; the tests
// install it as Hexalune.exe.
constexpr wchar_t kExecutableName[] = L"Hexalune";
constexpr const wchar_t* kRunKey = hexalune::win32::kRunKeyPath;
constexpr const wchar_t* kRunValue = kExecutableName;

const std::wstring& SettingsKey() {
    static const std::wstring path =
        std::wstring(hexalune::win32::kSettingsBasePath) + kExecutableName + L"\\" + hexalune::win32::kSettingsSection;
    return path;
}

// The same path for the ANSI registry functions (it is plain ASCII).
std::string SettingsKeyAnsi() {
    const std::wstring& path = SettingsKey();
    return std::string(path.begin(), path.end());
}

// Reads a REG_SZ value; false when the value or its key is missing.
bool ReadString(const wchar_t* keyPath, const std::wstring& name, std::wstring& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status == ERROR_SUCCESS) {
            if (type != REG_SZ && type != REG_EXPAND_SZ) {
                RegCloseKey(key);
                Fail(L"value " + name + L" is not a string (type " + std::to_wstring(type) + L")");
            }
            value.assign(buffer.data());
        }
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

void WriteString(const wchar_t* keyPath, const std::wstring& name, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        Fail(std::wstring(L"cannot create HKCU\\") + keyPath);
    const LONG status = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) Fail(L"cannot write value " + name);
}

// Deleting a value that is not there is not an error.
void DeleteValue(const wchar_t* keyPath, const std::wstring& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    const LONG status = RegDeleteValueW(key, name.c_str());
    RegCloseKey(key);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) Fail(L"cannot delete value " + name);
}

void PrintValue(const wchar_t* keyPath, const std::wstring& name) {
    std::wstring value;
    PrintLine(ReadString(keyPath, name, value) ? value : L"<missing>");
}

}  // namespace

int RegGet(const Args& args) {
    PrintValue(SettingsKey().c_str(), NameArg(args, 1, L"a value name"));
    return 0;
}

int RegSet(const Args& args) {
    WriteString(SettingsKey().c_str(), NameArg(args, 1, L"a value name"), NameArg(args, 2, L"the value"));
    PrintLine(L"set " + args[1]);
    return 0;
}

int RegDel(const Args& args) {
    DeleteValue(SettingsKey().c_str(), NameArg(args, 1, L"a value name"));
    PrintLine(L"deleted " + args[1]);
    return 0;
}

// Every value of the settings key as name=data (names in hex when they are not plain ASCII).
int RegList(const Args&) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey().c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        PrintLine(L"<missing>");
        return 0;
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        unsigned char data[2048];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        bool plain = true;
        for (DWORD c = 0; c < nameSize; ++c) plain = plain && static_cast<unsigned char>(name[c]) < 128;
        std::wstring line = plain ? std::wstring(name, name + nameSize)
                                  : L"hex:" + Hex(reinterpret_cast<unsigned char*>(name), nameSize);
        std::wstring value;
        if (type == REG_SZ && dataSize > 0) {
            bool plainData = true;
            for (DWORD c = 0; c + 1 < dataSize; ++c) plainData = plainData && data[c] < 128;
            value = plainData ? std::wstring(data, data + dataSize - 1) : L"hex:" + Hex(data, dataSize - 1);
        } else {
            value = L"type " + std::to_wstring(type) + L" hex:" + Hex(data, dataSize);
        }
        PrintLine(line + L"=" + value);
    }
    RegCloseKey(key);
    return 0;
}

// The update reminder's value: name and data are ANSI code-page bytes, given and shown in hex.
int RegGetRawAnsi(const Args& args) {
    const std::string name = FromHex(NameArg(args, 1, L"the hex of a value name"));
    const std::string keyPath = SettingsKeyAnsi();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        PrintLine(L"<missing>");
        return 0;
    }
    DWORD type = 0;
    unsigned char data[2048];
    DWORD size = sizeof data;
    const LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &type, data, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        PrintLine(L"<missing>");
        return 0;
    }
    if (type == REG_SZ && size > 0 && data[size - 1] == 0) --size;  // the terminator is not part of the text
    PrintLine(Hex(data, size));
    return 0;
}

int RegSetRawAnsi(const Args& args) {
    const std::string name = FromHex(NameArg(args, 1, L"the hex of a value name"));
    const std::string data = FromHex(NameArg(args, 2, L"the hex of the data"));
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyAnsi().c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        Fail(L"cannot create the settings key");
    const LONG status = RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) Fail(L"cannot write the value");
    PrintLine(L"set hex:" + args[1]);
    return 0;
}

int RunGet(const Args&) {
    PrintValue(kRunKey, kRunValue);
    return 0;
}

int RunSet(const Args& args) {
    WriteString(kRunKey, kRunValue, NameArg(args, 1, L"the command line"));
    PrintLine(L"set Run\\Hexalune");
    return 0;
}

int RunDel(const Args&) {
    DeleteValue(kRunKey, kRunValue);
    PrintLine(L"deleted Run\\Hexalune");
    return 0;
}

// ---- Other registry values of the user (Wine's own settings) -----------------------

int HkcuGet(const Args& args) {
    const std::wstring& key = NameArg(args, 1, L"a key path under HKCU");
    PrintValue(key.c_str(), NameArg(args, 2, L"a value name"));
    return 0;
}

int HkcuSet(const Args& args) {
    const std::wstring& key = NameArg(args, 1, L"a key path under HKCU");
    WriteString(key.c_str(), NameArg(args, 2, L"a value name"), NameArg(args, 3, L"the value"));
    PrintLine(L"set " + args[2]);
    return 0;
}

}  // namespace driver
