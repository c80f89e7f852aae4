// Where the keyboard focus goes when a window becomes active again.
#pragma once

#include <vector>

namespace hexalune {

// One control of the group (the controls between two WS_GROUP marks) that held the focus.
struct GroupMember {
    bool isOption = false;  // an option (radio) button
    bool checked = false;
};

// Which member of `group` gets the focus back, given the one that had it (`remembered`), or
// -1 for none (the window keeps the focus itself). On Windows an option button that
// receives the focus while unchecked clicks itself, so an option gets the focus back only
// when it is the checked one; otherwise the checked option of its group does.
int MemberToRefocus(const std::vector<GroupMember>& group, int remembered);

}  // namespace hexalune
