#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listbox/list_selection.h"

namespace vorn::testing {
namespace {

class Recorder : public ListSelectionListener {
 public:
  void SelectionWillChange() override { events.push_back("will"); }
  void SelectionChanged() override { events.push_back("changed"); }
  void RedrawRow(int32_t) override { ++redraws; }
  void ScrollRowIntoView(int32_t row) override { scrolledTo = row; }
  void SetFirstVisibleRow(int32_t row) override { firstVisible = row; }
  std::vector<std::string> events;
  int redraws = 0;
  int32_t scrolledTo = -1;
  int32_t firstVisible = -1;
};

struct Fixture {
  explicit Fixture(int32_t rows, bool multiple = true) : selection(multiple) {
    selection.SetListener(&recorder);
    selection.RowsInserted(0, rows);
  }
  std::vector<int32_t> Selected() const {
    std::vector<int32_t> rows;
    for (int32_t row = 0; row < selection.RowCount(); ++row) {
      if (selection.IsRowSelected(row)) rows.push_back(row);
    }
    return rows;
  }
  ListSelection selection;
  Recorder recorder;
};

const std::vector<std::string> kOnePair{"will", "changed"};

TEST(ListSelectionTest, InsertingInsideARangeSplitsIt) {
  Fixture f(10);
  f.selection.SelectRange(3, 7);
  f.selection.RowsInserted(5, 2);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{3, 4, 7, 8, 9}));
  EXPECT_EQ(f.selection.RowCount(), 12);
  int32_t row = 4;
  ASSERT_TRUE(f.selection.NextSelectedRow(row));
  EXPECT_EQ(row, 7);
  row = 9;
  EXPECT_FALSE(f.selection.NextSelectedRow(row));
}

TEST(ListSelectionTest, RowsInsertedAtOrBeforeTheSelectedRowMoveIt) {
  struct Case {
    int32_t at;
    std::vector<int32_t> selected;
  };
  for (const Case& c : {Case{2, {3}}, Case{3, {2}}, Case{1, {3}}}) {
    Fixture f(5);
    f.selection.SelectRow(2, false);
    f.selection.RowsInserted(c.at, 1);
    EXPECT_EQ(f.Selected(), c.selected) << "insert at " << c.at;
  }
}

TEST(ListSelectionTest, RemovingTheLastRowWhileItHoldsTheAnchorForgetsTheAnchor) {
  Fixture f(4);
  f.selection.PressRow(1, 0);
  f.selection.PressRow(3, kModifierControl);
  ASSERT_EQ(f.selection.AnchorRow(), 3);
  f.selection.RowsRemoved(3, 1);
  EXPECT_EQ(f.selection.AnchorRow(), -1);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{1}));
}

TEST(ListSelectionTest, RemovingSelectedRowsNotifiesOnceAndUnselectedRowsNotAtAll) {
  Fixture f(6);
  f.selection.SelectRow(2, false);
  f.recorder.events.clear();
  f.selection.RowsRemoved(4, 2);
  EXPECT_TRUE(f.recorder.events.empty());
  f.selection.RowsRemoved(2, 1);
  EXPECT_EQ(f.recorder.events, kOnePair);
  EXPECT_EQ(f.selection.GetSelectedCount(), 0);
  EXPECT_EQ(f.selection.RowCount(), 3);

  Fixture g(10);
  g.selection.SelectRange(2, 8);
  g.selection.RowsRemoved(4, 2);
  EXPECT_EQ(g.Selected(), (std::vector<int32_t>{2, 3, 4, 5, 6}));
}

TEST(ListSelectionTest, SelectRowClearsAndIgnoresRowsOutsideTheList) {
  Fixture f(5);
  f.selection.SelectRange(0, 2);
  f.recorder.events.clear();
  f.selection.SelectRow(4, true);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{4}));
  EXPECT_EQ(f.recorder.events, kOnePair) << "one pair however many steps";
  EXPECT_EQ(f.recorder.scrolledTo, 4);
  f.selection.SelectRow(9, false);
  EXPECT_EQ(f.selection.GetFirstSelectedRow(), -1);
  f.selection.SetRowSelected(9, true);
  f.selection.SetRowSelected(-1, true);
  EXPECT_EQ(f.selection.GetSelectedCount(), 0);
}

TEST(ListSelectionTest, UnselectingSplitsAndShrinksRanges) {
  Fixture f(10);
  f.selection.SelectRange(2, 6);
  f.selection.SetRowSelected(4, false);
  f.selection.SetRowSelected(2, false);
  f.selection.SetRowSelected(6, false);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{3, 5}));
  f.selection.SetRowSelected(3, false);
  EXPECT_EQ(f.selection.GetFirstSelectedRow(), 5);
  EXPECT_EQ(f.selection.GetLastSelectedRow(), 5);
}

