// "Hexalune Journal": every reading drawn, newest first, with the reading in full and the
// reader's own note for the chosen one.
#pragma once

#include <windows.h>

#include "reading/Journal.h"

namespace hexalune::win32 {

// Shows the window modally, owned by `owner`, and returns when it is closed. One at a time:
// while it is open, another call brings it to the front.
void ShowJournalWindow(HINSTANCE instance, HWND owner, Journal& journal);

// When the window is open, it lists the journal anew once the current message is handled
// (a reading has just been drawn).
void RefreshJournalWindow();

}  // namespace hexalune::win32
