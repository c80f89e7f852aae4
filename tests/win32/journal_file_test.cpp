// The journal file on a real file system (under Wine): where it lives, and that a write that
// cannot be made leaves the old file whole.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/win32/Handles.h"
#include "reading/win32/JournalFile.h"

namespace hexalune::win32 {
namespace {

constexpr wchar_t kAppName[] = L"HexaluneJournalTest";

std::wstring AppDataFolder() {
    wchar_t buffer[MAX_PATH] = {};
    GetEnvironmentVariableW(L"APPDATA", buffer, MAX_PATH);
    return buffer;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::string Contents(JournalFile& file) {
    std::string bytes;
    EXPECT_EQ(file.ReadAll(bytes), FileRead::Read);
    return bytes;
}

class JournalFileTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        for (const std::wstring& name : FilesIn(folder)) DeleteFileW((folder + L"\\" + name).c_str());
        RemoveDirectoryW(folder.c_str());
    }
    const std::wstring folder = AppDataFolder() + L"\\Hexalune\\" + kAppName;
    const std::wstring path = JournalPath(kAppName);
    JournalFile file{path};
};

TEST_F(JournalFileTest, LivesInTheRoamingApplicationDataUnderTheProgramsName) {
    ASSERT_FALSE(AppDataFolder().empty());
    EXPECT_EQ(_wcsicmp(path.c_str(), (folder + L"\\Journal.csv").c_str()), 0);
    RemoveDirectoryW(folder.c_str());
    std::string bytes = "left over";
    EXPECT_EQ(file.ReadAll(bytes), FileRead::Missing);
    EXPECT_TRUE(bytes.empty());

    // The first write makes the program's folder; the file holds exactly what was written.
    const std::string text = "Drawn at\r\n\xE6\x97\xA5\r\n";
    ASSERT_TRUE(file.ReplaceAll(text, {}));
    EXPECT_EQ(Contents(file), text);
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"Journal.csv"});
}

TEST_F(JournalFileTest, AFileThatCannotBeReplacedStaysWholeAndNoTemporaryFileIsLeft) {
    ASSERT_TRUE(file.ReplaceAll("old journal", "\r\n"));
    {
        // A spreadsheet holds it open, letting others read but not delete or write.
        const KernelObject locked(
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locked);
        EXPECT_FALSE(file.ReplaceAll(std::string(100000, 'n'), {}));
        EXPECT_EQ(Contents(file), "old journal\r\n");
        EXPECT_TRUE(file.CopyAside("Journal-20261208-070003.bad.csv"));
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(file.ReplaceAll("new journal\r\n", {}));
    EXPECT_EQ(Contents(file), "old journal\r\n");
    // The journal and its copy; none of the temporary files ("jnl*.tmp") left behind. (Wine's
    // own ReplaceFileW leaves a file of its own, "rf*.tmp", after a sharing violation.)
    for (const std::wstring& name : FilesIn(folder)) EXPECT_NE(_wcsnicmp(name.c_str(), L"jnl", 3), 0) << name.c_str();

    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(file.ReplaceAll("new journal\r\n", {}));
    EXPECT_EQ(Contents(file), "new journal\r\n");
    EXPECT_FALSE(file.CopyAside("Journal-20261208-070003.bad.csv"));  // an earlier copy is never written over
    JournalFile aside(folder + L"\\Journal-20261208-070003.bad.csv");
    EXPECT_EQ(Contents(aside), "old journal\r\n");
}

}  // namespace
}  // namespace hexalune::win32