TEST(ListSelectionTest, SelectAllOnlyForMultipleSelectionAndOnlyWhenNeeded) {
  Fixture f(4);
  f.selection.SelectRange(0, 2);
  f.selection.SelectAll();
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{0, 1, 2, 3}));
  f.recorder.events.clear();
  f.selection.SelectAll();
  EXPECT_TRUE(f.recorder.events.empty());
  Fixture single(4, false);
  single.selection.SelectAll();
  EXPECT_EQ(single.selection.GetSelectedCount(), 0);
}

TEST(ListSelectionTest, APressAndDragSelectsARangeWithOnePairAtTheRelease) {
  Fixture f(10);
  f.selection.BeginPress();
  f.selection.PressRow(2, 0);
  for (int32_t row = 3; row <= 6; ++row) f.selection.DragToRow(row);
  EXPECT_EQ(f.recorder.events, (std::vector<std::string>{"will"}));
  f.selection.EndPress();
  EXPECT_EQ(f.recorder.events, kOnePair);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{2, 3, 4, 5, 6}));
  f.selection.EndPress();
  EXPECT_EQ(f.recorder.events.size(), 2u) << "an unmatched release sends nothing";

  Fixture single(10, false);
  single.selection.PressRow(2, 0);
  single.selection.DragToRow(5);
  EXPECT_EQ(single.Selected(), (std::vector<int32_t>{5}));
}

TEST(ListSelectionTest, ModifiedPresses) {
  Fixture f(10);
  f.selection.PressRow(2, 0);
  f.selection.PressRow(5, kModifierShift);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{2, 3, 4, 5}));
  f.selection.PressRow(8, kModifierControl);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{2, 3, 4, 5, 8}));
  f.selection.PressRow(3, kModifierControl);  // toggles off: a drag now unselects
  f.selection.DragToRow(5);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{2, 8}));
  f.selection.PressRow(0, kModifierShift);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{0, 1, 2})) << "from the last plain click";
  f.selection.PressRow(-1, 0);
  EXPECT_EQ(f.selection.GetSelectedCount(), 0);

  Fixture keep(5);
  keep.selection.SetRequiresSelection(true);
  keep.selection.PressRow(1, 0);
  keep.selection.PressRow(1, kModifierControl);
  keep.selection.PressRow(-1, 0);
  EXPECT_EQ(keep.Selected(), (std::vector<int32_t>{1})) << "a list requiring a selection keeps one";
}

TEST(ListSelectionTest, ArrowKeysMoveAndStopAtTheEnds) {
  Fixture f(5, false);
  EXPECT_TRUE(f.selection.KeyDown(kKeyDown, 0, 0, 2));
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{0})) << "nothing selected: row 0";
  EXPECT_TRUE(f.selection.KeyDown(kKeyUp, 0, 0, 2));
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{0}));
  f.selection.KeyDown(kKeyDown, 0, 0, 2);
  f.selection.KeyDown(kKeyDown, 0, 0, 2);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{2}));
  EXPECT_EQ(f.recorder.scrolledTo, 2);
  f.selection.KeyDown(kKeyEnd, 0, 0, 2);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{4}));
  f.selection.KeyDown(kKeyDown, 0, 2, 4);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{4}));
  f.selection.KeyDown(kKeyHome, 0, 2, 4);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{0}));
  EXPECT_EQ(f.recorder.firstVisible, 0);
  EXPECT_FALSE(f.selection.KeyDown(kKeyDown, kModifierCommand, 0, 2));
  EXPECT_TRUE(f.selection.KeyDown(kKeyLeft, 0, 0, 2));
  EXPECT_FALSE(f.selection.KeyDown('a', 0, 0, 2));
}

TEST(ListSelectionTest, ShiftArrowsExtendAMultipleSelection) {
  Fixture f(6);
  f.selection.SelectRow(2, false);
  f.selection.KeyDown(kKeyDown, kModifierShift, 0, 5);
  f.selection.KeyDown(kKeyUp, kModifierShift, 0, 5);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{1, 2, 3}));
  f.selection.KeyDown(kKeyUp, 0, 0, 5);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{1})) << "several selected: the first alone";
}

TEST(ListSelectionTest, PageKeysMoveByAScreenful) {
  Fixture f(20, false);
  f.selection.SelectRow(0, false);
  f.selection.KeyDown(kKeyPageDown, 0, 0, 4);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{4})) << "first to the bottom of the screen";
  f.selection.KeyDown(kKeyPageDown, 0, 0, 4);
  EXPECT_EQ(f.recorder.firstVisible, 4);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{8}));
  f.selection.KeyDown(kKeyPageUp, 0, 4, 8);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{4}));
  f.selection.KeyDown(kKeyPageUp, 0, 4, 8);
  EXPECT_EQ(f.recorder.firstVisible, 0);
  EXPECT_EQ(f.Selected(), (std::vector<int32_t>{0}));
}

}  // namespace
}  // namespace vorn::testing
