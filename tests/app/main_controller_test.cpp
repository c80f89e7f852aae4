#include <gtest/gtest.h>
#include "fakes/Fakes.h"
TEST(Smoke, Harness){ hexalune::testing::Harness h; h.controller.Form_Load(); EXPECT_EQ(h.settings.Get("Hour"),"7"); }
