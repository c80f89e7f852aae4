// What the program's own dialog boxes share: a frame made in memory, whose controls are
// made when it opens, and a place in the middle of its owner's screen.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace hexalune::win32 {

// A modal frame with a caption and a close box, and no controls: DialogBoxIndirectParamW
// takes its data().
std::vector<WORD> EmptyDialogTemplate(const std::wstring& caption);

// The dialog's outer size around a client area given in twips, at a DPI.
SIZE DialogFrameSize(HWND dialog, int clientWidthTwips, int clientHeightTwips, int dpi);

// Sizes the dialog to `frame` and puts it in the middle of its owner's monitor.
void CentreOnOwnersMonitor(HWND dialog, SIZE frame);

// After a change of DPI: the dialog takes `frame` at the place the system suggests.
void MoveToSuggested(HWND dialog, const RECT& suggested, SIZE frame);

// After a change of the system's metrics: the dialog takes `frame` where it is.
void ResizeInPlace(HWND dialog, SIZE frame);

}  // namespace hexalune::win32
