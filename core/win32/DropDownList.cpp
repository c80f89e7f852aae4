#include "core/win32/DropDownList.h"

namespace hexalune::win32 {

namespace {

void AddToCombo(HWND combo, const std::vector<std::wstring>& items) {
    // Filled in one go, without redrawing the list after each item.
    SendMessageW(combo, WM_SETREDRAW, FALSE, 0);
    SendMessageW(combo, CB_INITSTORAGE, items.size(), items.size() * 8 * sizeof(wchar_t));
    for (const std::wstring& item : items) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageW(combo, WM_SETREDRAW, TRUE, 0);
}

}  // namespace

void DropDownList::Attach(HWND combo) {
    combo_ = combo;
    if (!combo_) return;
    AddToCombo(combo_, items_);
    if (selected_ >= 0) SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(selected_), 0);
}

void DropDownList::Add(const std::vector<std::wstring>& items) {
    items_.insert(items_.end(), items.begin(), items.end());
    if (combo_) AddToCombo(combo_, items);
}

int DropDownList::Selected() const {
    // Once the control exists, the user may have chosen in it.
    if (!combo_) return selected_;
    const LRESULT index = SendMessageW(combo_, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void DropDownList::Select(int index) {
    selected_ = index >= 0 && index < Count() ? index : -1;
    if (combo_) SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(selected_), 0);
}

std::wstring DropDownList::Item(int index) const {
    return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)] : std::wstring();
}

}  // namespace hexalune::win32
