#include "core/win32/Win32Platform.h"

#include <oleauto.h>
#include <shellapi.h>

#include <climits>
#include <cmath>
#include <vector>

namespace hexalune::win32 {

namespace {

std::wstring Widened(const std::string& text, UINT codePage) {
    if (text.empty()) return std::wstring();
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), length);
    return result;
}

std::string Narrowed(const std::wstring& text, UINT codePage) {
    if (text.empty()) return std::string();
    const int length =
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), length, nullptr,
                        nullptr);
    return result;
}

}  // namespace

std::wstring FromAnsi(const std::string& text) { return Widened(text, CP_ACP); }
std::string ToAnsi(const std::wstring& text) { return Narrowed(text, CP_ACP); }
std::wstring FromUtf8(const std::string& text) { return Widened(text, CP_UTF8); }
std::string ToUtf8(const std::wstring& text) { return Narrowed(text, CP_UTF8); }

std::wstring ExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::wstring();
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring ExecutableBaseName() {
    std::wstring path = ExecutablePath();
    const auto slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) path.erase(0, slash + 1);
    const auto dot = path.find_last_of(L'.');
    if (dot != std::wstring::npos && _wcsicmp(path.c_str() + dot, L".exe") == 0) path.erase(dot);
    return path;
}

LocalDateTime Win32Calendar::Now() const {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return LocalDateTime{{st.wYear, st.wMonth, st.wDay}, st.wHour, st.wMinute, st.wSecond};
}

namespace {

// FILETIME counts 100-nanosecond intervals from 1601-01-01; this many lie before 1970.
constexpr long long kFileTimeAt1970 = 116444736000000000LL;
constexpr long long kFileTimePerSecond = 10000000LL;

}  // namespace

long long Win32Calendar::UtcMilliseconds() const {
    FILETIME ft{};
    GetSystemTimeAsFileTime(&ft);
    const long long ticks = static_cast<long long>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
    return (ticks - kFileTimeAt1970) / (kFileTimePerSecond / 1000);
}

LocalDateTime Win32Calendar::LocalAt(long long utcSeconds) const {
    const auto ticks = static_cast<ULONGLONG>(utcSeconds * kFileTimePerSecond + kFileTimeAt1970);
    const FILETIME ft{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utc{}, local{};
    // The zone's rules for summer time in that instant's year, not only this year's.
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    TIME_ZONE_INFORMATION rules{};
    if (!FileTimeToSystemTime(&ft, &utc) || GetDynamicTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID ||
        !GetTimeZoneInformationForYear(utc.wYear, &zone, &rules) ||
        !SystemTimeToTzSpecificLocalTime(&rules, &utc, &local)) {
        // The offset in force now, for every instant.
        FILETIME localFt{};
        if (!FileTimeToLocalFileTime(&ft, &localFt) || !FileTimeToSystemTime(&localFt, &local))
            return DateTimeFromSeconds(utcSeconds);
    }
    return LocalDateTime{{local.wYear, local.wMonth, local.wDay}, local.wHour, local.wMinute, local.wSecond};
}

std::string Win32Calendar::DateToText(const CivilDate& date) const {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(date.year);
    st.wMonth = static_cast<WORD>(date.month);
    st.wDay = static_cast<WORD>(date.day);
    wchar_t buffer[128] = {};
    if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, 128) == 0) return std::string();
    return ToAnsi(buffer);
}

std::optional<CivilDate> Win32Calendar::TextToDate(const std::string& text) const {
    if (text.empty() || text.size() > 64) return std::nullopt;
    std::wstring wide = FromAnsi(text);
    DATE value = 0;
    if (FAILED(VarDateFromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &value))) return std::nullopt;
    SYSTEMTIME st{};
    if (!VariantTimeToSystemTime(std::floor(value), &st)) return std::nullopt;
    return CivilDate{st.wYear, st.wMonth, st.wDay};
}

std::optional<LocalDateTime> Win32Calendar::TextToDateTime(const std::string& text) const {
    if (text.empty() || text.size() > 64) return std::nullopt;
    std::wstring wide = FromUtf8(text);
    DATE value = 0;
    if (FAILED(VarDateFromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &value))) return std::nullopt;
    SYSTEMTIME st{};
    if (!VariantTimeToSystemTime(value, &st)) return std::nullopt;
    return LocalDateTime{{st.wYear, st.wMonth, st.wDay}, st.wHour, st.wMinute, st.wSecond};
}

std::string Win32Calendar::AnsiToUtf8(std::string_view text) const {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return std::string();
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return ToUtf8(wide);
}

std::wstring Win32ProcessInfo::ExecutableFolder() const {
    std::wstring path = ExecutablePath();
    const auto slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return std::wstring();
    // A drive's root keeps its backslash ("C:\"), as the system reports it.
    return slash > 0 && path[slash - 1] == L':' ? path.substr(0, slash + 1) : path.substr(0, slash);
}

std::string Win32ProcessInfo::CommandLine() const {
    // The arguments after the program path, which may be quoted.
    const wchar_t* p = GetCommandLineW();
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p == L'"') ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return ToAnsi(p);
}

MsgAnswer Win32MessageBox::ShowMessage(const std::string& text, const std::string& caption, MsgButtons buttons,
                                       MsgIcon icon) {
    UINT type = buttons == MsgButtons::YesNo ? MB_YESNO | MB_DEFBUTTON1 : MB_OK;
    if (icon == MsgIcon::Information) type |= MB_ICONINFORMATION;
    if (icon == MsgIcon::Exclamation) type |= MB_ICONEXCLAMATION;
    HWND owner = owner_ && IsWindowVisible(owner_) ? owner_ : nullptr;
    if (!owner) type |= MB_SETFOREGROUND | MB_TOPMOST;
    const int answer = MessageBoxW(owner, FromUtf8(text).c_str(), FromUtf8(caption).c_str(), type);
    if (answer == IDYES) return MsgAnswer::Yes;
    if (answer == IDNO) return MsgAnswer::No;
    return MsgAnswer::Ok;
}

void Win32Shell::OpenAddress(const std::string& address) {
    // No working folder of ours: the browser chooses its own (a fixed one such as C:\ need not exist).
    ShellExecuteW(nullptr, L"Open", FromAnsi(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool Win32NotificationState::UserIsBusy() const {
    QUERY_USER_NOTIFICATION_STATE state{};
    if (FAILED(SHQueryUserNotificationState(&state))) return false;
    // Quiet time: the first hours after Windows is set up, or as the user chose (Windows 8 on).
    return state == QUNS_BUSY || state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE ||
           state == QUNS_QUIET_TIME;
}

}  // namespace hexalune::win32
