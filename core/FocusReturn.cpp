#include "core/FocusReturn.h"

namespace hexalune {

int MemberToRefocus(const std::vector<GroupMember>& group, int remembered) {
    if (remembered < 0 || remembered >= static_cast<int>(group.size())) return -1;
    const GroupMember& member = group[static_cast<std::size_t>(remembered)];
    if (!member.isOption || member.checked) return remembered;
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (group[i].isOption && group[i].checked) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace hexalune
