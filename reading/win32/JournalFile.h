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

// Puts `head` and `tail` after it at `path` so that a crash at any moment leaves the old file or the new one:
// they go to a new file in the same folder, flushed to disk, which then takes the old one's
// place (ReplaceFileW, which keeps its permissions; MoveFileExW where there is nothing to
// replace or ReplaceFileW cannot finish). Makes the folder and its parent when missing.
// The temporary file is gone again whatever happens; false when the file was not replaced.
bool ReplaceFileContents(const std::wstring& path, std::string_view head, std::string_view tail = {});

class JournalFile final : public IJournalFile {
public:
    explicit JournalFile(std::wstring path);

    FileRead ReadAll(std::string& bytes) override;
    bool ReplaceAll(std::string_view head, std::string_view tail) override {
        return ReplaceFileContents(path_, head, tail);
    }
    bool CopyAside(const std::string& fileName) override;
    std::string PathOf(const std::string& fileName) const override;

    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
    std::wstring folder_;
};

}  // namespace hexalune::win32
