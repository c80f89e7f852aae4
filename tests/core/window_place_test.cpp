// A window's remembered place: kept while it can be reached, else brought back onto a monitor.
#include <gtest/gtest.h>

#include <vector>

#include "core/WindowPlace.h"

namespace hexalune {
namespace {

// Two monitors side by side, the second one higher up, each less its taskbar.
const std::vector<ScreenRect> kAreas = {{0, 0, 1024, 728}, {1024, -200, 2304, 784}};

TEST(WindowPlace, StaysWhereItCanBeReached) {
    const ScreenRect onSecond{1500, 100, 2100, 600};
    EXPECT_EQ(KeepWithinReach(onSecond, kAreas), onSecond);
    const ScreenRect halfOff{900, 300, 1700, 900};  // across both, its foot below the first
    EXPECT_EQ(KeepWithinReach(halfOff, kAreas), halfOff);
}

TEST(WindowPlace, OffEveryMonitorComesBackOntoTheNearest) {
    // The second monitor was unplugged: the place lies beyond the first one's right edge.
    const std::vector<ScreenRect> first = {kAreas[0]};
    EXPECT_EQ(KeepWithinReach({1500, 100, 2100, 600}, first), (ScreenRect{424, 100, 1024, 600}));
    // Above both: onto the higher one, whole, no larger than it.
    EXPECT_EQ(KeepWithinReach({1200, -2000, 2800, -100}, kAreas), (ScreenRect{1024, -200, 2304, 784}));
    // Only its foot on the monitor, the caption above it: out of reach.
    EXPECT_EQ(KeepWithinReach({100, -300, 500, 100}, first), (ScreenRect{100, 0, 500, 400}));
}

}  // namespace
}  // namespace hexalune
