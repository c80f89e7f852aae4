// In-memory stand-ins for the platform, for the native tests.
#pragma once

#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/MainController.h"
#include "core/Platform.h"
#include "core/SettingsStore.h"
#include "settings/StartupRegistration.h"
#include "tray/TrayController.h"

namespace hexalune::testing {

class FakeSettings : public ISettingsStore {
public:
    std::string ReadSetting(const std::string& key, const std::string& fallback = std::string()) const override {
        ++reads;
        const auto it = values.find(key);
        return it == values.end() ? fallback : it->second;
    }
    void WriteSetting(const std::string& key, const std::string& text) override {
        values[key] = text;
        writes.push_back(key + "=" + text);
    }
    bool Has(const std::string& key) const { return values.count(key) != 0; }
    std::string Get(const std::string& key) const { return Has(key) ? values.at(key) : std::string("<missing>"); }

    std::map<std::string, std::string> values;
    std::vector<std::string> writes;  // "key=text" in order
    mutable int reads = 0;
};

// A clock set by the test; dates as text in the month/day/year form of a US locale. The local
// clock is UTC moved by `offset` seconds, and by `summerOffset` from `summerStarts` (UTC) until
// `summerEnds`.
class FakeCalendar : public ICalendar {
public:
    LocalDateTime Now() const override { return now; }
    long long UtcMilliseconds() const override {
        if (instantMs) return *instantMs;
        const long long local = LocalSeconds(now);
        return (local - OffsetAt(local - offset)) * 1000;
    }
    LocalDateTime LocalAt(long long utc) const override { return DateTimeFromSeconds(utc + OffsetAt(utc)); }
    long long OffsetAt(long long utc) const {
        return offset + (utc >= summerStarts && utc < summerEnds ? summerOffset : 0);
    }
    // The clock at an instant (UTC milliseconds), and the local time it reads then.
    void SetInstantMs(long long utcMs) {
        instantMs = utcMs;
        now = LocalAt(utcMs / 1000);
    }
    std::string DateToText(const CivilDate& d) const override {
        return std::to_string(d.month) + "/" + std::to_string(d.day) + "/" + std::to_string(d.year);
    }
    std::optional<CivilDate> TextToDate(const std::string& text) const override {
        int m = 0, d = 0, y = 0;
        char tail = 0;
        if (std::sscanf(text.c_str(), "%d/%d/%d%c", &m, &d, &y, &tail) != 3) return std::nullopt;
        if (m < 1 || m > 12 || d < 1 || d > 31 || y < 100) return std::nullopt;
        const CivilDate date{y, m, d};
        if (CivilFromDays(DaysFromCivil(date)) != date) return std::nullopt;  // 2/30 and the like
        return date;
    }
    // "11/1/2026 7:00", with or without seconds, as a spreadsheet writes it.
    std::optional<LocalDateTime> TextToDateTime(const std::string& text) const override {
        const auto space = text.find(' ');
        const auto date = TextToDate(text.substr(0, space));
        if (!date || space == std::string::npos) return date ? std::optional(LocalDateTime{*date, 0, 0, 0}) : std::nullopt;
        int h = 0, mi = 0, s = 0;
        char tail = 0;
        const int got = std::sscanf(text.c_str() + space + 1, "%d:%d:%d%c", &h, &mi, &s, &tail);
        if (got < 2 || got > 3 || h > 23 || mi > 59 || s > 59 || h < 0 || mi < 0 || s < 0) return std::nullopt;
        return LocalDateTime{*date, h, mi, s};
    }
    // An ANSI code page of Latin-1.
    std::string AnsiToUtf8(std::string_view text) const override {
        std::string utf8;
        for (char c : text) {
            const auto b = static_cast<unsigned char>(c);
            if (b < 0x80) {
                utf8 += c;
            } else {
                utf8 += static_cast<char>(0xC0 | b >> 6);
                utf8 += static_cast<char>(0x80 | (b & 0x3F));
            }
        }
        return utf8;
    }
    void Set(int y, int mo, int d, int h = 12, int mi = 0, int s = 0) {
        now = LocalDateTime{{y, mo, d}, h, mi, s};
        instantMs.reset();
    }
    std::string Text(int dayOffset = 0) const { return DateToText(AddDays(now.date, dayOffset)); }

