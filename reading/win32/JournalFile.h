// The journal file on disk: %APPDATA%\Hexalune\<program name>\Journal.csv, replaced whole
// through a flushed temporary file in the same folder.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "reading/Journal.h"

namespace hexalune::win32 {

// %APPDATA%\Hexalune\<appName>\Journal.csv (the same per-name rule as the settings key);
// empty when the system names no application-data folder.
std::wstring JournalPath(const std::wstring& appName);

// The calls on the file system that another program can make fail, for a moment (a scanner
// or a backup tool holding the file) or for good. Each is the Win32 call of its name, with
// its last error; a test puts failures in their way.
class FileCalls {
public:
    virtual ~FileCalls() = default;
    virtual BOOL MakeFolder(const std::wstring& folder);  // CreateDirectoryW
    // CreateFileW; INVALID_HANDLE_VALUE when it fails.
    virtual HANDLE Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition);
    // ReplaceFileW, ignoring merge and ACL errors.
    virtual BOOL Replace(const std::wstring& replaced, const std::wstring& replacement, const std::wstring& backup);
    virtual void Pause(DWORD milliseconds);  // Sleep
};
// The calls as Windows makes them.
FileCalls& SystemFileCalls();

// Puts `head` and `tail` after it at `path` so that a crash at any moment leaves the old file or the new one:
// they go to a new file in the same folder, flushed to disk, which then takes the old one's
// place (ReplaceFileW with a backup, which keeps its permissions; MoveFileExW where there is
// nothing to replace or ReplaceFileW cannot finish). A file held by another program for a
// moment is tried again for about a second. A path that is a link is written through to the
// file it leads to, and the link stays. With `makeFolder`, the folder and its parent are made
// when missing. The temporary file's name starts with `tempPrefix` ("jnl*.tmp" is a journal's,
// which a start may restore); none is left whatever happens. False when the file was not replaced.
bool ReplaceFileContents(const std::wstring& path, std::string_view head, std::string_view tail = {},
                         bool makeFolder = false, FileCalls& calls = SystemFileCalls(),
                         const wchar_t* tempPrefix = L"jnl");

class JournalFile final : public IJournalFile {
public:
    explicit JournalFile(std::wstring path, FileCalls& calls = SystemFileCalls());

    // A missing file with the backup of a replace, or its temporary file, beside it is first
    // restored from the newest of them.
    FileRead ReadAll(std::string& bytes, const std::string* sameAs = nullptr) override;
    bool ReplaceAll(std::string_view head, std::string_view tail) override {
        return ReplaceFileContents(path_, head, tail, true, calls_);
    }
    AsideCopy CopyAside(const std::string& fileName) override;
    FileRead ReadBeside(const std::string& fileName, std::string& bytes) override;
    bool WriteBeside(const std::string& fileName, std::string_view bytes) override;
    bool RemoveBeside(const std::string& fileName) override;
    std::string PathOf(const std::string& fileName) const override;

    const std::wstring& Path() const { return path_; }

private:
    FileRead Read(const std::wstring& path, std::string& bytes, const std::string* sameAs = nullptr);
    void RestoreIfMissing();

    std::wstring path_;
    std::wstring folder_;
    FileCalls& calls_;
};

}  // namespace hexalune::win32
