#include <gtest/gtest.h>

#include "listbox/list_columns.h"
#include "listbox/support/list_test.h"
#include "listbox/width_expression.h"

namespace vorn::testing {
namespace {

using ColumnWidthsTest = ListTest;

// A list of `count` columns over a row area `width` pixels wide, starting at x = 1.
struct Columns {
  explicit Columns(int32_t count, int32_t width = 400) : columns(width) {
    columns.SetRowArea(1, width);
    columns.SetColumnCount(count);
  }
  void Widths(std::initializer_list<const char*> texts) {
    int32_t i = 0;
    for (const char* text : texts) EXPECT_TRUE(columns.SetWidthExpression(i++, string(text))) << text;
    columns.LayoutColumns();
  }
  std::vector<int32_t> Measured() const {
    std::vector<int32_t> widths;
    for (int32_t i = 0; i < columns.ColumnCount(); ++i) widths.push_back(columns.GetColumnWidth(i));
    return widths;
  }
  ListColumns columns;
};

TEST_F(ColumnWidthsTest, ExpressionKindsComeFromTheLastCharacter) {
  struct Case {
    const char* text;
    WidthExpressionKind kind;
    double value;
  } cases[] = {
      {"", kWidthStar, 1},        {"*", kWidthStar, 1},         {"3*", kWidthStar, 3},
      {"0*", kWidthStar, 0},      {"2.5*", kWidthStar, 2.5},    {"100", kWidthPixels, 100},
      {"-5", kWidthPixels, 0},    {"50%", kWidthPercent, 50},   {"12px", kWidthUnrecognized, 0},
      {"abc", kWidthUnrecognized, 0}, {" 7", kWidthPixels, 7},  {"1e999", kWidthPixels, kMaxWidthExpressionValue},
      {"-3*", kWidthStar, 0},
  };
  for (const Case& c : cases) {
    const WidthExpression e = ReadWidthExpression(string(c.text));
    EXPECT_EQ(e.kind, c.kind) << c.text;
    EXPECT_DOUBLE_EQ(e.value, c.value) << c.text;
  }
  EXPECT_EQ(WidthExpressionPixels(ReadWidthExpression(string("50%")), 301), 150);
  EXPECT_EQ(WidthExpressionPixels(ReadWidthExpression(string("33.9")), 301), 33);
}

TEST_F(ColumnWidthsTest, EvaluationTakesFromTheRemainderAndFallsBackToAnEvenShare) {
  int32_t remaining = 300;
  double stars = 0;
  EXPECT_EQ(EvaluateWidthExpression(string("100"), remaining, 300, 3, stars), 100);
  EXPECT_EQ(remaining, 200);
  EXPECT_EQ(EvaluateWidthExpression(string("2*"), remaining, 300, 2, stars), 0);
  EXPECT_DOUBLE_EQ(stars, 2.0);
  EXPECT_EQ(EvaluateWidthExpression(string("junk"), remaining, 300, 2, stars), 100) << "200 / 2 left";
  remaining = -50;
  EXPECT_EQ(EvaluateWidthExpression(string("junk"), remaining, 300, 2, stars), 0) << "never below 0";
}

TEST_F(ColumnWidthsTest, StarColumnsShareWhatFixedColumnsLeave) {
  Columns list(3);
  list.Widths({"100", "*", "2*"});
  EXPECT_EQ(list.Measured(), (std::vector<int32_t>{100, 100, 200}));
  EXPECT_DOUBLE_EQ(list.columns.StarWeightSum(), 3.0);

  Columns uneven(4, 100);
  uneven.Widths({"*", "*", "*", "10"});
  // The fixed last column keeps 10; the stars share the 90 pixels left.
  EXPECT_EQ(uneven.Measured(), (std::vector<int32_t>{30, 30, 30, 10}));

  Columns loss(3, 100);
  loss.Widths({"*", "*", "*"});
  EXPECT_EQ(loss.Measured(), (std::vector<int32_t>{33, 33, 34})) << "truncation losses go last";
  EXPECT_EQ(loss.columns.LastColumnStarWidth(), 33);
}

TEST_F(ColumnWidthsTest, PercentagesAndMixedLists) {
  Columns list(4, 400);
  list.Widths({"50%", "*", "2*", "100"});
  EXPECT_EQ(list.Measured(), (std::vector<int32_t>{200, 33, 66, 100}));
  // Edges run from the row area's left edge, shifted by the horizontal scroll offset.
  EXPECT_EQ(list.columns.GetColumnLeft(0), 1);
  EXPECT_EQ(list.columns.GetColumnRight(0), 201);
  EXPECT_EQ(list.columns.GetColumnLeft(3), 300);
  EXPECT_EQ(list.columns.GetColumnLeft(4), list.columns.GetColumnRight(3)) << "edge after the last";
  list.columns.SetHorizontalScrollOffset(50);
  list.columns.UpdateColumnPositions();
  EXPECT_EQ(list.columns.GetColumnLeft(0), -49);
}

TEST_F(ColumnWidthsTest, FixedColumnsWiderThanTheAreaLeaveStarsAtZero) {
  Columns list(3, 200);
  list.Widths({"150", "*", "150"});
  EXPECT_EQ(list.Measured(), (std::vector<int32_t>{150, 0, 150}));
  Columns last(2, 100);
  last.Widths({"150", "*"});
  EXPECT_EQ(last.Measured(), (std::vector<int32_t>{150, 0}));
}

TEST_F(ColumnWidthsTest, BadExpressionsRaiseAndStoreNothing) {
  Columns list(2);
  list.Widths({"100", "50"});
  EXPECT_FALSE(list.columns.SetWidthExpression(0, string("12px")));
  EXPECT_EQ(TakePendingMessage(), "Unrecognized expression '12px'");
  EXPECT_EQ(list.columns.GetWidthExpression(0).View(), "100");
  EXPECT_EQ(list.columns.GetColumnWidth(0), 100);

  EXPECT_FALSE(list.columns.SetMinWidthExpression(0, string("")));
  EXPECT_EQ(TakePendingMessage(), "MinWidthExpression doesn't support the Asterisk ('*') format.");
  EXPECT_FALSE(list.columns.SetMaxWidthExpression(0, string("2*")));
  EXPECT_EQ(TakePendingClassName(), "UnsupportedFormatException");
  EXPECT_EQ(list.columns.GetMinWidthExpression(0).View(), "0");
  EXPECT_EQ(list.columns.GetMaxWidthExpression(0).View(), "-1");
}

TEST_F(ColumnWidthsTest, MinimumAndMaximumExpressions) {
  Columns list(2, 200);
  EXPECT_TRUE(list.columns.SetMinWidthExpression(0, string("10%")));
  EXPECT_EQ(list.columns.GetColumnMinWidth(0), 20);
  EXPECT_TRUE(list.columns.SetMaxWidthExpression(0, string("120")));
  EXPECT_EQ(list.columns.GetColumnMaxWidth(0), 120);
  EXPECT_TRUE(list.columns.SetMaxWidthExpression(0, string("-7")));
  EXPECT_EQ(list.columns.GetColumnMaxWidth(0), -1) << "a negative maximum means none";
}

TEST_F(ColumnWidthsTest, DirectChangesAreWrittenBackIntoTheExpression) {
  Columns list(2, 200);
  list.Widths({"50%", "40"});
  list.columns.SetColumnWidth(0, 50);
  list.columns.SetColumnWidth(1, 60);
  EXPECT_EQ(list.columns.GetWidthExpression(0).View(), "25%");
  EXPECT_EQ(list.columns.GetWidthExpression(1).View(), "60");
  list.columns.SetColumnMinWidth(1, 7);
  EXPECT_EQ(list.columns.GetMinWidthExpression(1).View(), "7");
  list.columns.SetColumnWidth(0, 67);
  EXPECT_EQ(list.columns.GetWidthExpression(0).View(), "33.5%");
  EXPECT_TRUE(ListTest::Reports().empty());
}

TEST_F(ColumnWidthsTest, APercentageIsKeptWhenTheAreaHasNoWidth) {
  Columns list(1, 0);
  list.Widths({"50%"});
  list.columns.SetColumnWidth(0, 30);
  EXPECT_EQ(list.columns.GetWidthExpression(0).View(), "50%");
}

TEST_F(ColumnWidthsTest, DraggingBetweenStarsRewritesWeightsFromTheNarrowest) {
  Columns list(3, 300);
  list.Widths({"100", "*", "*"});
  EXPECT_EQ(list.Measured(), (std::vector<int32_t>{100, 100, 100}));
  list.columns.SetColumnWidth(1, 50);
  EXPECT_EQ(list.Measured(), (std::vector<int32_t>{100, 50, 150}));
  EXPECT_EQ(list.columns.GetWidthExpression(1).View(), "1*");
  EXPECT_EQ(list.columns.GetWidthExpression(2).View(), "3*");
  EXPECT_EQ(list.columns.GetWidthExpression(0).View(), "100") << "not touched";
  // The rewritten weights lay out to the same widths.
  list.columns.LayoutColumns();
  EXPECT_EQ(list.Measured(), (std::vector<int32_t>{100, 50, 150}));

  // Dragging the fixed column's edge moves width into the star beside it.
  list.columns.SetColumnWidth(0, 80);
  EXPECT_EQ(list.columns.GetColumnWidth(1), 70);
  EXPECT_EQ(list.columns.GetWidthExpression(0).View(), "80");
  // The last column can't be dragged while stars share the width.
  list.columns.SetColumnWidth(2, 10);
  EXPECT_EQ(list.columns.GetColumnWidth(2), 150);
}

TEST_F(ColumnWidthsTest, DirectWidthsNeverGoBelowZeroOrTakeMoreThanTheNeighbourHas) {
  Columns fixed(2, 200);
  fixed.Widths({"50", "60"});
  fixed.columns.SetColumnWidth(0, -30);
  EXPECT_EQ(fixed.columns.GetColumnWidth(0), 0);
  Columns shared(3, 300);
  shared.Widths({"100", "*", "*"});
  shared.columns.SetColumnWidth(0, 500);
  EXPECT_EQ(shared.Measured(), (std::vector<int32_t>{200, 0, 100}));
  // A fixed last column behind a star gives up only what it has.
  Columns fixedLast(3, 300);
  fixedLast.Widths({"*", "*", "0"});
  fixedLast.columns.SetColumnWidth(1, 200);
  EXPECT_EQ(fixedLast.Measured(), (std::vector<int32_t>{150, 150, 0}));
}

TEST_F(ColumnWidthsTest, ResizingTheAreaKeepsFixedWidthsWithoutStars) {
  Columns list(2, 200);
  list.Widths({"50%", "30"});
  list.columns.SetRowArea(1, 400);
  if (list.columns.StarWeightSum() > 0) list.columns.LayoutColumns();
  EXPECT_EQ(list.Measured(), (std::vector<int32_t>{100, 30}));
  Columns stars(2, 200);
  stars.Widths({"50%", "*"});
  stars.columns.SetRowArea(1, 400);
  if (stars.columns.StarWeightSum() > 0) stars.columns.LayoutColumns();
  EXPECT_EQ(stars.Measured(), (std::vector<int32_t>{200, 200}));
}

TEST_F(ColumnWidthsTest, ReplacingAStarKeepsTheWeightSumRight) {
  Columns list(2, 300);
  list.Widths({"2*", "*"});
  EXPECT_DOUBLE_EQ(list.columns.StarWeightSum(), 3.0);
  EXPECT_TRUE(list.columns.SetWidthExpression(0, string("100")));
  EXPECT_DOUBLE_EQ(list.columns.StarWeightSum(), 1.0);
  EXPECT_EQ(list.Measured(), (std::vector<int32_t>{100, 200}));
}

TEST_F(ColumnWidthsTest, ClampingADraggedEdge) {
  Columns list(2, 300);
  list.Widths({"100", "200"});
  EXPECT_TRUE(list.columns.SetMinWidthExpression(0, string("40")));
  EXPECT_TRUE(list.columns.SetMaxWidthExpression(0, string("150")));
  int32_t width = 90;
  EXPECT_EQ(list.columns.ClampColumnResize(0, width, 91), kResizeFree);
  EXPECT_EQ(width, 90);
  width = 20;
  EXPECT_EQ(list.columns.ClampColumnResize(0, width, 21), kResizeAtMinimum);
  EXPECT_EQ(width, 40);
  width = 170;
  EXPECT_EQ(list.columns.ClampColumnResize(0, width, 171), kResizeAtMaximum);
  EXPECT_EQ(width, 150);

  // With stars, the next column takes up the change and keeps at least its minimum.
  Columns shared(2, 300);
  shared.Widths({"100", "*"});
  EXPECT_TRUE(shared.columns.SetMinWidthExpression(1, string("50")));
  width = 280;
  EXPECT_EQ(shared.columns.ClampColumnResize(0, width, 281), kResizeAtMaximum);
  EXPECT_EQ(width, 251) << "100 + 200 - 50, and 1 for the last column";
}

}  // namespace
}  // namespace vorn::testing
