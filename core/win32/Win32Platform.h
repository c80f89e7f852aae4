// Win32 implementations of the platform services: clock and date text, the running
// executable, message boxes and the shell.
#pragma once

#include <windows.h>

#include <string>

#include "core/Platform.h"

namespace hexalune::win32 {

// Text in the system's ANSI code page to UTF-16 and back.
std::wstring FromAnsi(const std::string& text);
std::string ToAnsi(const std::wstring& text);
// The same for UTF-8: the user's own words (a note), in any script.
std::wstring FromUtf8(const std::string& text);
std::string ToUtf8(const std::wstring& text);

// Full path of the running executable.
std::wstring ExecutablePath();
// Base name without folder and ".exe", taken afresh from the running executable.
std::wstring ExecutableBaseName();

class Win32Calendar final : public ICalendar {
public:
    LocalDateTime Now() const override;
    long long UtcMilliseconds() const override;
    LocalDateTime LocalAt(long long utcSeconds) const override;
    std::string DateToText(const CivilDate& date) const override;
    std::optional<CivilDate> TextToDate(const std::string& text) const override;
    std::optional<LocalDateTime> TextToDateTime(const std::string& text) const override;
    std::string AnsiToUtf8(std::string_view text) const override;
};

class Win32ProcessInfo final : public IProcessInfo {
public:
    std::wstring ExecutableName() const override { return ExecutableBaseName(); }
    std::wstring ExecutableFolder() const override;
    std::string CommandLine() const override;
};

// Message boxes owned by a window that may change (none while the main window is hidden).
class Win32MessageBox final : public IMessageBox {
public:
    void SetOwner(HWND owner) { owner_ = owner; }
    MsgAnswer ShowMessage(const std::string& text, const std::string& caption, MsgButtons buttons,
                          MsgIcon icon) override;

private:
    HWND owner_ = nullptr;
};

class Win32Shell final : public IShell {
public:
    void OpenAddress(const std::string& address) override;
};

class Win32NotificationState final : public INotificationState {
public:
    bool UserIsBusy() const override;
};

}  // namespace hexalune::win32
