// Starting with Windows: one value under the user's Run key.
#pragma once

#include <string>

#include "core/Platform.h"

namespace hexalune {

// The user's Run key (HKCU\Software\Microsoft\Windows\CurrentVersion\Run).
class IRunKey {
public:
    virtual ~IRunKey() = default;
    // Opens (creating if needed) the key for writing; 0 or a system error code.
    virtual long OpenForWrite() = 0;
    // Writes a REG_SZ value into the opened key; 0 or a system error code.
    virtual long SetValue(const std::wstring& name, const std::wstring& data) = 0;
    // Removes a value from the opened key; its absence is no error.
    virtual void DeleteValue(const std::wstring& name) = 0;
    virtual void Close() = 0;
    // Whether a value of that name exists, whatever its type; any failure is false.
    virtual bool ValueExists(const std::wstring& name) = 0;
};

// The Run value's text: the executable's full path in quotation marks, then " /STARTUP".
// The folder and the name are joined with exactly one backslash.
std::wstring BuildRunCommand(const std::wstring& folder, const std::wstring& name);

class StartupRegistration {
public:
    StartupRegistration(IRunKey& key, IMessageBox& messages) : key_(key), messages_(messages) {}

    // Writes (register) or removes the value called `name`; reports failures in a message box.
    void SetStartupRegistration(const std::wstring& name, const std::wstring& folder, bool registerIt);
    bool IsStartupRegistered(const std::wstring& name) { return key_.ValueExists(name); }

private:
    IRunKey& key_;
    IMessageBox& messages_;
};

}  // namespace hexalune
