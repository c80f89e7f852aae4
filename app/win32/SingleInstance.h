// One running copy per user session and program name.
#pragma once

#include <windows.h>

#include <string>

#include "core/win32/Handles.h"

namespace hexalune::win32 {

// The name of the object each running copy holds. Windows ignores the case of file names,
// so "hexalune.exe" started from a shortcut and "HEXALUNE.EXE" typed at a prompt are one
// program and get one name.
std::wstring SingleInstanceName(const std::wstring& executableName);

// Held for the life of the process; a second copy finds it already there.
class SingleInstance {
public:
    explicit SingleInstance(const std::wstring& executableName);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    bool AlreadyRunning() const { return alreadyRunning_; }

private:
    KernelObject mutex_;
    bool alreadyRunning_ = false;
};

}  // namespace hexalune::win32
