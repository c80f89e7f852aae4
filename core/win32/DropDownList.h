// A drop-down list that may not exist yet. A window can put off making its lists until they
// are first seen (each costs milliseconds to make); until then this keeps what the list was
// given, and fills the control once it is attached. Either way it is read and changed alike.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace hexalune::win32 {

class DropDownList {
public:
    // The control is made: it gets the items and the selection given so far.
    void Attach(HWND combo);
    void Add(const std::vector<std::wstring>& items);
    int Count() const { return static_cast<int>(items_.size()); }
    // The selected item, -1 for none.
    int Selected() const;
    // As a list box does, an index past the items selects nothing.
    void Select(int index);
    // The item's text, empty for an index out of range.
    std::wstring Item(int index) const;

private:
    HWND combo_ = nullptr;
    std::vector<std::wstring> items_;
    int selected_ = -1;
};

}  // namespace hexalune::win32
