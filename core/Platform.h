// The few platform services the program's decisions depend on. The Win32 build
// implements them over the real system; the native tests use in-memory fakes.
// Text is in the system's ANSI code page (plain ASCII for everything the program
// writes itself); paths are wide so that any folder name survives.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/Date.h"

namespace hexalune {

// Local clock and the user's regional rules: the short-date text, and the code page in which
// programs that are not Unicode (a spreadsheet saving CSV, say) write text.
class ICalendar {
public:
    virtual ~ICalendar() = default;
    virtual LocalDateTime Now() const = 0;
    // The system clock, in milliseconds since 1970-01-01 00:00:00 UTC.
    virtual long long UtcMilliseconds() const = 0;
    // The local clock's reading at an instant (seconds since 1970-01-01 00:00:00 UTC), by the
    // time zone's rules for that date, summer time included.
    virtual LocalDateTime LocalAt(long long utcSeconds) const = 0;
    virtual std::string DateToText(const CivilDate& date) const = 0;
    // The date part of a text read with the user's regional rules; nothing when it is no date.
    virtual std::optional<CivilDate> TextToDate(const std::string& text) const = 0;
    // A date with its time of day, in UTF-8, read with the user's regional rules
    // ("11/1/2026 7:00"), to the second; midnight when it has no time; nothing when it is no date.
    virtual std::optional<LocalDateTime> TextToDateTime(const std::string& text) const = 0;
    // Text in the system's ANSI code page, as UTF-8.
    virtual std::string AnsiToUtf8(std::string_view text) const = 0;
};

// Uniform pseudo-random numbers r with 0 <= r < 1, in single precision.
class IRandom {
public:
    virtual ~IRandom() = default;
    virtual float Next() = 0;
};

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Information, Exclamation };
enum class MsgAnswer { Ok, Yes, No };

// A modal message box, its texts in UTF-8. With Yes/No, Yes is the default button.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual MsgAnswer ShowMessage(const std::string& text, const std::string& caption, MsgButtons buttons,
                                  MsgIcon icon) = 0;
};

// Hands an address to the shell to open in the default browser; the outcome is not reported.
class IShell {
public:
    virtual ~IShell() = default;
    virtual void OpenAddress(const std::string& address) = 0;
};

// Facts about the running executable.
class IProcessInfo {
public:
    virtual ~IProcessInfo() = default;
    // Base file name without folder and without ".exe" ("Hexalune" as shipped).
    virtual std::wstring ExecutableName() const = 0;
    // The folder as the system reports it (a drive's root keeps its backslash).
    virtual std::wstring ExecutableFolder() const = 0;
    // The arguments after the program path.
    virtual std::string CommandLine() const = 0;
};

// Whether a window coming up now would be in the user's way: a full-screen program, a
// presentation, a game in full screen, or the quiet hours after setting up Windows.
class INotificationState {
public:
    virtual ~INotificationState() = default;
    virtual bool UserIsBusy() const = 0;
};

inline constexpr char kAppTitle[] = "Hexalune";

}  // namespace hexalune
