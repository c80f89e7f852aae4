// Where the focus goes back to: never onto an unchecked option, which would click itself.
#include <gtest/gtest.h>

#include "core/FocusReturn.h"

namespace hexalune {
namespace {

constexpr GroupMember kChecked{true, true};
constexpr GroupMember kUnchecked{true, false};
constexpr GroupMember kButton{false, false};

TEST(FocusReturn, GoesBackToTheControlUnlessItIsAnUncheckedOption) {
    EXPECT_EQ(MemberToRefocus({kButton}, 0), 0);
    EXPECT_EQ(MemberToRefocus({kChecked, kUnchecked}, 0), 0);
    // The option was unchecked by the program while it had the focus: its checked partner.
    EXPECT_EQ(MemberToRefocus({kChecked, kUnchecked}, 1), 0);
    EXPECT_EQ(MemberToRefocus({kUnchecked, kUnchecked}, 1), -1);
    EXPECT_EQ(MemberToRefocus({kButton}, 3), -1);
}

}  // namespace
}  // namespace hexalune
