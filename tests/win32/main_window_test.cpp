// The real main window, without the rest of the program: what a reading puts on screen,
// the figures as drawn, the layout's pixel rectangles, and that thousands of readings
// leave nothing behind.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include "app/ControlIds.h"
#include "app/MainLayout.h"
#include "app/win32/MainWindow.h"
#include "reading/Catalogue.h"

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
    void TearDown() override { DestroyWindow(window_.Handle()); }

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
    for (int n = 1; n <= kHexagramCount; ++n) {
        window_.ShowReading(n, "4,1,6");
        const HexagramEntry& entry = Hexagram(n);
        const std::wstring name = FromAnsi(entry.name);
        ASSERT_EQ(TextOf(window_.Control(IDC_LBLCARDNAME)), name) << n;
        EXPECT_EQ(TextOf(window_.Control(IDC_PICCARD)), L"Hexagram " + std::to_wstring(n) + L", " + name);
        EXPECT_EQ(TextOf(window_.Control(IDC_PICCARD2)), TextOf(window_.Control(IDC_PICCARD)));
        EXPECT_EQ(TextOf(window_.Control(IDC_TXTJUDGMENTDESCRIPTION)), FromAnsi(entry.judgmentDescription));
        EXPECT_EQ(TextOf(window_.Control(IDC_TXTJUDGMENTPOEM)), FromAnsi(entry.judgmentPoem));
        EXPECT_EQ(TextOf(window_.Control(IDC_TXTIMAGEDESCRIPTION)), FromAnsi(entry.imageDescription));
        EXPECT_EQ(TextOf(window_.Control(IDC_TXTIMAGEPOEM)), FromAnsi(entry.imagePoem));
        EXPECT_EQ(TextOf(window_.Control(IDC_LBLCHANGINGLINES)), L"4,1,6");
    }
}

TEST_F(MainWindowTest, EachPictureShowsTheSixLinesOfItsHexagram) {
    ShowWindow(window_.Handle(), SW_SHOWNOACTIVATE);
    for (int n = 1; n <= kHexagramCount; ++n) {
        window_.ShowReading(n, "1");
        std::vector<bool> expected;
        for (int line = 1; line <= 6; ++line) expected.push_back(Hexagram(n).IsSolid(line));
        ASSERT_EQ(LinesOnScreen(IDC_PICCARD), expected) << "hexagram " << n;
        ASSERT_EQ(LinesOnScreen(IDC_PICCARD2), expected) << "hexagram " << n;
    }
}

TEST_F(MainWindowTest, ControlsSitAtTheLayoutsRectanglesAtNinetySixDpi) {
    if (WindowDpi(window_.Handle()) != 96) GTEST_SKIP() << "the display is not at 96 DPI";
    RECT client{};
    GetClientRect(window_.Handle(), &client);
    EXPECT_EQ(client.right, 482);
    EXPECT_EQ(client.bottom, 523);
    for (const ControlSpec& item : MainLayout()) {
        if (item.kind == ControlKind::ComboList) continue;  // their height includes the list
        HWND control = window_.Control(item.id);
        ASSERT_NE(control, nullptr) << item.id;
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, TwipsToPixels(item.left, 96)) << item.id;
        EXPECT_EQ(r.top, TwipsToPixels(item.top, 96)) << item.id;
        EXPECT_EQ(r.right - r.left, TwipsToPixels(item.width, 96)) << item.id;
        EXPECT_EQ(r.bottom - r.top, TwipsToPixels(item.height, 96)) << item.id;
    }
}

TEST_F(MainWindowTest, OnlyOneViewIsSeenAndTheHiddenControlsNeverAre) {
    ShowWindow(window_.Handle(), SW_SHOWNOACTIVATE);
    window_.BringViewToFront(View::Settings);
    EXPECT_TRUE(IsWindowVisible(window_.Control(IDC_FRASETTINGS)));
    EXPECT_FALSE(IsWindowVisible(window_.Control(IDC_FRARUNE)));
    window_.BringViewToFront(View::Hexagram);
    EXPECT_TRUE(IsWindowVisible(window_.Control(IDC_FRARUNE)));
    EXPECT_FALSE(IsWindowVisible(window_.Control(IDC_FRASETTINGS)));
    RECT client{};
    GetClientRect(window_.Handle(), &client);
    for (int id : {IDC_FRAME6, IDC_CBODATE, IDC_CBOMONTH, IDC_CBOYEAR, IDC_PICHOOK}) {
        RECT r{};
        GetWindowRect(window_.Control(id), &r);
        MapWindowPoints(nullptr, window_.Handle(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_GE(r.top, client.bottom) << id;
    }
    EXPECT_FALSE(IsWindowVisible(window_.Control(IDC_PICHOOK)));
}

std::size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
    return counters.PrivateUsage;
}

TEST_F(MainWindowTest, ThousandsOfReadingsLeaveNoHandlesOrMemoryBehind) {
    // Under Wine a reading with its repaint takes tens of milliseconds, so a few hundred here;
    // bench/run.sh counts GDI handles of the running program over a thousand repaints.
    constexpr int kReadings = 300;
    ShowWindow(window_.Handle(), SW_SHOWNOACTIVATE);
    auto oneReading = [&](int i) {
        window_.ShowReading(i % kHexagramCount + 1, "3,6,1,2,5,4");
        // Paint what the reading changed (both pictures and the texts).
        RedrawWindow(window_.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
    for (int i = 0; i < 200; ++i) oneReading(i);  // settle caches and the heap first
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    const std::size_t bytesBefore = PrivateBytes();
    for (int i = 0; i < kReadings; ++i) oneReading(i);
    // A leaked handle per reading would cost far more than this.
    EXPECT_LT(PrivateBytes(), bytesBefore + 1024 * 1024);
    if (gdiBefore == 0 && userBefore == 0) {
        GTEST_SKIP() << "GetGuiResources gives no counts on this system; checked memory only";
    }
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore);
}

}  // namespace
}  // namespace hexalune::win32
