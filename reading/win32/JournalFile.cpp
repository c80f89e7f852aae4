#include "reading/win32/JournalFile.h"

#include <shlobj.h>

#include <algorithm>

#include "core/win32/Handles.h"
#include "core/win32/Win32Platform.h"

namespace hexalune::win32 {

namespace {

// Larger than any journal the program writes (ten years of the longest notes is some 45 MB).
constexpr LONGLONG kLargestJournal = 256LL * 1024 * 1024;
// Room after what is read for the rows of a day or two, so that adding them to the bytes
// in memory needs no new block (fresh memory is slow to touch under Wine).
constexpr std::size_t kRoomToGrow = 64 * 1024;
// A file another program holds for a moment is tried again this often, this far apart.
constexpr int kTries = 10;
constexpr DWORD kPauseBetweenTries = 100;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// "E:\Journal.csv" is in "E:\", "C:\x\Journal.csv" in "C:\x".
std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return std::wstring();
    return path.substr(0, slash == 2 && path[1] == L':' ? slash + 1 : slash);
}

std::wstring Beside(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

// The backup a replace keeps until it has finished.
std::wstring BackupOf(const std::wstring& path) { return path + L".bak"; }

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Made, or there already: CreateDirectoryW answers access denied, not "already exists", for
// the root of a drive that is not the current one.
bool MakeFolder(FileCalls& calls, const std::wstring& folder) { return calls.MakeFolder(folder) || IsFolder(folder); }

// The errors of a file that another program holds for a moment.
bool Passing(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// Runs `attempt` until it succeeds, or fails with an error that does not pass, or about a
// second has gone; its last error stays.
template <typename Attempt>
bool Retrying(FileCalls& calls, Attempt attempt) {
    for (int tries = 1;; ++tries) {
        if (attempt()) return true;
        const DWORD error = GetLastError();
        if (tries == kTries || !Passing(error)) {
            SetLastError(error);
            return false;
        }
        calls.Pause(kPauseBetweenTries);
    }
}

KernelObject Opened(HANDLE file) { return KernelObject(file == INVALID_HANDLE_VALUE ? nullptr : file); }

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool WriteTemporary(FileCalls& calls, const std::wstring& temp, std::string_view head, std::string_view tail) {
    const KernelObject file = Opened(calls.Open(temp, GENERIC_WRITE, 0, TRUNCATE_EXISTING));
    if (!file) return false;
    if (WriteAll(file.Get(), head) && WriteAll(file.Get(), tail) && FlushFileBuffers(file.Get())) return true;
    const DWORD error = GetLastError();
    SetLastError(error ? error : ERROR_WRITE_FAULT);
    return false;
}

// The file a link at `path` leads to, in the form a user types; `path` itself when it is no
// link or is not there yet.
std::wstring FinalPath(const std::wstring& path) {
    const KernelObject file = Opened(CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return path;
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(file.Get(), final.data(), static_cast<DWORD>(final.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return path;
        if (length < final.size()) {
            final.resize(length);
            break;
        }
        final.resize(length + 1);
    }
    if (final.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + final.substr(8);
    if (final.starts_with(L"\\\\?\\")) return final.substr(4);
    return final;
}

// Puts the flushed `temp` in the place of `path`.
bool PutInPlace(FileCalls& calls, const std::wstring& path, const std::wstring& temp) {
    const std::wstring backup = BackupOf(path);
    if (Retrying(calls, [&] { return calls.Replace(path, temp, backup); })) {
        DeleteFileW(backup.c_str());
        return true;
    }
    const auto moveIn = [&] {
        return MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    };
    switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:             // nothing to replace yet
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT:  // both files kept their names
        case ERROR_UNABLE_TO_REMOVE_REPLACED:
            return Retrying(calls, moveIn);
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
            // The old file is the backup now, and its name is free.
            if (Retrying(calls, moveIn)) {
                DeleteFileW(backup.c_str());
                return true;
            }
            // The old file back under its name; should even that fail, the next start does it.
            MoveFileExW(backup.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH);
            return false;
        default: return false;
    }
}

}  // namespace

BOOL FileCalls::MakeFolder(const std::wstring& folder) { return CreateDirectoryW(folder.c_str(), nullptr); }

HANDLE FileCalls::Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

BOOL FileCalls::Replace(const std::wstring& replaced, const std::wstring& replacement, const std::wstring& backup) {
    return ReplaceFileW(replaced.c_str(), replacement.c_str(), backup.c_str(),
                        REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr);
}

void FileCalls::Pause(DWORD milliseconds) { Sleep(milliseconds); }

FileCalls& SystemFileCalls() {
    static FileCalls calls;
    return calls;
}

std::wstring JournalPath(const std::wstring& appName) {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)) || !appData[0])
        return std::wstring();
    return std::wstring(appData) + L"\\Hexalune\\" + appName + L"\\Journal.csv";
}

bool ReplaceFileContents(const std::wstring& given, std::string_view head, std::string_view tail, bool makeFolder,
                         FileCalls& calls, const wchar_t* tempPrefix) {
    const std::wstring path = FinalPath(given);
    const std::wstring folder = FolderOf(path);
    if (folder.empty()) return false;
    if (makeFolder && !MakeFolder(calls, folder) &&
        !(MakeFolder(calls, FolderOf(folder)) && MakeFolder(calls, folder)))
        return false;

    wchar_t temp[MAX_PATH] = {};
    if (!GetTempFileNameW(folder.c_str(), tempPrefix, 0, temp)) return false;
    if (Retrying(calls, [&] { return WriteTemporary(calls, temp, head, tail); }) && PutInPlace(calls, path, temp))
        return true;
    // The temporary file holds the only copy when the old file has gone from its name.
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) DeleteFileW(temp);
    return false;
}

