// Names and roles that screen readers read for our controls through MSAA.
#pragma once
#include <windows.h>
#include <string>
namespace hexalune::win32 {
// Screen readers announce `name` for this control instead of its window text (call again to change it).
void SetAccessibleName(HWND control, const std::wstring& name);
// Screen readers announce this control (a clickable label) as a link.
void MarkAsLink(HWND control);
}
