// The arithmetic behind progress bars, lines and panel pages, without any widget.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "controls/bevel_button_logic.h"
#include "controls/panel_logic.h"
#include "controls/progress_logic.h"
#include "controls/shape_logic.h"

namespace vorn {
namespace {

TEST(ProgressLogicTest, FractionIsValueOverMaximumKeptBetweenZeroAndOne) {
  EXPECT_DOUBLE_EQ(ProgressFraction(25, 100), 0.25);
  EXPECT_DOUBLE_EQ(ProgressFraction(150, 100), 1.0) << "a value past the end shows a full bar";
  EXPECT_DOUBLE_EQ(ProgressFraction(-3, 100), 0.0) << "a negative value shows an empty bar";
  EXPECT_DOUBLE_EQ(ProgressFraction(INT_MAX, INT_MAX - 1), 1.0);
  EXPECT_TRUE(ProgressIsIndeterminate(0));
  EXPECT_TRUE(ProgressIsIndeterminate(-5));
  EXPECT_FALSE(ProgressIsIndeterminate(1));
}

TEST(ProgressLogicTest, DrawnBarStaysInsideTheTroughWithoutOverflow) {
  EXPECT_EQ(ProgressBarFillWidth(204, 50, 100), 100);
  EXPECT_EQ(ProgressBarFillWidth(204, 1, 3), 66) << "integer division";
  EXPECT_EQ(ProgressBarFillWidth(204, 0, 100), 0);
  EXPECT_EQ(ProgressBarFillWidth(204, 500, 100), 200);
  EXPECT_EQ(ProgressBarFillWidth(204, -20, 100), 0);
  // (width - 4) * value would overflow 32 bits here.
  EXPECT_EQ(ProgressBarFillWidth(1004, 40000000, 50000000), 800);
  EXPECT_EQ(ProgressBarFillWidth(204, 5, 0), 0);
  EXPECT_EQ(ProgressBarFillWidth(3, 5, 10), 0) << "no room inside the edges";
}

TEST(LineLogicTest, ClicksWithinSqrt35OfTheLineHit) {
  // Horizontal line: 5 pixels off is 25, 6 pixels off is 36.
  EXPECT_EQ(LineDistanceSquared(10, 20, 110, 20, 50, 25), 25);
  EXPECT_TRUE(LineHit(10, 20, 110, 20, 50, 25));
  EXPECT_EQ(LineDistanceSquared(10, 20, 110, 20, 50, 26), 36);
  EXPECT_FALSE(LineHit(10, 20, 110, 20, 50, 26));
  EXPECT_FALSE(LineHit(10, 20, 110, 20, 50, 14));
  // Diagonal: (3, -3) from a point on y = x is 18 away squared.
  EXPECT_EQ(LineDistanceSquared(0, 0, 100, 100, 53, 47), 18);
  // The distance is from the infinite line through both ends.
  EXPECT_TRUE(LineHit(10, 20, 110, 20, 500, 21));
}

TEST(LineLogicTest, ALineOfNoLengthTakesEveryClick) {
  EXPECT_EQ(LineDistanceSquared(40, 40, 40, 40, 400, 3), 0);
  EXPECT_TRUE(LineHit(40, 40, 40, 40, 41, 39));
}

TEST(LineLogicTest, BoundsFollowTheEndPointsAndTheBorder) {
  Rect box = LineEndPointBox(100, 50, 20, 80);
  EXPECT_EQ(box.left, 20);
  EXPECT_EQ(box.top, 50);
  EXPECT_EQ(box.right, 101);
  EXPECT_EQ(box.bottom, 81);
  // Width 3: one pixel above and left, two below and right.
  Rect grown = LineBoundsWithBorder(30, 50, 20, 80, 3);
  EXPECT_EQ(grown.left, 19);
  EXPECT_EQ(grown.top, 49);
  EXPECT_EQ(grown.right, 32);
  EXPECT_EQ(grown.bottom, 82);
  Rect thin = LineBoundsWithBorder(5, 5, 9, 5, 1);
  EXPECT_EQ(thin.left, 5);
  EXPECT_EQ(thin.right, 10);
  // Coordinates beyond the 16-bit range are pinned, not wrapped.
  EXPECT_EQ(LineEndPointBox(0, 0, 70000, 10).right, INT16_MAX);
}

std::vector<std::string> Tabs(std::string_view text) {
  std::vector<std::string> out;
  for (std::string_view piece : SplitTabDefinition(text)) out.emplace_back(piece);
  return out;
}

TEST(PanelLogicTest, TabDefinitionGivesOneTabPerLine) {
  EXPECT_EQ(Tabs("Sky\rEye"), (std::vector<std::string>{"Sky", "Eye"}));
  EXPECT_EQ(Tabs("Sky\r\rEye"), (std::vector<std::string>{"Sky", "", "Eye"}));
  EXPECT_EQ(Tabs("Sky\r"), (std::vector<std::string>{"Sky"})) << "a final line ending adds no tab";
  EXPECT_TRUE(Tabs("").empty());
  EXPECT_EQ(Tabs(std::string_view("One\rTwo\0Three", 13)), (std::vector<std::string>{"One", "Two"}));
  EXPECT_EQ(Tabs("\r"), (std::vector<std::string>{""}));
}

TEST(PanelLogicTest, InsertingAndRemovingPagesRenumbersTheLaterOnes) {
  // Inserting at index 1 (before page 2): pages 2 and up move on, page 1 and page 0 stay.
  EXPECT_EQ(PageAfterInsert(0, 1), 0);
  EXPECT_EQ(PageAfterInsert(1, 1), 1);
  EXPECT_EQ(PageAfterInsert(2, 1), 3);
  EXPECT_EQ(PageAfterInsert(5, 1), 6);
  // Removing index 1 (page 2): its children go, later pages move back.
  EXPECT_EQ(PageAfterRemove(2, 1), 0);
  EXPECT_EQ(PageAfterRemove(3, 1), 2);
  EXPECT_EQ(PageAfterRemove(1, 1), 1);
  EXPECT_EQ(PageAfterRemove(0, 1), 0);
}

TEST(PanelLogicTest, PageValuesAreKeptToExistingPages) {
  EXPECT_EQ(ClampPageValue(1, 3), 1);
  EXPECT_EQ(ClampPageValue(3, 3), 2) << "past the end selects the last page";
  EXPECT_EQ(ClampPageValue(99, 3), 2);
  EXPECT_EQ(ClampPageValue(-4, 3), 0);
  EXPECT_EQ(ClampPageValue(0, 0), -1);
  EXPECT_TRUE(PageChildShown(2, 2, true));
  EXPECT_FALSE(PageChildShown(2, 2, false));
  EXPECT_FALSE(PageChildShown(1, 2, true));
  EXPECT_FALSE(PageChildShown(0, 0, true)) << "a child on no page never shows inside a panel";
}

}  // namespace
}  // namespace vorn

