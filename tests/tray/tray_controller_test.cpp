// The notification-area icon: going there, coming back, the mouse and the keyboard on it, and a shell
// that restarts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "fakes/Fakes.h"
#include "tray/TrayController.h"

namespace hexalune {
namespace {

using testing::FakeMainWindow;
using testing::FakeTrayIcon;
using testing::FakeTrayMenu;
using testing::Harness;

class TrayControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.visible = true;
        window.front = View::Settings;
    }
    // The window is back on screen and the icon gone.
    void ExpectShownAndIconRemoved() {
        EXPECT_TRUE(window.visible);
        EXPECT_FALSE(window.minimized);
        EXPECT_EQ(window.centered, 1);
        EXPECT_FALSE(icon.present);
        EXPECT_FALSE(tray.IconWanted());
    }

    FakeTrayIcon icon;
    FakeTrayMenu menu;
    FakeMainWindow window;
    testing::FakeSettings hints;
    testing::FakeNotificationState notifications;
    int exits = 0;
    TrayController tray{icon, menu, window, hints, notifications, [this] { ++exits; }};
};

TEST_F(TrayControllerTest, TheFirstTripToTheTraySaysWhereTheWindowWentUntilTheShellShowsIt) {
    tray.SendToTray();
    ASSERT_EQ(icon.balloons, std::vector<std::string>{std::string(kStillRunningTitle) + "|" + kStillRunningText});
    tray.OnIconEvent(kIconDoubleClick, {});
    tray.SendToTray();  // held back by the shell: asked for again
    tray.OnIconEvent(kIconBalloonShown, {});
    EXPECT_EQ(hints.Get("TrayBalloonShown"), "True");
    tray.OnIconEvent(kIconDoubleClick, {});
    tray.SendToTray();
    EXPECT_EQ(icon.balloons.size(), 2u);
}

TEST_F(TrayControllerTest, NoBalloonWhileTheUserPresents) {
    notifications.busy = true;
    tray.SendToTray();
    EXPECT_TRUE(icon.balloons.empty());
}

TEST_F(TrayControllerTest, SendToTrayAddsOneIconMinimisesAndHides) {
    tray.SendToTray();
    tray.SendToTray();
    EXPECT_TRUE(icon.present);
    EXPECT_TRUE(window.minimized);
    EXPECT_FALSE(window.visible);
    EXPECT_TRUE(tray.IconWanted());
    EXPECT_TRUE(tray.IconShown());
}

TEST_F(TrayControllerTest, DoubleClickBringsTheWindowBack) {
    tray.SendToTray();
    tray.OnIconEvent(0x203, {});
    ExpectShownAndIconRemoved();
    EXPECT_EQ(menu.shown, 0);
}

TEST_F(TrayControllerTest, MenuShowBringsTheWindowBack) {
    tray.SendToTray();
    menu.choice = TrayMenuChoice::Show;
    tray.OnIconEvent(0x205, {});
    EXPECT_EQ(menu.shown, 1);
    ExpectShownAndIconRemoved();
    EXPECT_EQ(exits, 0);
}

TEST_F(TrayControllerTest, MenuExitCallsTheExitAction) {
    tray.SendToTray();
    menu.choice = TrayMenuChoice::Exit;
    tray.OnIconEvent(0x205, {});
    EXPECT_EQ(exits, 1);
    EXPECT_FALSE(window.visible);
}

// A left click reports a selection too; Enter may be reported twice.
TEST_F(TrayControllerTest, TheKeyboardsSelectionBringsTheWindowBackOnceAClicksDoesNot) {
    tray.SendToTray();
    // The tooltip may open between a click's release and its selection.
    for (unsigned code : {kIconLeftUp, 0x406u /* NIN_POPUPOPEN */, kIconSelect}) tray.OnIconEvent(code, {});
    EXPECT_FALSE(window.visible);
    for (unsigned code : {kIconSelect, kIconKeySelect}) tray.OnIconEvent(code, {});
    ExpectShownAndIconRemoved();
}

