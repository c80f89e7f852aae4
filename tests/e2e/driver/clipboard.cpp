// The clipboard, as another program sees it.
#include "driver.h"

#include <cstring>

namespace driver {

// Puts text on the clipboard as another program would (no owner window of the program's).
int ClipSet(const Args& args) {
    const std::wstring& text = NameArg(args, 1, L"the text");
    if (!OpenClipboard(nullptr)) Fail(L"the clipboard is busy");
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (memory) {
        memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
    return 0;
}

// The clipboard's text, or <empty>.
int ClipGet(const Args&) {
    std::wstring text = L"<empty>";
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = chars;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    PrintLine(UnixLines(text));
    return 0;
}

// The clipboard's sequence number, which every change of the clipboard moves on.
int ClipSeq(const Args&) {
    PrintLine(std::to_wstring(GetClipboardSequenceNumber()));
    return 0;
}

// Copies the whole text of a control with the keyboard's copy (select all, WM_COPY).
int CopyText(const Args& args) {
    HWND control = RequireControl(ControlIdArg(args, 1));
    SendMessageW(control, EM_SETSEL, 0, -1);
    SendMessageW(control, WM_COPY, 0, 0);
    return 0;
}

}  // namespace driver
