#pragma once
#include <windows.h>
#include "core/Platform.h"
namespace hexalune::win32 {
// Shows the About box modally over `owner` (disabled meanwhile) and returns when it is closed.
void ShowAboutBox(HINSTANCE instance, HWND owner, IShell& shell);
}
