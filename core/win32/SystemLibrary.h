// DLLs beyond the few that Windows protects (its known DLLs) are loaded at run time, from
// the system folder only. The loader looks for a DLL that the exe imports in the exe's own
// folder first, so an import of any other DLL would run a file of that name lying beside
// the exe (a Downloads folder, say) in our process.
#pragma once

#include <windows.h>

#include "core/win32/Handles.h"

namespace hexalune::win32 {

// Loads the DLL `name` (L"oleacc.dll") from the system folder and nowhere else; owns
// nothing when it is not there. Take its functions with ModuleFunction.
Library LoadSystemLibrary(const wchar_t* name);

// From now on the process loads DLLs named without a folder from the system folder only,
// where the system lets a program say so (Windows 8, and Windows 7 with its update).
void LoadLibrariesFromSystemOnly();

}  // namespace hexalune::win32