// A right click's context-menu event reaches the program while the click's menu is open.
TEST_F(TrayControllerTest, TheMenuKeyOpensTheMenuAndARightClickOpensItOnce) {
    struct NestingMenu : ITrayMenu {
        TrayController* tray = nullptr;
        int shown = 0;
        TrayMenuChoice ShowTrayMenu(ScreenPoint at) override {
            if (++shown == 2) tray->OnIconEvent(kIconContextMenu, at);
            return TrayMenuChoice::None;
        }
    } nesting;
    TrayController nested{icon, nesting, window, hints, notifications, nullptr};
    nesting.tray = &nested;
    nested.SendToTray();
    nested.OnIconEvent(kIconContextMenu, {});  // the menu key
    nested.OnIconEvent(kIconRightUp, {});
    EXPECT_EQ(nesting.shown, 2);
    EXPECT_EQ(icon.focusReturns, 2);  // each cancelled menu gives the keyboard back to the icons
}

class OtherIconEventTest : public TrayControllerTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(OtherIconEventTest, DoesNothing) {
    tray.SendToTray();
    menu.choice = TrayMenuChoice::Exit;
    tray.OnIconEvent(GetParam(), {});
    EXPECT_EQ(menu.shown, 0);
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(icon.present);
    EXPECT_FALSE(window.visible);
    EXPECT_EQ(window.centered, 0);
}

// Move, left down, left up, right down.
INSTANTIATE_TEST_SUITE_P(Codes, OtherIconEventTest, ::testing::Values(0x200u, 0x201u, 0x202u, 0x204u));

TEST_F(TrayControllerTest, TaskbarCreatedReaddsTheIconOnlyWhileItBelongsThere) {
    tray.OnTaskbarCreated();
    EXPECT_EQ(icon.adds, 0);
    tray.SendToTray();
    icon.present = false;  // the shell restarted and lost it
    tray.OnTaskbarCreated();
    EXPECT_TRUE(icon.present);
    tray.OnIconEvent(0x203, {});
    const int adds = icon.adds;
    tray.OnTaskbarCreated();
    EXPECT_EQ(icon.adds, adds);
    EXPECT_FALSE(icon.present);
}

TEST(TrayInTheProgram, MenuExitEndsTheProgramWithOptionsSavedAndIconRemoved) {
    Harness h;
    h.controller.OnLoad();
    h.controller.Tray().SendToTray();
    h.settings.writes.clear();
    const auto messagesBefore = h.messages.shown.size();
    h.trayMenu.choice = TrayMenuChoice::Exit;
    h.controller.OnTrayIconEvent(0x205, {});
    EXPECT_TRUE(h.window.ended);
    EXPECT_FALSE(h.trayIcon.present);
    EXPECT_EQ(h.messages.shown.size(), messagesBefore);  // no question asked
    const auto& w = h.settings.writes;
    EXPECT_NE(std::find(w.begin(), w.end(), "AutorunStartUp=False"), w.end());
    EXPECT_NE(std::find(w.begin(), w.end(), "SystemTray=False"), w.end());
}

// What adds an icon the shell refused once it takes icons again, passed on by the program.
struct RetryCase {
    const char* name;
    void (*retry)(MainController&);
    int addsOnceThere;  // adds when it comes again with the icon in place
};

class FailedAddTest : public ::testing::TestWithParam<RetryCase> {};

TEST_P(FailedAddTest, IsRetriedUntilTheShellTakesTheIcon) {
    Harness h;
    h.controller.OnLoad();
    GetParam().retry(h.controller);  // nothing to retry while the window is out
    EXPECT_EQ(h.trayIcon.adds, 0);
    h.trayIcon.failing = true;
    h.controller.Tray().SendToTray();
    GetParam().retry(h.controller);
    EXPECT_FALSE(h.trayIcon.present);
    EXPECT_FALSE(h.controller.Tray().IconShown());
    h.trayIcon.failing = false;
    GetParam().retry(h.controller);
    EXPECT_TRUE(h.trayIcon.present);
    EXPECT_TRUE(h.controller.Tray().IconShown());
    const int adds = h.trayIcon.adds;
    GetParam().retry(h.controller);
    EXPECT_EQ(h.trayIcon.adds, adds + GetParam().addsOnceThere);
}

INSTANTIATE_TEST_SUITE_P(
    Retries, FailedAddTest,
    ::testing::Values(RetryCase{"NextTick", [](MainController& c) { c.OnTick(); }, 0},
                      // A new taskbar has lost every icon: it gets ours again.
                      RetryCase{"TaskbarCreated", [](MainController& c) { c.OnTaskbarCreated(); }, 1}),
    [](const ::testing::TestParamInfo<RetryCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hexalune
