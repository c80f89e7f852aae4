// The real main window, without the rest of the program: what a reading puts on screen,
// the figures as drawn, the layout's pixel rectangles, and that thousands of readings
// leave nothing behind.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "core/ControlIds.h"
#include "app/MainLayout.h"
#include "app/win32/MainWindow.h"
#include "core/win32/ReadingText.h"
#include "core/win32/WindowKit.h"
#include "fakes/Fakes.h"
#include "reading/Catalogue.h"
#include "win32/ProcessObjects.h"

namespace hexalune::win32 {
namespace {

class NoShell : public IShell {
public:
    void OpenAddress(const std::string&) override {}
};

std::wstring TextOf(HWND control) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(control, buffer, 1024);
    return buffer;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window_.Create()) << "main window not created (" << GetLastError() << "); is there a display?";
    }
    void TearDown() override {
        DestroyWindow(window_.Handle());
        // The main window's end ends the message loop: leave no quit behind for the next test.
        MSG quit{};
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    // Whether line `line` (1 = bottom) of the figure in the picture is solid, read off the
    // pixels: the middle of a broken line is black, the middle of a solid one white.
    std::vector<bool> LinesOnScreen(int id) {
        HWND picture = window_.Control(id);
        RECT r{};
        GetClientRect(picture, &r);
        HDC screen = GetDC(picture);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
        HGDIOBJ old = SelectObject(memory, bitmap);
        PrintWindow(picture, memory, PW_CLIENTONLY);
        std::vector<bool> solid;
        // Walk up the middle column and the column a quarter in, and collect white runs.
        const int middle = r.right / 2;
        const int quarter = r.right / 4;
        bool inBar = false;
        for (int y = r.bottom - 1; y >= 0; --y) {
            const bool white = GetPixel(memory, quarter, y) == RGB(255, 255, 255);
            if (white && !inBar) solid.push_back(GetPixel(memory, middle, y) == RGB(255, 255, 255));
            inBar = white;
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(picture, screen);
        return solid;
    }

    NoShell shell_;
    MainWindow window_{GetModuleHandleW(nullptr), shell_};
};

TEST_F(MainWindowTest, AReadingFillsNameTextsLinesAndBothPictures) {
    window_.BringViewToFront(View::Settings);  // its picture is made with it
    for (int n = 1; n <= kHexagramCount; ++n) {
        window_.ShowReading(n, "4,1,6");
        const HexagramEntry& entry = Hexagram(n);
        const std::wstring name = FromAnsi(entry.name);
        ASSERT_EQ(TextOf(window_.Control(IDC_HEXAGRAM_NAME)), name) << n;
        EXPECT_EQ(TextOf(window_.Control(IDC_HEXAGRAM_FIGURE)), L"Hexagram " + std::to_wstring(n) + L", " + name);
        EXPECT_EQ(TextOf(window_.Control(IDC_SETTINGS_FIGURE)), TextOf(window_.Control(IDC_HEXAGRAM_FIGURE)));
        EXPECT_EQ(TextOf(window_.Control(IDC_JUDGMENT_DESCRIPTION)), FromAnsi(entry.judgmentDescription));
        EXPECT_EQ(TextOf(window_.Control(IDC_JUDGMENT_POEM)), WithEditLineBreaks(FromAnsi(entry.judgmentPoem)));
        EXPECT_EQ(TextOf(window_.Control(IDC_IMAGE_DESCRIPTION)), FromAnsi(entry.imageDescription));
        EXPECT_EQ(TextOf(window_.Control(IDC_IMAGE_POEM)), WithEditLineBreaks(FromAnsi(entry.imagePoem)));
        EXPECT_EQ(TextOf(window_.Control(IDC_CHANGING_LINES)), L"<a>4,1,6</a>");  // a link
    }
}

TEST_F(MainWindowTest, EachPictureShowsTheSixLinesOfItsHexagram) {
    ShowWindow(window_.Handle(), SW_SHOWNOACTIVATE);
    window_.BringViewToFront(View::Settings);
    window_.BringViewToFront(View::Hexagram);
    for (int n = 1; n <= kHexagramCount; ++n) {
        window_.ShowReading(n, "1");
        std::vector<bool> expected;
        for (int line = 1; line <= 6; ++line) expected.push_back(Hexagram(n).IsSolid(line));
        ASSERT_EQ(LinesOnScreen(IDC_HEXAGRAM_FIGURE), expected) << "hexagram " << n;
        ASSERT_EQ(LinesOnScreen(IDC_SETTINGS_FIGURE), expected) << "hexagram " << n;
    }
}

// Every control where the layout puts it, in the theme's font, at 96 DPI and again after a
// change to 144.
TEST_F(MainWindowTest, ControlsSitAtTheLayoutsRectanglesAtEachDpi) {
    if (WindowDpi(window_.Handle()) != 96) GTEST_SKIP() << "the display is not at 96 DPI";
    window_.BringViewToFront(View::Settings);  // the lists too
    for (int dpi : {96, 144}) {
        if (dpi != 96) {
            RECT suggested{0, 0, 800, 900};
            SendMessageW(window_.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        }
        RECT client{};
        GetClientRect(window_.Handle(), &client);
        // At 144 the frame is measured for a screen of that DPI, which the test's is not.
        if (dpi == 96) {
            EXPECT_EQ(client.right, 482);
            EXPECT_EQ(client.bottom, 523);
        }
        for (const ControlSpec& item : MainLayout()) {
            HWND control = window_.Control(item.id);
            ASSERT_NE(control, nullptr) << item.id;
            RECT r{};
            GetWindowRect(control, &r);
            MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
            const RECT expected = PixelRect(item, dpi);
            EXPECT_EQ(r.left, expected.left) << item.id << " at " << dpi;
            EXPECT_EQ(r.top, expected.top) << item.id << " at " << dpi;
            EXPECT_EQ(r.right, expected.right) << item.id << " at " << dpi;
            if (item.kind != ControlKind::ComboList) {  // its own height is the closed list's
                EXPECT_EQ(r.bottom, expected.bottom) << item.id << " at " << dpi;
            }
            if (item.kind == ControlKind::Shape || item.kind == ControlKind::Hook) continue;  // no text
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
            EXPECT_EQ(font.lfHeight, -MulDiv(825, dpi, 7200)) << item.id << " at " << dpi;
        }
    }
}

TEST_F(MainWindowTest, NewFrameMetricsLayTheWindowOutAgain) {
    HWND main = window_.Handle();
    RECT client{};
    GetClientRect(main, &client);
    // As after the caption or the frame changed size: the window no longer fits its client area.
    RECT outer{};
    GetWindowRect(main, &outer);
    SetWindowPos(main, nullptr, 0, 0, outer.right - outer.left - 30, outer.bottom - outer.top + 20,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(main, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, reinterpret_cast<LPARAM>(L"WindowMetrics"));
    RECT after{};
    GetClientRect(main, &after);
    EXPECT_EQ(after.right, client.right);
    EXPECT_EQ(after.bottom, client.bottom);
}

TEST_F(MainWindowTest, ListsAreMadeWithTheSettingsViewAndKeepWhatTheyWereGivenBefore) {
    // Before the settings view first comes to the front, the lists exist as items and a selection only.
    EXPECT_EQ(window_.Control(IDC_HOUR_LIST), nullptr);
    window_.FillList(PanelList::Hour, {"0", "1", "2"});
    window_.FillList(PanelList::Hour, {"3"});
    window_.SetListIndex(PanelList::Hour, 3);
    window_.FillList(PanelList::Minute, {"0", "1"});
    window_.SetListIndex(PanelList::Minute, 5);  // past the end: nothing selected, as a list box does
    window_.FillList(PanelList::Month, {"January", "February"});
    window_.SetListIndex(PanelList::Month, 1);
    EXPECT_EQ(window_.ListCount(PanelList::Hour), 4);
    EXPECT_EQ(window_.ListIndex(PanelList::Hour), 3);
    EXPECT_EQ(window_.ListItemText(PanelList::Hour, 3), "3");
    EXPECT_EQ(window_.ListItemText(PanelList::Hour, 4), "");
    EXPECT_EQ(window_.ListIndex(PanelList::Minute), -1);
    EXPECT_EQ(window_.ListCount(PanelList::Second), 0);

    window_.BringViewToFront(View::Settings);
    HWND hour = window_.Control(IDC_HOUR_LIST);
    ASSERT_NE(hour, nullptr);
    EXPECT_EQ(SendMessageW(hour, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageW(hour, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(window_.ListItemText(PanelList::Hour, 1), "1");
    EXPECT_EQ(window_.ListIndex(PanelList::Minute), -1);
    for (int id : {IDC_MINUTE_LIST, IDC_SECOND_LIST}) EXPECT_NE(window_.Control(id), nullptr) << id;
    // The date lists, which have no window, keep what they were given.
    EXPECT_EQ(window_.ListIndex(PanelList::Month), 1);
    EXPECT_EQ(window_.ListItemText(PanelList::Month, 1), "February");
    // In the tab order right after the label that names it, and named after it.
    EXPECT_EQ(GetWindow(window_.Control(IDC_HOUR_LABEL), GW_HWNDNEXT), hour);
    EXPECT_EQ(GetWindow(window_.Control(IDC_MINUTE_LABEL), GW_HWNDNEXT), window_.Control(IDC_MINUTE_LIST));
    // Made once: the view coming back does not make them again.
    window_.BringViewToFront(View::Hexagram);
    window_.BringViewToFront(View::Settings);
    EXPECT_EQ(window_.Control(IDC_HOUR_LIST), hour);
    window_.FillList(PanelList::Second, {"9"});
    EXPECT_EQ(SendMessageW(window_.Control(IDC_SECOND_LIST), CB_GETCOUNT, 0, 0), 1);
}

// The settings view is made when it first comes to the front: it shows what was set before,
// and its tab order is the one the table gives.
TEST_F(MainWindowTest, TheSettingsViewMadeLateShowsWhatWasSetBefore) {
    window_.ShowReading(12, "2");
    window_.SetRunSelected(true);
    window_.SetTrayEnabled(true);
    window_.SetTrayChecked(true);
    EXPECT_TRUE(window_.IsTrayChecked());
    window_.BringViewToFront(View::Settings);
    const auto checked = [this](int id) { return SendMessageW(window_.Control(id), BM_GETCHECK, 0, 0); };
    EXPECT_EQ(checked(IDC_RUN_AT_STARTUP), BST_CHECKED);
    EXPECT_EQ(checked(IDC_DONT_RUN_AT_STARTUP), BST_UNCHECKED);
    EXPECT_EQ(checked(IDC_START_IN_TRAY), BST_CHECKED);
    EXPECT_TRUE(IsWindowEnabled(window_.Control(IDC_START_IN_TRAY)));
    EXPECT_EQ(TextOf(window_.Control(IDC_SETTINGS_FIGURE)), TextOf(window_.Control(IDC_HEXAGRAM_FIGURE)));
    // Each container's children in table order, the outlines beneath the rest.
    std::vector<HWND> expected, made;
    for (const ControlSpec& item : MainLayout()) {
        if (item.parent == IDC_SETTINGS_VIEW && item.kind != ControlKind::Shape) expected.push_back(window_.Control(item.id));
    }
    for (HWND child = GetWindow(window_.Control(IDC_SETTINGS_VIEW), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        made.push_back(child);
    ASSERT_EQ(made.size(), expected.size() + 2);
    EXPECT_EQ(std::vector<HWND>(made.begin(), made.begin() + static_cast<long>(expected.size())), expected);
    EXPECT_EQ(made.back(), window_.Control(IDC_SETTINGS_OUTLINE));
}

// Each verse line on a row of its own: none runs into the next, none is too long for its box.
TEST_F(MainWindowTest, VersesShowOneVerseLineARow) {
    if (WindowDpi(window_.Handle()) != 96) GTEST_SKIP() << "the display is not at 96 DPI";
    for (int n = 1; n <= kHexagramCount; ++n) {
        window_.ShowReading(n, "1");
        for (const auto& [id, verse] : {std::pair{IDC_JUDGMENT_POEM, Hexagram(n).judgmentPoem},
                                        std::pair{IDC_IMAGE_POEM, Hexagram(n).imagePoem}}) {
            const std::string text = verse;
            const auto lines = std::count(text.begin(), text.end(), '\n') + 1;
            EXPECT_EQ(SendMessageW(window_.Control(id), EM_GETLINECOUNT, 0, 0), lines) << "hexagram " << n << ": " << text;
        }
    }
}

TEST_F(MainWindowTest, LooksWaitForTheLoadToEndThenOneTimerSleepsUntilTheNext) {
    using namespace hexalune::testing;
    FakeSettings settings;
    settings.values = {{"Hour", "7"}, {"Minute", "0"}, {"Second", "0"}};
    FakeCalendar calendar;
    ScriptedRandom random;
    FakeMessageBox messages;
    FakeShell shell;
    FakeProcessInfo process;
    FakeRunKey runKey;
    FakeTrayIcon trayIcon;
    FakeTrayMenu trayMenu;
    FakeNotificationState notifications;
    FakeJournalFile journalFile;
    FakeSettings hints;
    MainController controller(Services{settings, calendar, random, messages, shell, process, runKey, trayIcon,
                                       trayMenu, window_, notifications, journalFile, hints});
    window_.SetController(&controller);
    SendMessageW(window_.Handle(), WM_TIMECHANGE, 0, 0);
    EXPECT_FALSE(KillTimer(window_.Handle(), 1)) << "a look armed before the load has ended";
    window_.StartTicking();
    EXPECT_TRUE(KillTimer(window_.Handle(), 1)) << "no look armed for the display time";
    EXPECT_FALSE(KillTimer(window_.Handle(), 2)) << "short looks with nothing waiting";
    window_.SetController(nullptr);
}

// A window of the program's own besides the main one (as an open About box is), which
// records whether its own close handling ran.
bool otherWindowClosed = false;
LRESULT CALLBACK RecordClose(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_CLOSE) otherWindowClosed = true;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST_F(MainWindowTest, EndingClosesTheOtherWindowsThenEndsTheMessageLoop) {
    HWND main = window_.Handle();
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, main, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetWindowSubclass(other, RecordClose, 1, 0);
    otherWindowClosed = false;
    window_.EndProgram();  // returns: the process ends when the loop does, not here
    EXPECT_TRUE(IsWindow(main)) << "ended in the middle of the message that asked for it";
    // The program's message loop, with a quit of its own after five seconds should it not end.
    const UINT_PTR safety = SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); });
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    KillTimer(nullptr, safety);
    EXPECT_EQ(message.wParam, 0u) << "the message loop did not end with the main window";
    EXPECT_TRUE(otherWindowClosed);
    EXPECT_FALSE(IsWindow(other));
    EXPECT_FALSE(IsWindow(main));
}

// Counts the times a control is moved, sized or given a font while the font it holds is
// already deleted: it would lay out its text with whatever the system puts in its place.
int layoutsWithADeletedFont = 0;
LRESULT CALLBACK CheckFontAlive(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_WINDOWPOSCHANGED || message == WM_SETFONT) {
        const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
        if (font && GetObjectType(font) == 0) ++layoutsWithADeletedFont;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST_F(MainWindowTest, ADpiChangeFreesTheOldFontOnlyOnceTheControlsHaveTheNewOne) {
    for (const ControlSpec& item : MainLayout()) {
        if (HWND control = window_.Control(item.id)) SetWindowSubclass(control, CheckFontAlive, 1, 0);
    }
    layoutsWithADeletedFont = 0;
    RECT suggested{100, 100, 100 + 723, 100 + 800};
    SendMessageW(window_.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(layoutsWithADeletedFont, 0);
    for (const ControlSpec& item : MainLayout()) {
        if (HWND control = window_.Control(item.id)) RemoveWindowSubclass(control, CheckFontAlive, 1);
    }
}

TEST_F(MainWindowTest, OptionPairsAreGroupsAndWhatLiesBelowIsOutOfReach) {
    window_.BringViewToFront(View::Settings);
    const auto style = [this](int id) { return GetWindowLongPtrW(window_.Control(id), GWL_STYLE); };
    EXPECT_TRUE(style(IDC_RUN_AT_STARTUP) & WS_GROUP);
    EXPECT_FALSE(style(IDC_DONT_RUN_AT_STARTUP) & WS_GROUP);
    EXPECT_TRUE(style(IDC_START_IN_TRAY) & WS_GROUP) << "the arrow keys would walk on onto the check box";
    // One tab stop a pair: the checked option.
    window_.SetRunSelected(true);
    EXPECT_TRUE(style(IDC_RUN_AT_STARTUP) & WS_TABSTOP);
    EXPECT_FALSE(style(IDC_DONT_RUN_AT_STARTUP) & WS_TABSTOP);
    for (const ControlSpec& item : MainLayout()) {
        if (IsBelowClientArea(item)) {
            EXPECT_FALSE(style(item.id) & (WS_VISIBLE | WS_TABSTOP)) << item.id;
        }
    }
}

TEST_F(MainWindowTest, OnlyOneViewIsSeenAndTheHiddenControlsNeverAre) {
    ShowWindow(window_.Handle(), SW_SHOWNOACTIVATE);
    window_.BringViewToFront(View::Settings);
    EXPECT_TRUE(IsWindowVisible(window_.Control(IDC_SETTINGS_VIEW)));
    EXPECT_FALSE(IsWindowVisible(window_.Control(IDC_READING_VIEW)));
    window_.BringViewToFront(View::Hexagram);
    EXPECT_TRUE(IsWindowVisible(window_.Control(IDC_READING_VIEW)));
    EXPECT_FALSE(IsWindowVisible(window_.Control(IDC_SETTINGS_VIEW)));
    RECT client{};
    GetClientRect(window_.Handle(), &client);
    for (int id : {IDC_DISPLAY_SESSION_FRAME, IDC_TRAY_HOOK}) {
        RECT r{};
        GetWindowRect(window_.Control(id), &r);
        MapWindowPoints(nullptr, window_.Handle(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_GE(r.top, client.bottom) << id;
    }
    EXPECT_FALSE(IsWindowVisible(window_.Control(IDC_TRAY_HOOK)));
}

std::size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
    // Wine leaves PrivateUsage at 0.
    return counters.PrivateUsage ? counters.PrivateUsage : process_objects::PrivateCommit(GetCurrentProcess());
}

// This process's GDI and USER objects, counted from the GDI handle table and the windows
// where GetGuiResources gives nothing (Wine).
long OwnGdiObjects() { return process_objects::GdiObjectCount(GetCurrentProcess()); }
long OwnUserObjects() { return process_objects::UserObjectCount(GetCurrentProcess()); }

TEST(ProcessObjectsTest, CountsFollowObjectsMadeAndDestroyed) {
    constexpr int kMade = 20;
    // A thread's first window may bring a window of the system's along (Wine's IME window).
    HWND top = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const long gdiBefore = OwnGdiObjects();
    const long userBefore = OwnUserObjects();
    ASSERT_GT(gdiBefore, 0) << "no way to count GDI objects here";
    ASSERT_GT(userBefore, 0) << "no way to count USER objects here";
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < kMade; ++i) brushes.push_back(CreateSolidBrush(RGB(i, 2 * i, 3 * i)));
    // Each window a child of the one before: every descendant counts, not only children.
    HWND parent = top;
    for (int i = 0; i < kMade; ++i)
        parent = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, parent, nullptr, nullptr, nullptr);
    EXPECT_EQ(OwnGdiObjects(), gdiBefore + kMade);
    EXPECT_EQ(OwnUserObjects(), userBefore + kMade);
    for (HBRUSH brush : brushes) DeleteObject(brush);
    DestroyWindow(GetWindow(top, GW_CHILD));
    EXPECT_EQ(OwnGdiObjects(), gdiBefore);
    EXPECT_EQ(OwnUserObjects(), userBefore);
    DestroyWindow(top);
}

TEST_F(MainWindowTest, ThousandsOfReadingsLeaveNoHandlesOrMemoryBehind) {
    // Under Wine a reading costs some 60 ms while its view is in front (each of the four
    // edit controls redraws as its text is set) and some 8 ms while the settings view is.
    // So most readings are shown with the settings view in front, whose figure is painted
    // after each of them; every 100th is shown in the reading view and the whole window is
    // painted again, and then the settings view as it comes back to the front.
    constexpr int kReadings = 10000;
    constexpr int kFullRepaintEvery = 100;
    ShowWindow(window_.Handle(), SW_SHOWNOACTIVATE);
    auto repaintAll = [&] {
        RedrawWindow(window_.Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    };
    auto readings = [&](int count) {
        for (int i = 0; i < count; ++i) {
            const int hexagram = i % kHexagramCount + 1;
            if (i % kFullRepaintEvery == kFullRepaintEvery - 1) {
                window_.BringViewToFront(View::Hexagram);
                window_.ShowReading(hexagram, "3,6,1,2,5,4");
                repaintAll();
                window_.BringViewToFront(View::Settings);
                // Paint the view that came to the front.
                RedrawWindow(window_.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            } else {
                window_.ShowReading(hexagram, "3,6,1,2,5,4");
                // Only the figure of the view in front has anything to paint.
                UpdateWindow(window_.Control(IDC_HEXAGRAM_FIGURE));
                UpdateWindow(window_.Control(IDC_SETTINGS_FIGURE));
            }
        }
    };
    window_.BringViewToFront(View::Settings);
    readings(2 * kFullRepaintEvery);  // settle caches and the heap first
    const long gdiBefore = OwnGdiObjects();
    const long userBefore = OwnUserObjects();
    const std::size_t bytesBefore = PrivateBytes();
    ASSERT_GT(gdiBefore, 0) << "no way to count GDI objects here";
    ASSERT_GT(userBefore, 0) << "no way to count USER objects here";
    ASSERT_GT(bytesBefore, 0u);
    readings(kReadings);
    EXPECT_EQ(OwnGdiObjects(), gdiBefore);
    EXPECT_EQ(OwnUserObjects(), userBefore);
    // More than 105 bytes kept a reading would go past this.
    EXPECT_LT(PrivateBytes(), bytesBefore + 1024 * 1024);
}

}  // namespace
}  // namespace hexalune::win32
