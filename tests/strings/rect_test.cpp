#include "strings/rect.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace vorn {
namespace {

Rect Make(int left, int top, int right, int bottom) {
  Rect r;
  SetRect(r, left, top, right, bottom);
  return r;
}

TEST(RectTest, SetRectTakesLeftTopRightBottom) {
  Rect r = Make(1, 2, 3, 4);
  EXPECT_EQ(r.left, 1);
  EXPECT_EQ(r.top, 2);
  EXPECT_EQ(r.right, 3);
  EXPECT_EQ(r.bottom, 4);
  EXPECT_EQ(offsetof(Rect, top), 0u);  // stored top, left, bottom, right
  EXPECT_EQ(offsetof(Rect, right), 6u);
}

TEST(RectTest, OffsetMovesHorizontallyByDhAndVerticallyByDv) {
  Rect r = Make(10, 20, 30, 40);
  OffsetRect(r, 5, -7);
  EXPECT_TRUE(EqualRect(r, Make(15, 13, 35, 33)));
  OffsetRect(r, 40000, 0);  // clamped, not wrapped to negative
  EXPECT_EQ(r.right, INT16_MAX);
  EXPECT_GE(r.right, r.left);
}

TEST(RectTest, InsetShrinksGrowsAndEmptiesToZero) {
  Rect r = Make(10, 20, 50, 40);
  InsetRect(r, 5, 2);  // left and right by dh, top and bottom by dv
  EXPECT_TRUE(EqualRect(r, Make(15, 22, 45, 38)));
  InsetRect(r, -3, -3);
  EXPECT_TRUE(EqualRect(r, Make(12, 19, 48, 41)));
  InsetRect(r, 18, 0);  // width exactly 0
  EXPECT_TRUE(EqualRect(r, Rect{0, 0, 0, 0}));
  Rect tall = Make(0, 0, 100, 10);
  InsetRect(tall, 0, 6);
  EXPECT_TRUE(EqualRect(tall, Rect{0, 0, 0, 0}));
}

TEST(RectTest, PointInRectIncludesTopLeftOnly) {
  Rect r = Make(10, 20, 30, 40);
  EXPECT_TRUE(PointInRect({20, 10}, r));
  EXPECT_TRUE(PointInRect({39, 29}, r));
  EXPECT_FALSE(PointInRect({40, 15}, r));
  EXPECT_FALSE(PointInRect({25, 30}, r));
  EXPECT_FALSE(PointInRect({19, 15}, r));
  EXPECT_FALSE(PointInRect({25, 100000}, r));
}

TEST(RectTest, IntersectRect) {
  Rect a = Make(0, 0, 20, 20), b = Make(10, 5, 30, 15), out{1, 1, 1, 1};
  EXPECT_TRUE(IntersectRect(a, b, out));
  EXPECT_TRUE(EqualRect(out, Make(10, 5, 20, 15)));
  EXPECT_TRUE(IntersectRect(a, b, a));  // result into an argument
  EXPECT_TRUE(EqualRect(a, Make(10, 5, 20, 15)));
  Rect touching = Make(20, 5, 40, 15);
  out = Make(1, 1, 2, 2);
  EXPECT_FALSE(IntersectRect(Make(0, 0, 20, 20), touching, out));
  EXPECT_TRUE(EqualRect(out, Rect{0, 0, 0, 0}));
}

TEST(RectTest, SizeAndContainment) {
  Rect big = Make(0, 0, 100, 50), small = Make(10, 10, 20, 20), wide = Make(0, 0, 200, 10);
  EXPECT_TRUE(RectIsSmallerThanRect(small, big));
  EXPECT_FALSE(RectIsSmallerThanRect(wide, big));  // shorter but not narrower
  EXPECT_FALSE(RectIsSmallerThanRect(big, big));
  EXPECT_TRUE(RectIsInsideRect(small, big));
  EXPECT_TRUE(RectIsInsideRect(big, big));
  EXPECT_FALSE(RectIsInsideRect(wide, big));
}

}  // namespace
}  // namespace vorn
