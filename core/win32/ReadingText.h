// The read-only text boxes that show a reading's texts, wherever they are.
#pragma once

#include <windows.h>

#include <string>

namespace hexalune::win32 {

// Makes a multi-line, read-only edit control a reading text: its text can be selected for
// reading, but what is copied out of it does not outlive the next mouse event over any
// reading text (see GuardClipboard), and Tab and Enter move on through the window instead
// of staying in the box.
void MakeReadingText(HWND edit);

// Empties the clipboard, but only while it holds text copied out of one of our reading
// texts: that goes, once; what was copied from any other box, or put there by another
// program, stays.
void GuardClipboard(HWND anyOfOurs);

// The text as an edit control wants it: every line break ("\r\n", or a lone "\n" or "\r") is "\r\n".
std::wstring WithEditLineBreaks(const std::wstring& text);

}  // namespace hexalune::win32
