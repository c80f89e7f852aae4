// The settings view: its lists, the start options, loading and saving them, and the date check.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/Fakes.h"
#include "settings/SettingsPanel.h"

namespace hexalune {
namespace {

using testing::FakeMainWindow;
using testing::FakeMessageBox;
using testing::FakeProcessInfo;
using testing::FakeRunKey;
using testing::FakeSettings;

const std::wstring kRunCommand = L"\"C:\\Program Files\\Hexalune\\Hexalune.exe\" /STARTUP";

class SettingsPanelTest : public ::testing::Test {
protected:
    void SetUp() override { panel.FillLists(); }

    // The run option as the program left it, with the Run value to match.
    void StartWithRun(bool run, bool trayChecked = false) {
        window.runSelected = run;
        window.trayEnabled = run;
        window.trayChecked = trayChecked;
        if (run) runKey.values[L"Hexalune"] = kRunCommand;
    }

    FakeMainWindow window;
    FakeSettings settings;
    FakeRunKey runKey;
    FakeMessageBox messages;
    FakeProcessInfo process;
    StartupRegistration registration{runKey, messages};
    SettingsPanel panel{window, settings, registration, process, messages};
};

std::vector<std::string> Numbers(int first, int last) {
    std::vector<std::string> items;
    for (int n = first; n <= last; ++n) items.push_back(std::to_string(n));
    return items;
}

TEST(ListItems, HoldTheDatesAndTimesInOrder) {
    EXPECT_EQ(ListItems(PanelList::Date), Numbers(1, 31));
    EXPECT_EQ(ListItems(PanelList::Month),
              (std::vector<std::string>{"January", "February", "March", "April", "May", "June", "July", "August",
                                        "September", "October", "November", "December"}));
    EXPECT_EQ(ListItems(PanelList::Year).size(), 150u);
    EXPECT_EQ(ListItems(PanelList::Year), Numbers(1901, 2050));
    EXPECT_EQ(ListItems(PanelList::Hour), Numbers(0, 23));
    EXPECT_EQ(ListItems(PanelList::Minute), Numbers(0, 59));
    EXPECT_EQ(ListItems(PanelList::Second), Numbers(0, 59));
}

TEST_F(SettingsPanelTest, FillingSelectsTheFirstDateWithoutStoringAnything) {
    EXPECT_EQ(window.ListCount(PanelList::Year), 150);
    for (PanelList list : {PanelList::Date, PanelList::Month, PanelList::Year})
        EXPECT_EQ(window.ListIndex(list), 0);
    for (PanelList list : {PanelList::Hour, PanelList::Minute, PanelList::Second})
        EXPECT_EQ(window.ListIndex(list), -1);
    EXPECT_TRUE(settings.writes.empty());
}

struct TimeListCase {
    PanelList list;
    const char* key;
};

class TimeListTest : public SettingsPanelTest, public ::testing::WithParamInterface<TimeListCase> {};

TEST_P(TimeListTest, SelectingStoresTheItemAtOnceAndOnlyOnChange) {
    panel.SelectListIndex(GetParam().list, 7);
    EXPECT_EQ(settings.writes, std::vector<std::string>{std::string(GetParam().key) + "=7"});
    panel.SelectListIndex(GetParam().list, 7);
    EXPECT_EQ(settings.writes.size(), 1u);
    panel.SelectListIndex(GetParam().list, 0);
    EXPECT_EQ(settings.Get(GetParam().key), "0");
}

INSTANTIATE_TEST_SUITE_P(Lists, TimeListTest,
                         ::testing::Values(TimeListCase{PanelList::Hour, "Hour"},
                                           TimeListCase{PanelList::Minute, "Minute"},
                                           TimeListCase{PanelList::Second, "Second"}));

TEST_F(SettingsPanelTest, TrayBoxStoresOnlyRealChanges) {
    panel.SetTrayBox(false);
    EXPECT_TRUE(settings.writes.empty());
    panel.SetTrayBox(true);
    panel.SetTrayBox(true);
    panel.SetTrayBox(false);
    EXPECT_EQ(settings.writes, (std::vector<std::string>{"RunAtSysTray=True", "RunAtSysTray=False"}));
    EXPECT_FALSE(window.trayChecked);
}

TEST_F(SettingsPanelTest, RunOptionRegistersAndEnablesTheTrayBoxKeepingItsCheck) {
    window.trayChecked = true;
    panel.SelectRunOption(true);
    EXPECT_TRUE(window.runSelected);
    ASSERT_TRUE(runKey.values.count(L"Hexalune"));
    EXPECT_EQ(runKey.values[L"Hexalune"], kRunCommand);
    EXPECT_TRUE(window.trayEnabled);
    EXPECT_TRUE(window.trayChecked);
    EXPECT_TRUE(settings.writes.empty());
}

class DontRunTest : public SettingsPanelTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DontRunTest, UnregistersDisablesAndClearsTheTrayBox) {
    const bool wasChecked = GetParam();
    StartWithRun(true, wasChecked);
    panel.SelectRunOption(false);
    EXPECT_FALSE(window.runSelected);
    EXPECT_FALSE(runKey.values.count(L"Hexalune"));
    EXPECT_FALSE(window.trayEnabled);
    EXPECT_FALSE(window.trayChecked);
    // The box's own handler runs only when it really changes.
    EXPECT_EQ(settings.writes, wasChecked ? std::vector<std::string>{"RunAtSysTray=False"} : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(TrayBoxChecked, DontRunTest, ::testing::Bool());

TEST_F(SettingsPanelTest, ReselectingTheCurrentRunOptionTouchesNothing) {
    StartWithRun(true, true);
    runKey.values[L"Hexalune"] = L"left as it is";
    panel.SelectRunOption(true);
    EXPECT_EQ(runKey.opens, 0);
    EXPECT_EQ(runKey.values[L"Hexalune"], L"left as it is");
}

TEST_F(SettingsPanelTest, SavingWritesRunThenTray) {
    StartWithRun(true, true);
    panel.SaveStartupOptions();
    StartWithRun(false, false);
    panel.SaveStartupOptions();
    EXPECT_EQ(settings.writes, (std::vector<std::string>{"AutorunStartUp=True", "SystemTray=True",
                                                         "AutorunStartUp=False", "SystemTray=False"}));
}

struct TrayTextCase {
    const char* stored;  // nullptr: no value
    bool checked;
};

class LoadTrayTest : public SettingsPanelTest, public ::testing::WithParamInterface<TrayTextCase> {};

TEST_P(LoadTrayTest, OnlyExactlyTrueChecksTheBox) {
    StartWithRun(true, false);
    settings.values["AutorunStartUp"] = "True";
    if (GetParam().stored) settings.values["SystemTray"] = GetParam().stored;
    panel.LoadSettingsPanel();
    EXPECT_EQ(window.trayChecked, GetParam().checked);
}

INSTANTIATE_TEST_SUITE_P(Texts, LoadTrayTest,
                         ::testing::Values(TrayTextCase{"True", true}, TrayTextCase{"true", false},
                                           TrayTextCase{"TRUE", false}, TrayTextCase{"1", false},
                                           TrayTextCase{"False", false}, TrayTextCase{nullptr, false}));

struct AutorunCase {
    const char* stored;  // nullptr: no value
    bool run;
};

class LoadAutorunTest : public SettingsPanelTest, public ::testing::WithParamInterface<AutorunCase> {};

TEST_P(LoadAutorunTest, SelectsTheRunOptionAndBringsTheRunValueInLine) {
    StartWithRun(!GetParam().run);  // the opposite, so that loading has to change it
    if (GetParam().stored) settings.values["AutorunStartUp"] = GetParam().stored;
    panel.LoadSettingsPanel();
    EXPECT_EQ(window.runSelected, GetParam().run);
    EXPECT_EQ(runKey.values.count(L"Hexalune") == 1, GetParam().run);
    EXPECT_EQ(window.trayEnabled, GetParam().run);
}

INSTANTIATE_TEST_SUITE_P(Texts, LoadAutorunTest,
                         ::testing::Values(AutorunCase{"True", true}, AutorunCase{"true", true},
                                           AutorunCase{"TRUE", true}, AutorunCase{"1", true},
                                           AutorunCase{"-1", true}, AutorunCase{"False", false},
                                           AutorunCase{"0", false}, AutorunCase{"maybe", false},
                                           AutorunCase{"", false}, AutorunCase{nullptr, false}));

TEST_F(SettingsPanelTest, LoadingSelectsTheStoredDisplayTime) {
    settings.values = {{"Hour", "19"}, {"Minute", "5"}, {"Second", "59"}};
    panel.LoadSettingsPanel();
    EXPECT_EQ(window.ListIndex(PanelList::Hour), 19);
    EXPECT_EQ(window.ListIndex(PanelList::Minute), 5);
    EXPECT_EQ(window.ListIndex(PanelList::Second), 59);
}

TEST_F(SettingsPanelTest, LoadingLeavesAListAloneWhenNoItemMatches) {
    panel.SelectListIndex(PanelList::Hour, 3);
    panel.SelectListIndex(PanelList::Minute, 4);
    settings.values = {{"Hour", "07"}, {"Minute", "60"}, {"Second", "x"}};
    settings.writes.clear();
    panel.LoadSettingsPanel();
    EXPECT_EQ(window.ListIndex(PanelList::Hour), 3);
    EXPECT_EQ(window.ListIndex(PanelList::Minute), 4);
    EXPECT_EQ(window.ListIndex(PanelList::Second), -1);
    EXPECT_EQ(settings.Get("Hour"), "07");
    EXPECT_TRUE(settings.writes.empty());
}

TEST_F(SettingsPanelTest, LoadingSetsTheTrayBoxThenTheRunOptionThenTheTimes) {
    // Run switched off after the box was checked: the run option's handler clears the box again.
    StartWithRun(true, false);
    settings.values = {{"SystemTray", "True"}, {"AutorunStartUp", "False"}, {"Hour", "8"}};
    panel.LoadSettingsPanel();
    EXPECT_EQ(settings.writes,
              (std::vector<std::string>{"RunAtSysTray=True", "RunAtSysTray=False", "Hour=8"}));
    EXPECT_FALSE(window.trayChecked);
    EXPECT_FALSE(window.trayEnabled);
}

struct DateCase {
    int day;         // 1..31
    int monthIndex;  // 0 = January
    bool ok;
};

class CheckDateTest : public SettingsPanelTest, public ::testing::WithParamInterface<DateCase> {};

TEST_P(CheckDateTest, RefusesDaysTheMonthDoesNotHave) {
    panel.SelectListIndex(PanelList::Date, GetParam().day - 1);
    panel.SelectListIndex(PanelList::Month, GetParam().monthIndex);
    EXPECT_EQ(panel.CheckDateSelection(), GetParam().ok);
    if (GetParam().ok) {
        EXPECT_TRUE(messages.shown.empty());
    } else {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "Please Enter Correct Date !");
        EXPECT_EQ(messages.shown[0].caption, "Hexalune");
        EXPECT_EQ(messages.shown[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::Information);
    }
}

// 1 January first: the selection the filled lists start with.
INSTANTIATE_TEST_SUITE_P(
    Dates, CheckDateTest,
    ::testing::Values(DateCase{1, 0, true}, DateCase{29, 1, true}, DateCase{30, 1, false}, DateCase{31, 1, false},
                      DateCase{31, 0, true}, DateCase{31, 2, true}, DateCase{31, 3, false}, DateCase{30, 3, true},
                      DateCase{31, 4, true}, DateCase{31, 5, false}, DateCase{31, 6, true}, DateCase{31, 7, true},
                      DateCase{31, 8, false}, DateCase{31, 9, true}, DateCase{31, 10, false}, DateCase{31, 11, true}));

}  // namespace
}  // namespace hexalune
