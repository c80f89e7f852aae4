// The Run value that starts the program with Windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/Fakes.h"
#include "settings/StartupRegistration.h"

namespace hexalune {
namespace {

using testing::FakeMessageBox;
using testing::FakeRunKey;

struct CommandCase {
    std::wstring folder;
    std::wstring name;
    std::wstring expected;
};

class BuildRunCommandTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(BuildRunCommandTest, QuotesThePathJoinedWithOneBackslash) {
    EXPECT_EQ(BuildRunCommand(GetParam().folder, GetParam().name), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, BuildRunCommandTest,
    ::testing::Values(
        CommandCase{L"C:\\Program Files\\Hexalune", L"Hexalune", L"\"C:\\Program Files\\Hexalune\\Hexalune.exe\" /STARTUP"},
        CommandCase{L"C:\\", L"Hexalune", L"\"C:\\Hexalune.exe\" /STARTUP"},
        CommandCase{L"D:\\Tools\\", L"Renamed", L"\"D:\\Tools\\Renamed.exe\" /STARTUP"},
        CommandCase{L"\\\\server\\share\\apps", L"Hexalune", L"\"\\\\server\\share\\apps\\Hexalune.exe\" /STARTUP"}));

class StartupRegistrationTest : public ::testing::Test {
protected:
    FakeRunKey key;
    FakeMessageBox messages;
    StartupRegistration registration{key, messages};
    const std::wstring folder = L"C:\\Program Files\\Hexalune";
};

TEST_F(StartupRegistrationTest, RegisteringWritesTheRunCommandAndClosesTheKey) {
    registration.SetStartupRegistration(L"Hexalune", folder, true);
    ASSERT_TRUE(key.values.count(L"Hexalune"));
    EXPECT_EQ(key.values[L"Hexalune"], L"\"C:\\Program Files\\Hexalune\\Hexalune.exe\" /STARTUP");
    EXPECT_FALSE(key.open);
    EXPECT_EQ(key.closes, 1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartupRegistrationTest, UnregisteringRemovesOnlyThatValue) {
    key.values[L"Hexalune"] = L"old";
    key.values[L"Other"] = L"other.exe";
    registration.SetStartupRegistration(L"Hexalune", folder, false);
    EXPECT_FALSE(key.values.count(L"Hexalune"));
    EXPECT_TRUE(key.values.count(L"Other"));
    EXPECT_EQ(key.closes, 1);
}

TEST_F(StartupRegistrationTest, RemovingAMissingValueIsSilent) {
    registration.SetStartupRegistration(L"Hexalune", folder, false);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(key.values.empty());
    EXPECT_EQ(key.closes, 1);
}

class OpenFailureTest : public StartupRegistrationTest, public ::testing::WithParamInterface<bool> {};

TEST_P(OpenFailureTest, ReportsTheErrorAndChangesNothing) {
    key.values[L"Hexalune"] = L"before";
    key.openError = 5;
    registration.SetStartupRegistration(L"Hexalune", folder, GetParam());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Error 5 opening key\r\n");
    EXPECT_EQ(messages.shown[0].caption, "Hexalune");
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    ASSERT_EQ(key.values.size(), 1u);
    EXPECT_EQ(key.values[L"Hexalune"], L"before");
}

INSTANTIATE_TEST_SUITE_P(RegisterOrNot, OpenFailureTest, ::testing::Bool());

TEST_F(StartupRegistrationTest, SetFailureIsReportedAndTheKeyStillClosed) {
    key.setError = 5;
    registration.SetStartupRegistration(L"Hexalune", folder, true);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Error 5 setting key\r\n");
    EXPECT_EQ(messages.shown[0].caption, "Hexalune");
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_FALSE(key.open);
    EXPECT_EQ(key.closes, 1);
}

TEST_F(StartupRegistrationTest, IsRegisteredForAnyValueOfThatName) {
    EXPECT_FALSE(registration.IsStartupRegistered(L"Hexalune"));
    key.values[L"Hexalune"] = L"some other program entirely";
    EXPECT_TRUE(registration.IsStartupRegistered(L"Hexalune"));
    EXPECT_FALSE(registration.IsStartupRegistered(L"Renamed"));
}

TEST(TurnedOffByApproval, OnlyAWholeRecordStartingThreeOrSevenIsOff) {
    auto record = [](unsigned char state, std::size_t size = 12) {  // the state, then the time
        std::vector<unsigned char> bytes(size, 0x5A);
        bytes[0] = state;
        return bytes;
    };
    EXPECT_FALSE(TurnedOffByApproval(record(0x02)) || TurnedOffByApproval(record(0x06)));
    EXPECT_TRUE(TurnedOffByApproval(record(0x03)) && TurnedOffByApproval(record(0x07)));
    EXPECT_FALSE(TurnedOffByApproval({}) || TurnedOffByApproval(record(0x03, 11)));  // missing, short
}

TEST_F(StartupRegistrationTest, RegisteringWhileTurnedOffWritesTheValueAndSaysWhereToTurnItOn) {
    key.approvals[L"Hexalune"] = {0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    registration.SetStartupRegistration(L"Hexalune", folder, true);
    EXPECT_TRUE(key.values.count(L"Hexalune"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, std::string(kTurnedOffInWindowsMessage));
}

}  // namespace
}  // namespace hexalune
