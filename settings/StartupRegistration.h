// Starting with Windows: one value under the user's Run key.
#pragma once

#include <string>
#include <vector>

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
    // Task Manager's record of the user's choice for the Run value of that name (the binary
    // value of that name under ...\Explorer\StartupApproved\Run), only read, never written;
    // empty when it is missing, not binary or cannot be read.
    virtual std::vector<unsigned char> StartupApproval(const std::wstring& name) = 0;
};

// Whether Task Manager's record says the user turned the Run value off in Windows: 12 bytes
// or more, the first 03 or 07 (02 and 06 are on). A missing, short or odd record is on, as
// Windows takes it.
bool TurnedOffByApproval(const std::vector<unsigned char>& approval);

inline constexpr char kTurnedOffInWindowsMessage[] =
    "Windows has Hexalune turned off in Task Manager's Startup apps. Turn it on there to start Hexalune with "
    "Windows.";

// The Run value's text: the executable's full path in quotation marks, then " /STARTUP".
// The folder and the name are joined with exactly one backslash.
std::wstring BuildRunCommand(const std::wstring& folder, const std::wstring& name);

class StartupRegistration {
public:
    StartupRegistration(IRunKey& key, IMessageBox& messages) : key_(key), messages_(messages) {}

    // Writes (register) or removes the value called `name`; reports failures in a message box.
    // A value written while Task Manager has it turned off is written all the same, and the
    // user is told once where to turn it on: that record is the user's own choice, made in
    // Windows, and is left alone.
    void SetStartupRegistration(const std::wstring& name, const std::wstring& folder, bool registerIt);
    // Whether Windows will run the program at log-on: the Run value exists and Task Manager
    // has not turned it off.
    bool IsStartupRegistered(const std::wstring& name) {
        return key_.ValueExists(name) && !TurnedOffInWindows(name);
    }
    bool TurnedOffInWindows(const std::wstring& name) { return TurnedOffByApproval(key_.StartupApproval(name)); }

private:
    IRunKey& key_;
    IMessageBox& messages_;
};

}  // namespace hexalune
