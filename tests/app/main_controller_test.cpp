// The whole main window's behaviour on fakes: start-up, the commands, and quitting.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/ControlIds.h"
#include "fakes/Fakes.h"
#include "links/UpdateReminder.h"
#include "links/WebPages.h"

namespace hexalune {
namespace {

using testing::Harness;
using testing::R;

using Stored = std::map<std::string, std::string>;
const std::wstring kRunCommand = L"\"C:\\Program Files\\Hexalune\\Hexalune.exe\" /STARTUP";

// A run of the program on 2026-12-08 (the fake clock's day) that would draw `hexagram`.
std::unique_ptr<Harness> Prepare(const Stored& stored, int hexagram = 10) {
    auto h = std::make_unique<Harness>();
    h->settings.values = stored;
    h->random.queue = {R(hexagram, 64), R(1, 6), R(3, 6)};
    return h;
}

std::unique_ptr<Harness> Start(const Stored& stored, int hexagram = 10) {
    auto h = Prepare(stored, hexagram);
    h->controller.OnLoad();
    return h;
}

// The values of a program that has run before and holds hexagram 44 with lines "2,5".
Stored Returning(const std::string& date) {
    return {{"Hour", "7"},    {"Minute", "0"},         {"Second", "0"}, {"Date", date},
            {"Card", "44"}, {"ChangingLines", "2,5"}, {ScrambleText("Duration"), ScrambleText("12/8/2026")}};
}

bool Wrote(const Harness& h, const std::string& entry) {
    return std::find(h.settings.writes.begin(), h.settings.writes.end(), entry) != h.settings.writes.end();
}

TEST(StartUp, FirstStartStoresDefaultsDrawsAndShowsTheSettings) {
    const auto h = Start({});
    EXPECT_EQ(h->window.front, View::Settings);
    EXPECT_EQ(h->settings.Get("Hour"), "7");
    EXPECT_EQ(h->settings.Get("Minute"), "0");
    EXPECT_EQ(h->settings.Get("Second"), "0");
    EXPECT_EQ(h->settings.Get("Date"), "12/8/2026");
    EXPECT_EQ(h->settings.Get("Card"), "10");
    EXPECT_EQ(h->settings.Get("ChangingLines"), "3");
    EXPECT_EQ(h->window.hexagram, 10);
    EXPECT_EQ(h->window.ListIndex(PanelList::Hour), 7);
    EXPECT_EQ(UnscrambleText(h->settings.Get(ScrambleText("Duration"))), "12/8/2026");
    EXPECT_TRUE(h->messages.shown.empty());
    EXPECT_TRUE(h->controller.ShouldShowAfterLoad());
}

TEST(StartUp, LaterStartsTheSameDayDrawOnceThenKeepTheReading) {
    const auto first = Start({}, 10);
    const auto second = Start(first->settings.values, 20);
    EXPECT_EQ(second->window.front, View::Hexagram);
    EXPECT_EQ(second->window.hexagram, 20);
    EXPECT_EQ(second->settings.Get("Card"), "20");
    EXPECT_EQ(second->settings.Get("Date"), "12/9/2026");

    const auto third = Start(second->settings.values, 30);
    EXPECT_EQ(third->window.front, View::Hexagram);
    EXPECT_EQ(third->window.hexagram, 20);
    EXPECT_EQ(third->window.changingLines, second->settings.Get("ChangingLines"));
    EXPECT_EQ(third->random.calls, 0);
}

struct StoredDateCase {
    const char* date;
    bool draws;
};

class StoredDateStartTest : public ::testing::TestWithParam<StoredDateCase> {};

TEST_P(StoredDateStartTest, DrawsOnceWhenDueOtherwiseShowsAndWritesBackTheStoredReading) {
    const auto h = Start(Returning(GetParam().date), 33);
    EXPECT_EQ(h->window.readingsShown, 1);
    EXPECT_EQ(h->window.front, View::Hexagram);
    EXPECT_EQ(h->settings.Get("Date"), "12/9/2026");
    const std::string hexagram = GetParam().draws ? "33" : "44";
    EXPECT_EQ(std::to_string(h->window.hexagram), hexagram);
    EXPECT_TRUE(Wrote(*h, "Card=" + hexagram));
    EXPECT_EQ(Wrote(*h, "ChangingLines=2,5"), !GetParam().draws);
}

// A week back, tomorrow (the usual case), and a month ahead.
INSTANTIATE_TEST_SUITE_P(Dates, StoredDateStartTest,
                         ::testing::Values(StoredDateCase{"12/1/2026", true}, StoredDateCase{"12/9/2026", false},
                                           StoredDateCase{"1/8/2027", true}));

struct TrayStartCase {
    const char* name;
    bool registered;
    const char* runAtSysTray;
    const char* commandLine;
    bool toTray;
};

class TrayStartTest : public ::testing::TestWithParam<TrayStartCase> {};

TEST_P(TrayStartTest, GoesToTheTrayOnlyWhenStartedWithWindowsAndAskedTo) {
    const TrayStartCase& c = GetParam();
    const auto h = Prepare(Returning("12/9/2026"));
    h->settings.values["RunAtSysTray"] = c.runAtSysTray;
    h->settings.values["AutorunStartUp"] = c.registered ? "True" : "False";
    if (c.registered) h->runKey.values[L"Hexalune"] = kRunCommand;
    h->process.commandLine = c.commandLine;
    h->controller.OnLoad();
    EXPECT_EQ(h->controller.ShouldShowAfterLoad(), !c.toTray);
    EXPECT_EQ(h->trayIcon.present, c.toTray);
    EXPECT_EQ(h->window.minimized, c.toTray);
    EXPECT_EQ(h->window.runSelected, c.registered);
}

INSTANTIATE_TEST_SUITE_P(
    Starts, TrayStartTest,
    ::testing::Values(TrayStartCase{"WithWindows", true, "True", "/STARTUP", true},
                      TrayStartCase{"AmongOtherArguments", true, "True", "/x /STARTUP", true},
                      TrayStartCase{"LowerCaseArgument", true, "True", "/startup", false},
                      TrayStartCase{"ByHand", true, "True", "", false},
                      TrayStartCase{"TrayNotWanted", true, "False", "/STARTUP", false},
                      TrayStartCase{"TrayWordInLowerCase", true, "true", "/STARTUP", false},
                      TrayStartCase{"NotRegistered", false, "True", "/STARTUP", false}),
    [](const ::testing::TestParamInfo<TrayStartCase>& info) { return std::string(info.param.name); });

class AutorunStartTest : public ::testing::TestWithParam<bool> {};

TEST_P(AutorunStartTest, BringsTheRunValueInLineWithTheStoredOption) {
    const bool run = GetParam();
    const auto h = Prepare(Returning("12/9/2026"));
    h->settings.values["AutorunStartUp"] = run ? "True" : "False";
    if (!run) h->runKey.values[L"Hexalune"] = kRunCommand;  // present but no longer wanted
    h->controller.OnLoad();
    EXPECT_EQ(h->window.runSelected, run);
    EXPECT_EQ(h->runKey.values.count(L"Hexalune") ? h->runKey.values[L"Hexalune"] : L"", run ? kRunCommand : L"");
}

INSTANTIATE_TEST_SUITE_P(RunOrNot, AutorunStartTest, ::testing::Bool());

TEST(StartUp, ARunValueTurnedOffInTaskManagerShowsDontRunAndIsLeftAlone) {
    const auto h = Prepare(Returning("12/9/2026"));
    h->settings.values["AutorunStartUp"] = "True";
    h->runKey.values[L"Hexalune"] = L"old";
    h->runKey.approvals[L"Hexalune"] = {0x03, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    h->controller.OnLoad();
    EXPECT_FALSE(h->window.runSelected);
    EXPECT_EQ(h->runKey.opens, 0);  // the Run value neither written nor removed
    EXPECT_TRUE(h->messages.shown.empty());
}

// A loaded window on screen with the settings in front, ready for commands.
class CommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        h.settings.values = Returning("12/9/2026");
        h.controller.OnLoad();
        h.window.visible = true;
        h.window.front = View::Settings;
        h.settings.writes.clear();
    }
    void ExpectOptionsSaved() {
        EXPECT_TRUE(Wrote(h, "AutorunStartUp=False"));
        EXPECT_TRUE(Wrote(h, "SystemTray=False"));
    }
    void ExpectInTheTray() {
        EXPECT_FALSE(h.window.visible);
        EXPECT_TRUE(h.window.minimized);
        EXPECT_TRUE(h.trayIcon.present);
        EXPECT_EQ(h.window.front, View::Hexagram);
        EXPECT_FALSE(h.window.ended);
    }
    Harness h;
};

TEST_F(CommandTest, AnUnwritableRunKeyIsReportedAndTheProgramGoesOn) {
    h.runKey.openError = 5;
    h.controller.Panel().SelectRunOption(true);
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].text, "Error 5 opening key\r\n");
    EXPECT_TRUE(h.runKey.values.empty());
    EXPECT_TRUE(h.window.trayEnabled);  // the panel carries on as after a success
    EXPECT_TRUE(h.settings.writes.empty());
    EXPECT_TRUE(h.window.visible);
    EXPECT_FALSE(h.window.ended);
}

