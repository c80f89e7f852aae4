#include "app/win32/SingleInstance.h"

namespace hexalune::win32 {

std::wstring SingleInstanceName(const std::wstring& executableName) {
    std::wstring folded = executableName;
    // Upper case as the file system compares names, whatever the user's language.
    if (!folded.empty()) CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return L"Local\\Hexalune.SingleInstance." + folded;
}

SingleInstance::SingleInstance(const std::wstring& executableName) {
    mutex_.Reset(CreateMutexW(nullptr, FALSE, SingleInstanceName(executableName).c_str()));
    const DWORD error = GetLastError();
    // A copy running as administrator made an object this one may not open: it runs too.
    alreadyRunning_ = mutex_ ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
}

}  // namespace hexalune::win32