    LocalDateTime now{{2026, 12, 8}, 12, 0, 0};
    std::optional<long long> instantMs;  // UTC; unset: the instant `now` reads
    long long offset = 0;
    long long summerOffset = 0;
    long long summerStarts = 0;
    long long summerEnds = 0;
};

// Plays back the given values, then repeats a fallback.
class ScriptedRandom : public IRandom {
public:
    ScriptedRandom() = default;
    explicit ScriptedRandom(std::vector<float> values) : queue(values.begin(), values.end()) {}
    float Next() override {
        ++calls;
        if (queue.empty()) return fallback;
        const float r = queue.front();
        queue.pop_front();
        return r;
    }
    std::deque<float> queue;
    float fallback = 0.0f;
    int calls = 0;
};

// r that draws the whole number n (1..bound) with floor(r * bound) + 1.
inline float R(int n, int bound) { return (static_cast<float>(n) - 0.5f) / static_cast<float>(bound); }

class FakeMessageBox : public IMessageBox {
public:
    struct Shown {
        std::string text, caption;
        MsgButtons buttons;
        MsgIcon icon;
    };
    MsgAnswer ShowMessage(const std::string& text, const std::string& caption, MsgButtons buttons,
                          MsgIcon icon) override {
        shown.push_back({text, caption, buttons, icon});
        if (whileOpen) std::exchange(whileOpen, nullptr)();
        if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
        if (answers.empty()) return MsgAnswer::No;
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<Shown> shown;
    std::deque<MsgAnswer> answers;
    std::function<void()> whileOpen;  // runs once, as if it happened while the box was open
};

class FakeShell : public IShell {
public:
    void OpenAddress(const std::string& address) override {
        opened.push_back(address);
        if (onOpen) onOpen(address);
    }
    std::vector<std::string> opened;
    std::function<void(const std::string&)> onOpen;  // lets a test look at the state at that moment
};

class FakeProcessInfo : public IProcessInfo {
public:
    std::wstring ExecutableName() const override { return name; }
    std::wstring ExecutableFolder() const override { return folder; }
    std::string CommandLine() const override { return commandLine; }
    std::wstring name = L"Hexalune";
    std::wstring folder = L"C:\\Program Files\\Hexalune";
    std::string commandLine;
};

class FakeRunKey : public IRunKey {
public:
    long OpenForWrite() override {
        ++opens;
        if (openError == 0) open = true;
        return openError;
    }
    long SetValue(const std::wstring& name, const std::wstring& data) override {
        if (setError == 0) values[name] = data;
        return setError;
    }
    void DeleteValue(const std::wstring& name) override { values.erase(name); }
    void Close() override {
        open = false;
        ++closes;
    }
    bool ValueExists(const std::wstring& name) override { return values.count(name) != 0; }
    std::vector<unsigned char> StartupApproval(const std::wstring& name) override {
        const auto found = approvals.find(name);
        return found == approvals.end() ? std::vector<unsigned char>{} : found->second;
    }

    std::map<std::wstring, std::wstring> values;
    std::map<std::wstring, std::vector<unsigned char>> approvals;  // Task Manager's records, only ever read
    long openError = 0;
    long setError = 0;
    bool open = false;
    int opens = 0;
    int closes = 0;
};

class FakeTrayIcon : public ITrayIcon {
public:
    bool Add() override {
        ++adds;
        if (failing) return false;
        present = true;
        return true;
    }
    void Remove() override {
        ++removes;
        present = false;
    }
    void ReturnFocus() override { ++focusReturns; }
    void ShowBalloon(const std::string& title, const std::string& text) override {
        balloons.push_back(title + "|" + text);
    }
    int focusReturns = 0;
    std::vector<std::string> balloons;  // "title|text", each asked for
    bool present = false;
    bool failing = false;
    int adds = 0;
    int removes = 0;
};

class FakeTrayMenu : public ITrayMenu {
public:
    TrayMenuChoice ShowTrayMenu(ScreenPoint) override {
        ++shown;
        return choice;
    }
    TrayMenuChoice choice = TrayMenuChoice::None;
    int shown = 0;
};

// The main window's state as plain fields.
class FakeMainWindow : public IMainWindow {
public:
    FakeMainWindow() {
        for (int i = 0; i < 6; ++i) lists[i].index = -1;
    }
    // IReadingView
    void ShowReading(int c, const std::string& lines) override {
        hexagram = c;
        changingLines = lines;
        ++readingsShown;
    }
    // IPanelControls
    void FillList(PanelList list, const std::vector<std::string>& items) override {
        auto& l = lists[static_cast<int>(list)];
        l.items.insert(l.items.end(), items.begin(), items.end());
    }
    int ListCount(PanelList list) const override { return static_cast<int>(lists[static_cast<int>(list)].items.size()); }
    int ListIndex(PanelList list) const override { return lists[static_cast<int>(list)].index; }
    void SetListIndex(PanelList list, int index) override { lists[static_cast<int>(list)].index = index; }
    std::string ListItemText(PanelList list, int index) const override {
        return lists[static_cast<int>(list)].items.at(static_cast<std::size_t>(index));
    }
    bool IsRunSelected() const override { return runSelected; }
    void SetRunSelected(bool run) override { runSelected = run; }
    bool IsTrayChecked() const override { return trayChecked; }
    void SetTrayChecked(bool checked) override { trayChecked = checked; }
    void SetTrayEnabled(bool enabled) override { trayEnabled = enabled; }
    // IWindowState
    bool IsVisible() const override { return visible; }
    void Show() override {
        visible = true;
        ++shows;
    }
    void Hide() override { visible = false; }
    void Minimize() override { minimized = true; }
    void Restore() override { minimized = false; }
    void CenterOnScreen() override { ++centered; }
    void ShowWithoutActivating() override {
        Show();
        Restore();
    }
    // IMainWindow
    void BringViewToFront(View view) override { front = view; }
    void OpenWindow(WindowId window) override { opened.push_back(window); }
    void EndProgram() override { ended = true; }