TEST_F(CommandTest, ClosingFromTheControlMenuOnlyHidesToTheTray) {
    EXPECT_TRUE(h.controller.OnCloseRequested(CloseSource::ControlMenu));
    ExpectInTheTray();
    EXPECT_TRUE(h.settings.writes.empty());
}

class OtherCloseTest : public CommandTest, public ::testing::WithParamInterface<CloseSource> {};

TEST_P(OtherCloseTest, SavesTheStartOptionsAndAllowsTheClose) {
    EXPECT_FALSE(h.controller.OnCloseRequested(GetParam()));
    ExpectOptionsSaved();
}

INSTANTIATE_TEST_SUITE_P(Sources, OtherCloseTest,
                         ::testing::Values(CloseSource::Program, CloseSource::WindowsSession,
                                           CloseSource::TaskManager));

TEST_F(CommandTest, ConfirmQuitAsksAndYesEndsTheProgram) {
    h.controller.Tray().SendToTray();
    h.messages.answers.push_back(MsgAnswer::Yes);
    h.controller.ConfirmQuit();
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].text, "Are You Sure You Want To Quit Hexalune?");
    EXPECT_EQ(h.messages.shown[0].caption, "Hexalune");
    EXPECT_EQ(h.messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(h.messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(h.window.ended);
    EXPECT_FALSE(h.trayIcon.present);
    ExpectOptionsSaved();
}

TEST_F(CommandTest, ConfirmQuitNoSendsTheWindowToTheTrayInstead) {
    h.messages.answers.push_back(MsgAnswer::No);
    h.controller.OnCommand(IDC_EXIT_BUTTON);
    EXPECT_EQ(h.messages.shown.size(), 1u);
    ExpectInTheTray();
    ExpectOptionsSaved();
}

TEST_F(CommandTest, ConfirmQuitNoWithAnImpossibleDateLeavesTheWindow) {
    h.controller.Panel().SelectListIndex(PanelList::Date, 30);  // the 31st
    h.controller.Panel().SelectListIndex(PanelList::Month, 1);  // of February
    h.messages.answers.push_back(MsgAnswer::No);
    h.controller.OnCommand(IDM_EXIT);
    ASSERT_EQ(h.messages.shown.size(), 2u);
    EXPECT_EQ(h.messages.shown[1].text, "Please Enter Correct Date !");
    EXPECT_TRUE(h.window.visible);
    EXPECT_FALSE(h.window.minimized);
    EXPECT_FALSE(h.trayIcon.present);
    EXPECT_EQ(h.window.front, View::Settings);
    EXPECT_TRUE(h.settings.writes.empty());
}

// The program ended from outside while the quit question is open: what was on screen when
// the end began is what stays stored, and nothing of the program runs once the box returns.
class EndedDuringQuestionTest : public CommandTest, public ::testing::WithParamInterface<int> {};

TEST_P(EndedDuringQuestionTest, KeepsTheChosenOptionsAndActsNoMore) {
    h.controller.Panel().SelectRunOption(true);
    h.controller.Panel().SetTrayBox(true);
    h.controller.Tray().SendToTray();  // shown at the display time, the icon still there
    h.window.visible = true;
    const int adds = h.trayIcon.adds;
    h.messages.whileOpen = [this] {
        switch (GetParam()) {
            case 0:  // another program's close, as the task list sends it
                if (!h.controller.OnCloseRequested(CloseSource::TaskManager)) h.controller.CloseProgram();
                break;
            case 1:  // a log-off
                if (!h.controller.OnCloseRequested(CloseSource::WindowsSession)) h.controller.CloseProgram();
                break;
            default:  // the tray menu's Exit
                h.trayMenu.choice = TrayMenuChoice::Exit;
                h.controller.OnTrayIconEvent(kIconRightUp, {});
        }
    };
    h.controller.OnCommand(IDC_EXIT_BUTTON);
    h.controller.OnTick();
    h.controller.OnCommand(IDC_SHOW_HEXAGRAM_BUTTON);

    EXPECT_TRUE(h.window.ended);
    EXPECT_EQ(h.settings.Get("AutorunStartUp"), "True");
    EXPECT_EQ(h.settings.Get("SystemTray"), "True");
    EXPECT_FALSE(Wrote(h, "AutorunStartUp=False"));
    EXPECT_FALSE(h.trayIcon.present);
    EXPECT_EQ(h.trayIcon.adds, adds);
    EXPECT_EQ(h.runKey.values.count(L"Hexalune"), 1u);
}

INSTANTIATE_TEST_SUITE_P(Ways, EndedDuringQuestionTest, ::testing::Values(0, 1, 2));

TEST(StartUp, ALogOffWhileTheReminderIsOpenLeavesTheStoredOptions) {
    Stored stored = Returning("12/9/2026");
    stored[ScrambleText("Duration")] = ScrambleText("11/1/2026");  // the reminder is due
    stored["AutorunStartUp"] = "True";
    stored["SystemTray"] = "True";
    auto h = Prepare(stored);
    h->messages.answers = {MsgAnswer::No};
    h->messages.whileOpen = [&h] {
        if (!h->controller.OnCloseRequested(CloseSource::WindowsSession)) h->controller.CloseProgram();
    };
    h->controller.OnLoad();
    EXPECT_TRUE(h->window.ended);
    EXPECT_EQ(h->settings.Get("AutorunStartUp"), "True");
    EXPECT_EQ(h->settings.Get("SystemTray"), "True");
}

TEST(StartUp, AnEndWhileARunKeyErrorIsOpenStopsTheLoad) {
    Stored stored = Returning("12/7/2026");  // a new reading is due
    stored["AutorunStartUp"] = "True";
    stored["SystemTray"] = "True";
    auto h = Prepare(stored);
    h->runKey.values[L"Hexalune"] = kRunCommand;
    h->runKey.setError = 5;
    h->process.commandLine = "/STARTUP";
    h->messages.whileOpen = [&h] {
        if (!h->controller.OnCloseRequested(CloseSource::WindowsSession)) h->controller.CloseProgram();
    };
    h->controller.OnLoad();
    ASSERT_EQ(h->messages.shown.size(), 1u);
    EXPECT_TRUE(h->window.ended);
    EXPECT_EQ(h->trayIcon.adds, 0);
    EXPECT_EQ(h->settings.Get("Card"), "44");
}

TEST_F(CommandTest, ShowHexagramButtonAndMenuSaveAndSendTheWindowToTheTray) {
    for (int id : {IDC_SHOW_HEXAGRAM_BUTTON, IDM_SHOW_HEXAGRAM}) {
        h.window.visible = true;
        h.window.front = View::Settings;
        h.settings.writes.clear();
        h.controller.OnCommand(id);
        ExpectInTheTray();
        ExpectOptionsSaved();
    }
    EXPECT_TRUE(h.messages.shown.empty());
}

TEST_F(CommandTest, SettingsButtonAndMenuOnlyBringTheSettingsToFront) {
    for (int id : {IDC_SETTINGS_BUTTON, IDM_SETTINGS}) {
        h.window.front = View::Hexagram;
        h.controller.OnCommand(id);
        EXPECT_EQ(h.window.front, View::Settings);
    }
    EXPECT_EQ(h.window.hexagram, 44);
    EXPECT_EQ(h.window.readingsShown, 1);
    EXPECT_TRUE(h.window.visible);
    EXPECT_TRUE(h.settings.writes.empty());
}

struct WebCase {
    int id;
    WebPage page;
};

class WebCommandTest : public CommandTest, public ::testing::WithParamInterface<WebCase> {};

TEST_P(WebCommandTest, OpensItsPageOncePerClick) {
    h.controller.OnCommand(GetParam().id);
    h.controller.OnCommand(GetParam().id);
    const std::string address = WebPageAddress(GetParam().page);
    EXPECT_EQ(h.shell.opened, (std::vector<std::string>{address, address}));
    EXPECT_TRUE(h.window.visible);
}

INSTANTIATE_TEST_SUITE_P(Commands, WebCommandTest,
                         ::testing::Values(WebCase{IDM_ONLINE_HELP, WebPage::OnlineHelp},
                                           WebCase{IDM_VISIT_HOME, WebPage::Home},
                                           WebCase{IDM_CHECK_UPDATE, WebPage::Download},
                                           WebCase{IDM_DONATE, WebPage::Donation},
                                           WebCase{IDC_FORUM_LINK, WebPage::Home},
                                           WebCase{IDC_COBRAND_LINK, WebPage::CoBranding},
                                           WebCase{IDC_FULLBRAND_LINK, WebPage::FullBranding}));

TEST_F(CommandTest, AboutAndTheChangingLinesOpenTheirOwnWindows) {
    EXPECT_TRUE(h.controller.OnCommand(IDM_ABOUT));
    EXPECT_EQ(h.window.opened, (std::vector<WindowId>{WindowId::About}));
    EXPECT_TRUE(h.controller.OnCommand(IDC_CHANGING_LINES));
    EXPECT_EQ(h.window.opened, (std::vector<WindowId>{WindowId::About, WindowId::ChangingLines}));
    EXPECT_TRUE(h.shell.opened.empty());
}

TEST_F(CommandTest, DisplayOptionsDoNothing) {
    h.controller.OnCommand(IDC_DISPLAY_DAILY);
    h.controller.OnCommand(IDC_DISPLAY_HOURLY);
    EXPECT_TRUE(h.settings.writes.empty());
    EXPECT_TRUE(h.shell.opened.empty());
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_TRUE(h.window.visible);
    EXPECT_EQ(h.window.front, View::Settings);
}

TEST(JournalOfReadings, EachReadingIsAddedAtTheMomentItIsDrawn) {
    // The first start, a start the same day (the first start's reading was provisional), a
    // start with nothing due, then the display time: three readings drawn, three entries.
    const auto first = Prepare({}, 10);
    first->calendar.Set(2026, 12, 8, 9, 15, 30);
    first->controller.OnLoad();
    const auto second = Prepare(first->settings.values, 20);
    second->journalFile.bytes = first->journalFile.bytes;
    second->calendar.Set(2026, 12, 8, 9, 20, 0);
    second->controller.OnLoad();
    const auto third = Prepare(second->settings.values, 30);
    third->journalFile.bytes = second->journalFile.bytes;
    third->controller.OnLoad();
    third->calendar.Set(2026, 12, 9, 6, 59, 59);
    third->controller.OnTick();
    third->calendar.Set(2026, 12, 9, 7, 0, 0);
    third->random.queue = {R(61, 64), R(1, 6), R(2, 6)};
    third->controller.OnTick();

    const JournalContents journal = ParseJournalCsv(third->journalFile.bytes.value_or(""));
    EXPECT_FALSE(journal.damaged);
    ASSERT_EQ(journal.entries.size(), 3u);
    EXPECT_EQ(journal.entries[0], EntryForReading({10, "3"}, {{2026, 12, 8}, 9, 15, 30}));
    EXPECT_EQ(journal.entries[1], EntryForReading({20, "3"}, {{2026, 12, 8}, 9, 20, 0}));
    EXPECT_EQ(journal.entries[2], EntryForReading({61, "2"}, {{2026, 12, 9}, 7, 0, 0}));
    EXPECT_EQ(third->controller.ReadingJournal().Entries().front().hexagram, 61);
}

TEST_F(CommandTest, AJournalThatCannotBeSavedIsToldAfterThePresentationAndItsRowWrittenAtTheEnd) {
    h.controller.OnCommand(IDC_SHOW_HEXAGRAM_BUTTON);
    h.journalFile.unreadable = true;  // held open by another program
    h.notifications.busy = true;      // and the user is presenting
    h.calendar.Set(2026, 12, 9, 7, 0, 0);
    h.random.queue = {R(61, 64), R(1, 6), R(2, 6)};
    h.controller.OnTick();
    h.controller.OnTick();
    EXPECT_TRUE(h.messages.shown.empty());
    h.notifications.busy = false;
    h.controller.OnTick();
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_NE(h.messages.shown[0].text.find("cannot save"), std::string::npos);

    h.journalFile.unreadable = false;  // the lock goes, then a log-off
    h.controller.OnCloseRequested(CloseSource::WindowsSession);
    h.controller.CloseProgram();
    EXPECT_EQ(ParseJournalCsv(h.journalFile.bytes.value_or("")).entries.back().hexagram, 61);
}

TEST_F(CommandTest, TheDisplayTimeBringsTheWindowBackFromTheTrayWithTheNewReading) {
    h.controller.OnCommand(IDC_SHOW_HEXAGRAM_BUTTON);
    h.calendar.Set(2026, 12, 9, 6, 59, 59);
    h.controller.OnTick();
    EXPECT_FALSE(h.window.visible);
    h.calendar.Set(2026, 12, 9, 7, 0, 0);
    h.random.queue = {R(61, 64), R(1, 6), R(2, 6)};
    h.controller.OnTick();
    EXPECT_TRUE(h.window.visible);
    EXPECT_FALSE(h.window.minimized);
    EXPECT_EQ(h.window.hexagram, 61);
    EXPECT_EQ(h.settings.Get("Date"), "12/10/2026");
}

}  // namespace
}  // namespace hexalune
