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

// Sizes the dialog to `frame` and puts it in the middle of its owner's monitor.
void CentreOnOwnersMonitor(HWND dialog, SIZE frame);

}  // namespace hexalune::win32
