// The main window's controls read and used as a user (or a screen reader) would.
#include "driver.h"

#include <ole2.h>
#include <oleacc.h>

#include <cwchar>

namespace driver {

// What a link control shows: its text without the link markup.
std::wstring WithoutLinkMarkup(std::wstring text) {
    for (const wchar_t* tag : {L"<a>", L"</a>"}) {
        for (size_t at = text.find(tag); at != std::wstring::npos; at = text.find(tag)) text.erase(at, wcslen(tag));
    }
    return text;
}

int Text(const Args& args) {
    HWND control = RequireControl(ControlIdArg(args, 1));
    std::wstring text = TextOf(control);
    if (ClassOf(control) == L"SysLink") text = WithoutLinkMarkup(text);
    PrintLine(UnixLines(text));
    return 0;
}

int Click(const Args& args) {
    const int id = ControlIdArg(args, 1);
    HWND control = RequireControl(id);
    if (ClassOf(control) == L"Button") {
        Post(control, BM_CLICK, 0, 0);
    } else {
        // A label that acts as a link: the click reaches its container as STN_CLICKED.
        Post(GetParent(control), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(control));
    }
    PrintLine(L"clicked " + std::to_wstring(id));
    return 0;
}

int Menu(const Args& args) {
    const int id = ControlIdArg(args, 1);
    Post(RequireMain(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    PrintLine(L"menu " + std::to_wstring(id));
    return 0;
}

// As a user's choice in the list: the selection changes, then the owner hears CBN_SELCHANGE.
int Select(const Args& args) {
    const int id = ControlIdArg(args, 1);
    if (args.size() < 3) Fail(L"usage: select <ctrlId> <index>");
    const int index = ToInt(args[2]);
    HWND combo = RequireControl(id);
    if (Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == CB_ERR && index != -1)
        Fail(L"index " + args[2] + L" is not in the list");
    Post(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    PrintLine(L"selected " + args[2]);
    return 0;
}

namespace {

std::wstring ComboItem(HWND combo, int index) {
    const LRESULT length = Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

}  // namespace

// Prints "<index> <text>", or "-1" when nothing is selected.
int Combo(const Args& args) {
    HWND combo = RequireControl(ControlIdArg(args, 1));
    const int index = static_cast<int>(Send(combo, CB_GETCURSEL, 0, 0));
    PrintLine(index < 0 ? L"-1" : std::to_wstring(index) + L" " + ComboItem(combo, index));
    return 0;
}

// Every entry of the list, one a line.
int ComboItems(const Args& args) {
    HWND combo = RequireControl(ControlIdArg(args, 1));
    const int count = static_cast<int>(Send(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) PrintLine(ComboItem(combo, i));
    return 0;
}

int Checked(const Args& args) {
    const LRESULT state = Send(RequireControl(ControlIdArg(args, 1)), BM_GETCHECK, 0, 0);
    PrintLine(state == BST_CHECKED ? L"1" : L"0");
    return 0;
}

int Enabled(const Args& args) {
    HWND hwnd = args.size() > 1 && args[1] == L"main" ? RequireMain() : RequireControl(ControlIdArg(args, 1));
    PrintLine(IsWindowEnabled(hwnd) ? L"1" : L"0");
    return 0;
}

int AccDescribe(const Args& args) {
    HWND control = RequireControl(ControlIdArg(args, 1));
    CoInitialize(nullptr);
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))) ||
        !object)
        Fail(L"no accessible object");
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    object->get_accName(self, &name);
    VARIANT role;
    VariantInit(&role);
    object->get_accRole(self, &role);
    PrintLine(name ? std::wstring(name, SysStringLen(name)) : L"<no name>");
    PrintLine(role.vt == VT_I4 && role.lVal == ROLE_SYSTEM_LINK ? L"link" : L"role " + std::to_wstring(role.vt == VT_I4 ? role.lVal : -1));
    SysFreeString(name);
    object->Release();
    return 0;
}

// "group" and "tabstop" where the control has those styles, one a line, or "-".
int Style(const Args& args) {
    const LONG_PTR style = GetWindowLongPtrW(RequireControl(ControlIdArg(args, 1)), GWL_STYLE);
    std::wstring flags;
    if (style & WS_GROUP) flags += L"group\n";
    if (style & WS_TABSTOP) flags += L"tabstop\n";
    PrintLine(flags.empty() ? L"-" : flags.substr(0, flags.size() - 1));
    return 0;
}

// What a button sends its owner when Windows clicks it without the mouse: a radio button
// that gets the keyboard focus while unchecked sends BN_CLICKED (Wine's button does not).
int ButtonClicked(const Args& args) {
    const int id = ControlIdArg(args, 1);
    HWND button = RequireControl(id);
    Post(GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    PrintLine(L"BN_CLICKED " + std::to_wstring(id));
    return 0;
}

}  // namespace driver
