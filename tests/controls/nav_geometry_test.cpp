// Where the navigation pane puts its buttons and caption.
#include <gtest/gtest.h>

#include "datacontrols/nav_geometry.h"

namespace vorn {
namespace {

TEST(NavGeometryTest, ButtonsAreSquareButFiveFitAndNoneIsWiderThan35) {
  struct Case {
    int16_t width, height;
    int32_t button;
  };
  for (const Case& c : {Case{100, 30, 20}, Case{300, 30, 30}, Case{300, 50, 35}}) {
    const Rect bounds = MakeRect(10, 5, 10 + c.width, 5 + c.height);
    EXPECT_EQ(NavButtonWidth(bounds), c.button) << c.width << "x" << c.height;
    EXPECT_EQ(NavButtonRect(bounds, kNavPrevious).left, 10 + c.button);
    EXPECT_EQ(NavButtonRect(bounds, kNavNext).right, 10 + c.width - c.button);
    EXPECT_EQ(NavButtonRect(bounds, kNavLast).right, 10 + c.width);
  }
  const Rect bounds = MakeRect(0, 0, 300, 30);
  EXPECT_EQ(NavCaptionX(bounds, 0, 50), 65);
  EXPECT_EQ(NavCaptionX(bounds, 1, 50), 65 + (300 - 60 - 5 - 65 - 50) / 2);
  EXPECT_EQ(NavCaptionX(bounds, 2, 50), 300 - 60 - 50 - 5);
  EXPECT_EQ(NavCaptionX(bounds, 2, 500), 65) << "a wide caption never starts left of the box";
}

}  // namespace
}  // namespace vorn
