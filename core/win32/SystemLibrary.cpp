#include "core/win32/SystemLibrary.h"

#include <string>

namespace hexalune::win32 {

Library LoadSystemLibrary(const wchar_t* name) {
    Library library(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    // A Windows 7 without its loader update knows no search flags and refuses the call as a
    // whole: there the DLL is named by its full path, and what it imports is looked for
    // beside it first.
    if (!library && GetLastError() == ERROR_INVALID_PARAMETER) {
        wchar_t folder[MAX_PATH];
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return library;
        const std::wstring path = std::wstring(folder, length) + L'\\' + name;
        library.Reset(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    }
    return library;
}

void LoadLibrariesFromSystemOnly() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault = ModuleFunction<SetDefaultDllDirectoriesFn>(GetModuleHandleW(L"kernel32.dll"),
                                                                       "SetDefaultDllDirectories");
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace hexalune::win32
