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
// While one lives, the names and roles given on this thread share one annotation service
// instead of asking COM for it each time: making a window's controls gives several.
class AnnotationBatch {
public:
    AnnotationBatch();
    ~AnnotationBatch();
    AnnotationBatch(const AnnotationBatch&) = delete;
    AnnotationBatch& operator=(const AnnotationBatch&) = delete;
};
// For tests: names and roles go to `service` instead of the system's annotation service
// (null: to the system's again). The caller keeps it alive while it is in use.
void UseAnnotationServiceForTests(IAccPropServices* service);
}
