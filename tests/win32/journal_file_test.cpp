// The journal file on a real file system (under Wine): where it lives, and that a write that
// cannot be made leaves the old file whole.
#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
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

// The file system as it is, with failures put in its way on cue, and no time lost between tries.
class CuedCalls : public FileCalls {
public:
    BOOL MakeFolder(const std::wstring& folder) override {
        if (!denyFolders) return FileCalls::MakeFolder(folder);
        SetLastError(ERROR_ACCESS_DENIED);  // as Windows answers for the root of another drive
        return FALSE;
    }
    BOOL Replace(const std::wstring& replaced, const std::wstring& replacement, const std::wstring& backup) override {
        if (replaceErrors.empty()) return FileCalls::Replace(replaced, replacement, backup);
        const DWORD error = replaceErrors.front();
        replaceErrors.pop_front();
        // As ReplaceFileW leaves it: the old file under the backup name, the new one not moved in.
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) MoveFileW(replaced.c_str(), backup.c_str());
        SetLastError(error);
        return FALSE;
    }
    void Pause(DWORD) override { ++pauses; }

    bool denyFolders = false;
    std::deque<DWORD> replaceErrors;
    int pauses = 0;
};

class JournalFileTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        for (const std::wstring& name : FilesIn(folder)) DeleteFileW((folder + L"\\" + name).c_str());
        RemoveDirectoryW(folder.c_str());
    }
    const std::wstring folder = AppDataFolder() + L"\\Hexalune\\" + kAppName;
    const std::wstring path = JournalPath(kAppName);
    CuedCalls calls;
    JournalFile file{path, calls};
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
        EXPECT_EQ(file.CopyAside("Journal-20261208-070003.bad.csv"), AsideCopy::Copied);
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
    // An earlier copy is never written over.
    EXPECT_EQ(file.CopyAside("Journal-20261208-070003.bad.csv"), AsideCopy::AlreadyKept);
    JournalFile aside(folder + L"\\Journal-20261208-070003.bad.csv");
    EXPECT_EQ(Contents(aside), "old journal\r\n");
}

TEST_F(JournalFileTest, AReplaceHeldUpForAMomentOrCutShortStillLeavesTheNewFileAndNoBackup) {
    ASSERT_TRUE(file.ReplaceAll("first\r\n", {}));
    // A scanner holds the new file for two tries.
    calls.replaceErrors = {ERROR_SHARING_VIOLATION, ERROR_SHARING_VIOLATION};
    EXPECT_TRUE(file.ReplaceAll("second\r\n", {}));
    EXPECT_EQ(calls.pauses, 2);
    EXPECT_EQ(Contents(file), "second\r\n");
    // Both files kept their names.
    calls.replaceErrors = {ERROR_UNABLE_TO_MOVE_REPLACEMENT};
    EXPECT_TRUE(file.ReplaceAll("third\r\n", {}));
    EXPECT_EQ(Contents(file), "third\r\n");
    // The old file went to the backup's name, the new one stayed where it was.
    calls.replaceErrors = {ERROR_UNABLE_TO_MOVE_REPLACEMENT_2};
    EXPECT_TRUE(file.ReplaceAll("fourth\r\n", {}));
    EXPECT_EQ(Contents(file), "fourth\r\n");
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"Journal.csv"});
}

TEST_F(JournalFileTest, AMissingJournalIsRestoredFromTheNewestBackupOrTemporaryFileBesideIt) {
    ASSERT_TRUE(file.WriteBeside("jnl1A2B.tmp", "older\r\n"));
    ASSERT_TRUE(file.WriteBeside("Journal.csv.bak", "newer\r\n"));
    const KernelObject older(CreateFileW((folder + L"\\jnl1A2B.tmp").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    const FILETIME longAgo{0, 0x01000000};
    ASSERT_TRUE(SetFileTime(older.Get(), nullptr, nullptr, &longAgo));
    EXPECT_EQ(Contents(file), "newer\r\n");
    EXPECT_EQ(GetFileAttributesW((folder + L"\\Journal.csv.bak").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(JournalFileTest, AFolderThatIsThereCountsAsMadeWhateverTheSystemAnswers) {
    ASSERT_TRUE(file.ReplaceAll("first\r\n", {}));
    calls.denyFolders = true;
    EXPECT_TRUE(file.ReplaceAll("second\r\n", {}));
    // An export to the root of a drive makes no folder at all.
    const std::wstring root = L"C:\\HexaluneExportTest.csv";
    EXPECT_TRUE(ReplaceFileContents(root, "exported\r\n", {}, false, calls));
    JournalFile exported(root);
    EXPECT_EQ(Contents(exported), "exported\r\n");
    DeleteFileW(root.c_str());
}

}  // namespace
}  // namespace hexalune::win32
