// Names and roles that screen readers read for our controls through MSAA.
#pragma once
#include <windows.h>
#include <string>
struct IAccPropServices;
namespace hexalune::win32 {
// Screen readers announce `name` for this control instead of its window text (call again to change it).
void SetAccessibleName(HWND control, const std::wstring& name);
// Screen readers announce this control (a clickable label) as a link.
void MarkAsLink(HWND control);
// For tests: names and roles go to `service` instead of the system's annotation service
// (null: to the system's again). The caller keeps it alive while it is in use.
void UseAnnotationServiceForTests(IAccPropServices* service);
}
