// The Win32 adapters against the real registry and locale (run under Wine in a fresh prefix).
#include <windows.h>

#include <gtest/gtest.h>

#include "app/win32/SingleInstance.h"
#include "core/win32/ReadingText.h"
#include "core/win32/Win32Platform.h"
#include "links/UpdateReminder.h"
#include "settings/win32/RegistryRunKey.h"
#include "settings/win32/RegistrySettingsStore.h"

namespace hexalune::win32 {
namespace {

// Each test works under its own application name and removes it afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kSettingsBasePath) + kAppName).c_str()); }
    static constexpr wchar_t kAppName[] = L"HexaluneAdapterTest";
    RegistrySettingsStore store{kAppName};
};

TEST_F(RegistryTest, MissingValuesReadAsTheirDefault) {
    EXPECT_EQ(store.ReadSetting("Hour"), "");
    EXPECT_EQ(store.ReadSetting("RunAtSysTray", "False"), "False");
}

TEST_F(RegistryTest, WriteCreatesTheKeysAndTheLastWriteWins) {
    store.WriteSetting("Minute", "5");
    store.WriteSetting("Minute", "45");
    EXPECT_EQ(store.ReadSetting("Minute"), "45");
    EXPECT_EQ(store.KeyPath(), L"Software\\Hexalune\\HexaluneAdapterTest\\Settings");

    // Stored as REG_SZ with its terminating NUL.
    DWORD type = 0;
    wchar_t data[16] = {};
    DWORD size = sizeof(data);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, store.KeyPath().c_str(), L"Minute", RRF_RT_ANY, &type, data, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(data, L"45");
    EXPECT_EQ(size, 3 * sizeof(wchar_t));
}

TEST_F(RegistryTest, SeveralValuesReadAtOnceMatchSingleReads) {
    EXPECT_EQ(store.ReadSettings({"Hour", "Minute"}), (std::vector<std::string>{"", ""}));  // no key yet
    const std::string longText(300, 'x');  // longer than the first read's buffer
    store.WriteSetting("Hour", "7");
    store.WriteSetting("ChangingLines", longText);
    EXPECT_EQ(store.ReadSettings({"Hour", "Second", "ChangingLines"}),
              (std::vector<std::string>{"7", "", longText}));
    EXPECT_EQ(store.ReadSetting("ChangingLines"), longText);
}

TEST_F(RegistryTest, ReadsFollowTheKeyWhenItIsDeletedAndMadeAgain) {
    store.WriteSetting("Hour", "7");
    EXPECT_EQ(store.ReadSetting("Hour"), "7");  // the key is now held open for reading

    // Another program (regedit, an uninstaller) removes the whole key and later writes it anew.
    const std::wstring appKey = std::wstring(kSettingsBasePath) + kAppName;
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, appKey.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(store.ReadSetting("Hour", "none"), "none");
    EXPECT_EQ(store.ReadSettings({"Hour", "Minute"}), (std::vector<std::string>{"", ""}));

    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, store.KeyPath().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const wchar_t nine[] = L"9";
    RegSetValueExW(key, L"Hour", 0, REG_SZ, reinterpret_cast<const BYTE*>(nine), sizeof(nine));
    RegCloseKey(key);
    EXPECT_EQ(store.ReadSettings({"Hour", "Minute"}), (std::vector<std::string>{"9", ""}));

    // Deleted while held open, then made again: the new key's values are read, not the old ones.
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, appKey.c_str()), ERROR_SUCCESS);
    store.WriteSetting("Hour", "11");
    EXPECT_EQ(store.ReadSetting("Hour"), "11");
}

TEST_F(RegistryTest, ValuesOfAnotherTypeOrWithoutTerminatorAreHandled) {
    store.WriteSetting("Card", "12");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, store.KeyPath().c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    const DWORD number = 7;
    RegSetValueExW(key, L"Hour", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    const wchar_t unterminated[] = {L'4', L'2'};
    RegSetValueExW(key, L"Card", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated), sizeof(unterminated));
    RegCloseKey(key);
    EXPECT_EQ(store.ReadSetting("Hour", "none"), "none");
    EXPECT_EQ(store.ReadSetting("Card"), "42");
}