JournalFile::JournalFile(std::wstring path, FileCalls& calls)
    : path_(std::move(path)), folder_(FolderOf(path_)), calls_(calls) {}

FileRead JournalFile::ReadAll(std::string& bytes, const std::string* sameAs) {
    bytes.clear();
    if (path_.empty()) return FileRead::Missing;
    RestoreIfMissing();
    return Read(path_, bytes, sameAs);
}

FileRead JournalFile::Read(const std::wstring& path, std::string& bytes, const std::string* sameAs) {
    bytes.clear();
    // Shared every way: a spreadsheet may hold it open, and a replace may come at any moment.
    KernelObject file;
    if (!Retrying(calls_, [&] {
            file = Opened(calls_.Open(path, GENERIC_READ, kShareAll, OPEN_EXISTING));
            return static_cast<bool>(file);
        })) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::Missing : FileRead::Failed;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) return FileRead::Failed;
    if (size.QuadPart > kLargestJournal) return FileRead::TooLarge;
    const auto length = static_cast<std::size_t>(size.QuadPart);
    std::size_t done = 0;
    if (sameAs && sameAs->size() == length) {
        // Compared a piece at a time; the bytes are read whole only from where they differ.
        std::string piece(std::min<std::size_t>(length, 1U << 20), '\0');
        while (done < length) {
            DWORD read = 0;
            const DWORD chunk = static_cast<DWORD>(std::min(piece.size(), length - done));
            if (!ReadFile(file.Get(), piece.data(), chunk, &read, nullptr)) return FileRead::Failed;
            if (read == 0 || sameAs->compare(done, read, piece.data(), read) != 0) break;
            done += read;
        }
        if (done == length) return FileRead::Unchanged;
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(done);
        if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN)) return FileRead::Failed;
    }
    if (bytes.capacity() < length) {
        bytes = std::string();  // never the old block and the new one at once
        bytes.reserve(length + kRoomToGrow);
    }
    bytes.resize(length);
    if (done) sameAs->copy(bytes.data(), done);
    while (done < bytes.size()) {
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1U << 20));
        if (!ReadFile(file.Get(), bytes.data() + done, chunk, &read, nullptr)) return FileRead::Failed;
        if (read == 0) break;  // shorter than it was a moment ago
        done += read;
    }
    bytes.resize(done);
    return FileRead::Read;
}

void JournalFile::RestoreIfMissing() {
    if (GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES || GetLastError() != ERROR_FILE_NOT_FOUND)
        return;
    // A replace cut short leaves the old file as the backup, or the new one as a temporary file.
    std::wstring newest;
    FILETIME newestTime{};
    const std::wstring name = path_.substr(path_.find_last_of(L'\\') + 1);
    for (const std::wstring& pattern : {BackupOf(name), std::wstring(L"jnl*.tmp")}) {
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW(Beside(folder_, pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            const bool empty = found.nFileSizeHigh == 0 && found.nFileSizeLow == 0;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || empty) continue;
            if (newest.empty() || CompareFileTime(&found.ftLastWriteTime, &newestTime) > 0) {
                newest = Beside(folder_, found.cFileName);
                newestTime = found.ftLastWriteTime;
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    if (!newest.empty()) MoveFileExW(newest.c_str(), path_.c_str(), MOVEFILE_WRITE_THROUGH);
}

AsideCopy JournalFile::CopyAside(const std::string& fileName) {
    if (path_.empty()) return AsideCopy::Failed;
    const std::wstring copy = Beside(folder_, FromUtf8(fileName));
    if (!CopyFileW(path_.c_str(), copy.c_str(), TRUE))
        return GetLastError() == ERROR_FILE_EXISTS ? AsideCopy::AlreadyKept : AsideCopy::Failed;
    // On the disk before the original is written over.
    const KernelObject file = Opened(CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file && FlushFileBuffers(file.Get())) return AsideCopy::Copied;
    DeleteFileW(copy.c_str());
    return AsideCopy::Failed;
}

FileRead JournalFile::ReadBeside(const std::string& fileName, std::string& bytes) {
    if (path_.empty()) return FileRead::Missing;
    return Read(Beside(folder_, FromUtf8(fileName)), bytes);
}

bool JournalFile::WriteBeside(const std::string& fileName, std::string_view bytes) {
    // Its temporary file is never taken for the journal's.
    return !path_.empty() && ReplaceFileContents(Beside(folder_, FromUtf8(fileName)), bytes, {}, true, calls_, L"hxl");
}

bool JournalFile::RemoveBeside(const std::string& fileName) {
    return !path_.empty() && (DeleteFileW(Beside(folder_, FromUtf8(fileName)).c_str()) ||
                              GetLastError() == ERROR_FILE_NOT_FOUND);
}

std::string JournalFile::PathOf(const std::string& fileName) const {
    return ToUtf8(Beside(folder_, FromUtf8(fileName)));
}

}  // namespace hexalune::win32
