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

std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool MakeFolder(const std::wstring& folder) {
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

KernelObject OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    const HANDLE file =
        CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return KernelObject(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

std::wstring JournalPath(const std::wstring& appName) {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)) || !appData[0])
        return std::wstring();
    return std::wstring(appData) + L"\\Hexalune\\" + appName + L"\\Journal.csv";
}

bool ReplaceFileContents(const std::wstring& path, std::string_view head, std::string_view tail) {
    const std::wstring folder = FolderOf(path);
    if (folder.empty()) return false;
    if (!MakeFolder(folder) && !(MakeFolder(FolderOf(folder)) && MakeFolder(folder))) return false;

    wchar_t temp[MAX_PATH] = {};
    if (!GetTempFileNameW(folder.c_str(), L"jnl", 0, temp)) return false;
    bool written = false;
    {
        const KernelObject file = OpenFile(temp, GENERIC_WRITE, 0, TRUNCATE_EXISTING);
        written = file && WriteAll(file.Get(), head) && WriteAll(file.Get(), tail) && FlushFileBuffers(file.Get());
    }
    if (written) {
        if (ReplaceFileW(path.c_str(), temp, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                         nullptr, nullptr))
            return true;
        const DWORD error = GetLastError();
        // Without a backup name, these two leave the old file gone and the new one under its
        // temporary name, which then must not be deleted: it is all there is.
        const bool oldGone = error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
        if (oldGone || error == ERROR_FILE_NOT_FOUND || error == ERROR_UNABLE_TO_REMOVE_REPLACED) {
            if (MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
            if (oldGone && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
        }
    }
    DeleteFileW(temp);
    return false;
}

JournalFile::JournalFile(std::wstring path) : path_(std::move(path)), folder_(FolderOf(path_)) {}

FileRead JournalFile::ReadAll(std::string& bytes) {
    bytes.clear();
    if (path_.empty()) return FileRead::Missing;
    // Shared every way: a spreadsheet may hold it open, and a replace may come at any moment.
    const KernelObject file =
        OpenFile(path_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::Missing : FileRead::Failed;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > kLargestJournal) return FileRead::Failed;
    bytes.reserve(static_cast<std::size_t>(size.QuadPart) + kRoomToGrow);
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
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

bool JournalFile::CopyAside(const std::string& fileName) {
    if (path_.empty()) return false;
    return CopyFileW(path_.c_str(), (folder_ + L"\\" + FromAnsi(fileName)).c_str(), TRUE);
}

std::string JournalFile::PathOf(const std::string& fileName) const {
    return ToAnsi(folder_ + L"\\" + FromAnsi(fileName));
}

}  // namespace hexalune::win32
