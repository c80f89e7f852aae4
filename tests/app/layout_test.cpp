// The main window's control table: containers, sizes, the shared rectangles and the hidden controls.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/ControlIds.h"
#include "app/MainLayout.h"

namespace hexalune {
namespace {

struct Rect {
    int left, top, right, bottom;
};

const ControlSpec* FindControl(int id) {
    for (const ControlSpec& item : MainLayout()) {
        if (item.id == id) return &item;
    }
    return nullptr;
}

Rect RectOf(const ControlSpec& c) { return {c.left, c.top, c.left + c.width, c.top + c.height}; }

// The control's rectangle in the window's client area.
Rect AbsoluteRect(const ControlSpec& c) {
    Rect r = RectOf(c);
    for (const ControlSpec* p = FindControl(c.parent); p; p = FindControl(p->parent)) {
        r.left += p->left;
        r.right += p->left;
        r.top += p->top;
        r.bottom += p->top;
    }
    return r;
}

bool IsHidden(const ControlSpec& c) {
    for (const ControlSpec* p = &c; p; p = FindControl(p->parent)) {
        if (p->id == IDC_DISPLAY_SESSION_FRAME || p->id == IDC_TRAY_HOOK)
            return true;
    }
    return false;
}

bool IsContainer(ControlKind kind) { return kind == ControlKind::Frame || kind == ControlKind::Panel; }

TEST(MainLayout, IdsAreUniqueAndEveryContainerComesBeforeItsControls) {
    std::set<int> seen;
    for (const ControlSpec& c : MainLayout()) {
        if (c.parent != 0) {
            const ControlSpec* parent = FindControl(c.parent);
            ASSERT_NE(parent, nullptr) << "control " << c.id;
            EXPECT_TRUE(IsContainer(parent->kind)) << "control " << c.id << " in " << c.parent;
            EXPECT_TRUE(seen.count(c.parent)) << "control " << c.id << " precedes its container";
        }
        EXPECT_TRUE(seen.insert(c.id).second) << "duplicate id " << c.id;
        EXPECT_EQ(FindControl(c.id), &c);
    }
}

TEST(MainLayout, ControlsFitInsideTheirContainers) {
    for (const ControlSpec& c : MainLayout()) {
        EXPECT_GT(c.width, 0) << c.id;
        EXPECT_GT(c.height, 0) << c.id;
        if (c.parent == 0) continue;
        const ControlSpec& parent = *FindControl(c.parent);
        EXPECT_GE(c.left, 0) << c.id;
        EXPECT_GE(c.top, 0) << c.id;
        EXPECT_LE(c.left + c.width, parent.width) << c.id;
        EXPECT_LE(c.top + c.height, parent.height) << c.id;
    }
}

TEST(MainLayout, VisibleControlsLieWithinTheClientArea) {
    int visible = 0;
    for (const ControlSpec& c : MainLayout()) {
        if (IsHidden(c)) continue;
        ++visible;
        const Rect r = AbsoluteRect(c);
        EXPECT_GE(r.left, 0) << c.id;
        EXPECT_GE(r.top, 0) << c.id;
        EXPECT_LE(r.right, kClientWidthTwips) << c.id;
        EXPECT_LE(r.bottom, kClientHeightTwips) << c.id;
    }
    // Only the display options' frame with its two options and the hook are out of sight.
    EXPECT_EQ(visible + 4, static_cast<int>(MainLayout().size()));
}

TEST(MainLayout, HiddenControlsSitBelowTheClientArea) {
    for (int id : {IDC_DISPLAY_SESSION_FRAME, IDC_DISPLAY_DAILY, IDC_DISPLAY_HOURLY, IDC_TRAY_HOOK}) {
        const ControlSpec* c = FindControl(id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_GE(AbsoluteRect(*c).top, 8040) << id;
        EXPECT_GT(AbsoluteRect(*c).top, kClientHeightTwips) << id;
    }
}

TEST(MainLayout, TheTwoViewsAndTheTwoBrandLinksShareOneRectangle) {
    for (auto [a, b] : {std::pair{IDC_READING_VIEW, IDC_SETTINGS_VIEW}, std::pair{IDC_COBRAND_LINK, IDC_FULLBRAND_LINK}}) {
        const ControlSpec* first = FindControl(a);
        const ControlSpec* second = FindControl(b);
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(first->parent, second->parent);
        EXPECT_EQ(first->left, second->left);
        EXPECT_EQ(first->top, second->top);
        EXPECT_EQ(first->width, second->width);
        EXPECT_EQ(first->height, second->height);
    }
}

struct PixelCase {
    int twips, dpi, pixels;
};

class TwipsToPixelsTest : public ::testing::TestWithParam<PixelCase> {};

TEST_P(TwipsToPixelsTest, RoundsToTheNearestPixel) {
    EXPECT_EQ(TwipsToPixels(GetParam().twips, GetParam().dpi), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TwipsToPixelsTest,
                         ::testing::Values(PixelCase{7230, 96, 482}, PixelCase{7845, 96, 523},
                                           PixelCase{7230, 144, 723}, PixelCase{1440, 120, 120},
                                           PixelCase{7, 96, 0}, PixelCase{8, 96, 1}));

}  // namespace
}  // namespace hexalune
