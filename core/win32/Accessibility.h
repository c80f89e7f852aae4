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
// Given a service (a test's own), the names and roles go to it instead of the system's.
class AnnotationBatch {
public:
    explicit AnnotationBatch(IAccPropServices* service = nullptr);
    ~AnnotationBatch();
    AnnotationBatch(const AnnotationBatch&) = delete;
    AnnotationBatch& operator=(const AnnotationBatch&) = delete;
};
}