namespace vorn {
namespace {

TEST(BevelLogicTest, SettingOneAgainTurnsTheSortDirection) {
  int32_t direction = 1;
  direction = BevelSortDirectionAfter(0, 1, direction);
  EXPECT_EQ(direction, 1) << "turning sorting on keeps the direction";
  direction = BevelSortDirectionAfter(1, 1, direction);
  EXPECT_EQ(direction, -1);
  direction = BevelSortDirectionAfter(1, 1, direction);
  EXPECT_EQ(direction, 1);
  direction = BevelSortDirectionAfter(1, 1, -1);
  EXPECT_EQ(BevelSortDirectionAfter(1, 0, direction), direction) << "turning sorting off keeps it";
  EXPECT_EQ(BevelSortDirectionAfter(0, 0, -1), -1);
}

TEST(BevelLogicTest, CaptionPlacesByAlignment) {
  // 100 wide from x 50, text 40 wide.
  EXPECT_EQ(BevelCaptionX(kBevelAlignDefault, 0, 50, 100, 40, 0), 55);
  EXPECT_EQ(BevelCaptionX(kBevelAlignDefault, 3, 50, 100, 40, 0), 58);
  EXPECT_EQ(BevelCaptionX(kBevelAlignCenter, 0, 50, 100, 40, 0), 80);
  EXPECT_EQ(BevelCaptionX(kBevelAlignCenter, 0, 50, 100, 95, 0), 55) << "too wide to centre";
  EXPECT_EQ(BevelCaptionX(kBevelAlignRight, 0, 50, 100, 40, 0), 105);
  // With the triangle's room the offset is at most minus that room.
  EXPECT_EQ(BevelCaptionX(kBevelAlignRight, 0, 50, 100, 40, 15), 90);
  EXPECT_EQ(BevelCaptionX(kBevelAlignRight, -20, 50, 100, 40, 15), 85);
  EXPECT_EQ(BevelCaptionX(kBevelAlignRightNoOffset, 30, 50, 100, 40, 0), 105) << "alignment 4 ignores the offset";
  EXPECT_EQ(BevelCaptionX(kBevelAlignRight, 0, 50, 100, 80, 15), 55) << "no room: from the left";
  EXPECT_EQ(BevelCaptionX(kBevelAlignDefault, -30, 50, 100, 40, 0), 51) << "never left of the button";
}

TEST(BevelLogicTest, TriangleShowsOnlyWhenSortedAndThereIsRoom) {
  EXPECT_TRUE(BevelShowsTriangle(1, 1, 40, 100));
  EXPECT_FALSE(BevelShowsTriangle(0, 1, 40, 100));
  EXPECT_FALSE(BevelShowsTriangle(1, 1, 85, 100)) << "caption width + 15 fills the button";
  EXPECT_TRUE(BevelShowsTriangle(1, -1, 84, 100));
  auto up = BevelTrianglePoints(0, 0, 100, 25, 1);
  EXPECT_EQ(up, (std::array<int32_t, 6>{85, 15, 90, 10, 95, 15}));
  auto down = BevelTrianglePoints(0, 0, 100, 25, -1);
  EXPECT_EQ(down, (std::array<int32_t, 6>{85, 10, 90, 15, 95, 10}));
}

}  // namespace
}  // namespace vorn