TEST_F(RegistryTest, ScrambledNameIsStoredAsTheAnsiFunctionsWouldStoreIt) {
    const std::string name = ScrambleText("Duration");
    const std::string value = ScrambleText("12/8/2026");
    store.WriteSetting(name, value);

    // Read back through the ANSI functions, byte for byte.
    HKEY key = nullptr;
    const std::string path = ToAnsi(store.KeyPath());
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    char data[64] = {};
    DWORD size = sizeof(data);
    DWORD type = 0;
    const LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    ASSERT_EQ(result, ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(data), value);
    EXPECT_EQ(UnscrambleText(store.ReadSetting(name)), "12/8/2026");
}

TEST(CalendarTest, ShortDateTextRoundTripsUnderTheUserLocale) {
    Win32Calendar calendar;
    const CivilDate day{2026, 12, 8};
    const std::string text = calendar.DateToText(day);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(calendar.TextToDate(text), std::optional<CivilDate>(day));
    for (const CivilDate& d : {CivilDate{2024, 2, 29}, CivilDate{2027, 1, 1}, CivilDate{2026, 12, 31}})
        EXPECT_EQ(calendar.TextToDate(calendar.DateToText(d)), std::optional<CivilDate>(d));
}

TEST(CalendarTest, TextThatIsNoDateReadsAsNothing) {
    Win32Calendar calendar;
    for (const char* text : {"", "garbage", "31/31/2031", "x/y/z"}) EXPECT_FALSE(calendar.TextToDate(text)) << text;
}

// As a spreadsheet program writes a journal's dates back: the user's short date, then the time.
TEST(CalendarTest, ADateWithItsTimeReadsToTheSecond) {
    Win32Calendar calendar;
    const std::string date = calendar.DateToText({2026, 11, 1});
    EXPECT_EQ(calendar.TextToDateTime(date + " 7:00"), std::optional(LocalDateTime{{2026, 11, 1}, 7, 0, 0}));
    EXPECT_EQ(calendar.TextToDateTime(date + " 23:59:59"), std::optional(LocalDateTime{{2026, 11, 1}, 23, 59, 59}));
    EXPECT_EQ(calendar.TextToDateTime(date), std::optional(LocalDateTime{{2026, 11, 1}, 0, 0, 0}));
    EXPECT_FALSE(calendar.TextToDateTime("garbage"));
}

TEST(CalendarTest, NowIsAValidLocalTime) {
    const LocalDateTime now = Win32Calendar().Now();
    EXPECT_GE(now.date.year, 2020);
    EXPECT_TRUE(now.hour >= 0 && now.hour < 24 && now.minute >= 0 && now.minute < 60);
}

TEST(CalendarTest, TheLocalTimeOfTheSystemClockIsNow) {
    const Win32Calendar calendar;
    const long long before = LocalSeconds(calendar.Now());
    const long long at = LocalSeconds(calendar.LocalAt(calendar.UtcMilliseconds() / 1000));
    EXPECT_TRUE(at >= before && at <= LocalSeconds(calendar.Now())) << at - before;
}

