#include <gtest/gtest.h>

#include "windows/window_placement.h"

namespace vorn {
namespace {

ScreenInfo MakeScreen(int left, int top, int width, int height) {
  ScreenInfo s;
  s.left = s.availableLeft = left;
  s.top = s.availableTop = top;
  s.width = s.availableWidth = width;
  s.height = s.availableHeight = height;
  s.depth = 24;
  return s;
}

const std::vector<ScreenInfo> kOneScreen = {MakeScreen(0, 0, 1280, 1024)};

TEST(PlacementTest, OffsetPlacementMovesByFourAndHundred) {
  Rect r = MakeRect(0, 0, 300, 200);
  PositionRect(&r, 0, nullptr, kOneScreen);
  EXPECT_TRUE(EqualRect(r, MakeRect(4, 100, 304, 300)));
}

TEST(PlacementTest, MainScreenPlacementCentresAndPutsAThirdAbove) {
  Rect r = MakeRect(0, 0, 280, 424);
  PositionRect(&r, 2, nullptr, kOneScreen);
  EXPECT_EQ(r.left, 500);
  EXPECT_EQ(r.top, 200);  // (1024 - 424) / 3
  EXPECT_EQ(r.Width(), 280);
  EXPECT_EQ(r.Height(), 424);
  Rect half = MakeRect(0, 0, 280, 424);
  PositionRect(&half, 5, nullptr, kOneScreen);
  EXPECT_EQ(half.top, 300);  // (1024 - 424) / 2
}

TEST(PlacementTest, ParentPlacementWithoutReferenceActsAsMainScreen) {
  Rect a = MakeRect(0, 0, 280, 424), b = a;
  PositionRect(&a, 1, nullptr, kOneScreen);
  PositionRect(&b, 2, nullptr, kOneScreen);
  EXPECT_TRUE(EqualRect(a, b));
}

TEST(PlacementTest, ParentPlacementCentresOverTheReference) {
  Rect reference = MakeRect(100, 100, 700, 500);
  Rect r = MakeRect(0, 0, 200, 100);
  PositionRect(&r, 1, &reference, kOneScreen);
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.top, 130);
}

TEST(PlacementTest, StaggerFollowsTheReferenceUntilTheScreenEnds) {
  Rect reference = MakeRect(100, 100, 500, 400);
  Rect r = MakeRect(0, 0, 400, 300);
  PositionRect(&r, 4, &reference, kOneScreen);
  EXPECT_EQ(r.left, 120);
  EXPECT_EQ(r.top, 120);

  Rect nearEdge = MakeRect(900, 700, 1270, 1000);
  Rect s = MakeRect(0, 0, 370, 300);
  PositionRect(&s, 4, &nearEdge, kOneScreen);
  EXPECT_EQ(s.left, 10);
  EXPECT_EQ(s.top, 50);
}

TEST(PlacementTest, RectanglePastTheEdgesMovesBackKeepingItsSize) {
  Rect r = MakeRect(1200, 900, 1400, 1100);
  PlaceRectOnScreens(&r, 0, kOneScreen);
  EXPECT_EQ(r.right, 1278);
  EXPECT_EQ(r.bottom, 1022);
  EXPECT_EQ(r.Width(), 200);
  EXPECT_EQ(r.Height(), 200);

  Rect left = MakeRect(-50, 10, 150, 110);
  PlaceRectOnScreens(&left, 0, kOneScreen);
  EXPECT_EQ(left.left, 2);
  EXPECT_EQ(left.top, 25);  // below the top margin for a title bar
}

TEST(PlacementTest, ModeOneShrinksWhatIsLargerThanTheScreen) {
  Rect r = MakeRect(0, 0, 2000, 1500);
  PlaceRectOnScreens(&r, 1, kOneScreen);
  EXPECT_EQ(r.right, 1278);
  EXPECT_EQ(r.bottom, 1022);
  EXPECT_GE(r.top, 25);
}

TEST(PlacementTest, ModesTwoAndThreeClampOneEdge) {
  Rect r = MakeRect(10, 900, 110, 1100);
  PlaceRectOnScreens(&r, 2, kOneScreen);
  EXPECT_EQ(r.bottom, 1022);
  EXPECT_EQ(r.top, 900);
  Rect t = MakeRect(10, -5, 110, 100);
  PlaceRectOnScreens(&t, 3, kOneScreen);
  EXPECT_EQ(t.top, 2);
}

TEST(PlacementTest, BestScreenIsTheLargestOverlapElseTheNearest) {
  std::vector<ScreenInfo> two = {MakeScreen(0, 0, 1000, 800), MakeScreen(1000, 0, 1000, 800)};
  EXPECT_EQ(BestScreenForRect(MakeRect(900, 10, 1300, 100), two), 1);
  EXPECT_EQ(BestScreenForRect(MakeRect(700, 10, 1100, 100), two), 0);
  EXPECT_EQ(BestScreenForRect(MakeRect(3000, 0, 3100, 100), two), 1);
  EXPECT_EQ(BestScreenForRect(MakeRect(0, 0, 10, 10), {}), 0);
}

}  // namespace
}  // namespace vorn