    struct List {
        std::vector<std::string> items;
        int index = -1;
    };
    List lists[6];
    int hexagram = 0;
    std::string changingLines;
    int readingsShown = 0;
    bool runSelected = false;  // "Don't run at start-up" is selected at first
    bool trayChecked = false;
    bool trayEnabled = false;
    bool visible = false;  // not yet shown while the window loads
    bool minimized = false;
    int shows = 0;
    int centered = 0;
    View front = View::Hexagram;
    std::vector<WindowId> opened;
    bool ended = false;
};

class FakeNotificationState : public INotificationState {
public:
    bool UserIsBusy() const override { return busy; }
    bool busy = false;
};

// The journal file in memory. While `failing`, it cannot be replaced (it can still be copied,
// as when a spreadsheet has it open); a copy aside fails while `failingCopy`.
class FakeJournalFile : public IJournalFile {
public:
    FileRead ReadAll(std::string& out, const std::string* sameAs = nullptr) override {
        ++reads;
        if (unreadable) return FileRead::Failed;
        if (tooLarge) return FileRead::TooLarge;
        if (sameAs && bytes == *sameAs) {
            out.clear();
            return FileRead::Unchanged;
        }
        out = bytes ? *bytes : std::string();
        return bytes ? FileRead::Read : FileRead::Missing;
    }
    bool ReplaceAll(std::string_view head, std::string_view tail) override {
        ++writes;
        if (failing) return false;
        bytes = std::string(head) + std::string(tail);
        return true;
    }
    AsideCopy CopyAside(const std::string& name) override {
        if (aside.count(name)) return AsideCopy::AlreadyKept;
        if (!bytes || failingCopy) return AsideCopy::Failed;
        aside[name] = *bytes;
        return AsideCopy::Copied;
    }
    FileRead ReadBeside(const std::string& name, std::string& out) override {
        if (!beside.count(name)) return FileRead::Missing;
        out = beside[name];
        return FileRead::Read;
    }
    bool WriteBeside(const std::string& name, std::string_view text) override {
        beside[name] = text;
        return true;
    }
    bool RemoveBeside(const std::string& name) override {
        beside.erase(name);
        return true;
    }
    std::string PathOf(const std::string& name) const override { return "C:\\Journal folder\\" + name; }

    std::optional<std::string> bytes;  // nothing: no file yet
    std::map<std::string, std::string> aside;
    std::map<std::string, std::string> beside;  // the program's own files beside the journal
    bool failing = false;
    bool failingCopy = false;
    bool unreadable = false;
    bool tooLarge = false;
    int reads = 0;
    int writes = 0;
};

// A controller wired to fakes, for tests of whole behaviours.
struct Harness {
    FakeSettings settings;
    FakeCalendar calendar;
    ScriptedRandom random;
    FakeMessageBox messages;
    FakeShell shell;
    FakeProcessInfo process;
    FakeRunKey runKey;
    FakeTrayIcon trayIcon;
    FakeTrayMenu trayMenu;
    FakeMainWindow window;
    FakeNotificationState notifications;
    FakeJournalFile journalFile;
    FakeSettings hints;
    MainController controller{Services{settings, calendar, random, messages, shell, process, runKey, trayIcon,
                                       trayMenu, window, notifications, journalFile, hints}};
};

}  // namespace hexalune::testing