TEST_F(RegistryTest, TheWatchSignalsEachChangeOfAValueEvenAfterTheKeyWasDeleted) {
    store.WriteSetting("Hour", "7");
    SettingsKeyWatch watch(store.KeyPath());
    ASSERT_TRUE(watch.Event());
    watch.Renew();
    EXPECT_EQ(WaitForSingleObject(watch.Event(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    store.WriteSetting("Hour", "8");
    EXPECT_EQ(WaitForSingleObject(watch.Event(), 2000), static_cast<DWORD>(WAIT_OBJECT_0));
    watch.Renew();
    RegDeleteTreeW(HKEY_CURRENT_USER, store.KeyPath().c_str());
    EXPECT_EQ(WaitForSingleObject(watch.Event(), 2000), static_cast<DWORD>(WAIT_OBJECT_0));
    watch.Renew();
    store.WriteSetting("Hour", "9");
    EXPECT_EQ(WaitForSingleObject(watch.Event(), 2000), static_cast<DWORD>(WAIT_OBJECT_0));
}

class RunKeyTest : public ::testing::Test {
protected:
    void TearDown() override {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, kName);
            RegCloseKey(key);
        }
    }
    static constexpr wchar_t kName[] = L"HexaluneRunKeyTest";
    RegistryRunKey runKey;
};

TEST_F(RunKeyTest, WritesQueriesAndRemovesTheValue) {
    EXPECT_FALSE(runKey.ValueExists(kName));
    ASSERT_EQ(runKey.OpenForWrite(), 0);
    // A folder outside the ANSI code page survives the wide functions.
    const std::wstring data = BuildRunCommand(L"C:\\Program Files\\\x0425\x0435\x043A\x0441", kName);
    EXPECT_EQ(runKey.SetValue(kName, data), 0);
    runKey.Close();
    EXPECT_TRUE(runKey.ValueExists(kName));

    wchar_t stored[256] = {};
    DWORD size = sizeof(stored);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, kRunKeyPath, kName, RRF_RT_REG_SZ, nullptr, stored, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(stored), data);

    ASSERT_EQ(runKey.OpenForWrite(), 0);
    runKey.DeleteValue(kName);
    runKey.DeleteValue(kName);  // a second removal is silent
    runKey.Close();
    EXPECT_FALSE(runKey.ValueExists(kName));
}

TEST(ProcessInfoTest, NamesTheRunningExecutable) {
    Win32ProcessInfo process;
    EXPECT_EQ(process.ExecutableName(), L"hexalune_adapter_tests");
    const std::wstring folder = process.ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(ExecutablePath(), BuildRunCommand(folder, process.ExecutableName()).substr(1, ExecutablePath().size()));
}

TEST(SingleInstanceTest, OneCopyWhateverCaseTheNameWasTypedIn) {
    EXPECT_EQ(SingleInstanceName(L"hexalune"), SingleInstanceName(L"HEXALUNE"));
    EXPECT_EQ(SingleInstanceName(L"H\u00e9xalune"), SingleInstanceName(L"H\u00c9XALUNE"));
    EXPECT_NE(SingleInstanceName(L"Hexalune"), SingleInstanceName(L"Hexalune2"));
    const SingleInstance first(L"Hexalune-test");
    EXPECT_FALSE(first.AlreadyRunning());
    EXPECT_TRUE(SingleInstance(L"HEXALUNE-TEST").AlreadyRunning());
}

TEST(TextConversionTest, AnsiRoundTripKeepsHighCodes) {
    std::string all;
    for (int c = 32; c < 256; ++c) {
        if (c >= 0x80 && c <= 0x9F) continue;  // some of these have no character in the code page
        all.push_back(static_cast<char>(c));
    }
    EXPECT_EQ(ToAnsi(FromAnsi(all)), all);
}

// What the clipboard holds as text, or "<empty>".
std::wstring ClipboardText() {
    std::wstring text = L"<empty>";
    if (!OpenClipboard(nullptr)) return L"<not opened>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

TEST(ClipboardGuardTest, EmptiesOnlyWhatWasCopiedOutOfAReadingText) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    auto box = [window](const wchar_t* text) {
        return CreateWindowExW(0, L"EDIT", text, WS_CHILD | ES_MULTILINE, 0, 0, 100, 40, window, nullptr, nullptr, nullptr);
    };
    HWND reading = box(L"a reading's text");
    HWND note = box(L"the reader's own note");
    MakeReadingText(reading);
    auto copyAll = [](HWND edit) {
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, WM_COPY, 0, 0);
    };
    copyAll(note);
    GuardClipboard(reading);
    EXPECT_EQ(ClipboardText(), L"the reader's own note");
    copyAll(reading);
    GuardClipboard(reading);
    EXPECT_EQ(ClipboardText(), L"<empty>");
    DestroyWindow(window);
}

}  // namespace
}  // namespace hexalune::win32
