#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "listbox/support/list_test.h"
#include "listbox/support/recording_rows.h"
#include "listbox/support/tree_shape.h"
#include "support/hang_limit.h"

namespace vorn::testing {
namespace {

using ListRowsTest = ListTest;

std::string Text(const string& s) { return std::string(s.View()); }

TEST_F(ListRowsTest, CellsFallBackToColumnDefaultsOnlyUpToColumn63) {
  RecordingRows list;
  list.AddRows({"first"});
  list.Columns().SetColumnAlignment(3, 2, 7);
  list.SetColumnType(3, kCellTypeCheckBox);
  list.SetListTextSize(11);
  EXPECT_EQ(list.GetCellType(0, 3), kCellTypeCheckBox);
  EXPECT_EQ(list.GetCellAlignment(0, 3), 2);
  EXPECT_EQ(list.GetCellAlignmentOffset(0, 3), 7);
  EXPECT_EQ(list.GetCellTextSize(0, 3), 11);

  CellAttributes* cell = list.FindCell(0, 3, true);
  cell->mAlignment = 3;  // an own alignment brings its own offset, even 0
  EXPECT_EQ(list.GetCellAlignmentOffset(0, 3), 0);

  list.SetCellText(0, 70, string("far"), false);
  EXPECT_EQ(Text(list.GetCellText(0, 70, true)), "far");
  EXPECT_EQ(list.GetCellType(0, 70), 0);
  EXPECT_EQ(list.GetCellAlignment(0, 70), 0);
  EXPECT_EQ(list.GetCellTextSize(0, 70), 0);
  EXPECT_LE(list.Columns().ColumnCount(), kMaxListColumns);
}

TEST_F(ListRowsTest, CellsAreLinkedInTheOrderTheyWereMade) {
  RecordingRows list;
  list.AddRows({"a"});
  list.FindCell(0, 5, true);
  list.FindCell(0, 2, true);
  std::vector<int> order;
  const RowCells& cells = list.GetRowEntry(0)->mCells;
  for (int32_t i = 0; i < cells.Count(); ++i) order.push_back(cells.ColumnAt(i));
  EXPECT_EQ(order, (std::vector<int>{0, 5, 2}));
  EXPECT_EQ(list.FindCell(0, 9, false), nullptr);
  EXPECT_EQ(list.FindCell(4, 0, true), nullptr) << "no such row";
}

TEST_F(ListRowsTest, SettingARowAddsMissingRowsAndColumns) {
  RecordingRows list;
  list.AddRows({"a", "b"});
  list.SetCellText(5, -1, string("x\ty\tz\rignored"), false);
  EXPECT_EQ(list.RowCount(), 6);
  EXPECT_EQ(list.ColumnTexts(), (std::vector<std::string>{"a", "b", "", "", "", "x"}));
  EXPECT_EQ(list.Columns().ColumnCount(), 3);
  EXPECT_EQ(Text(list.GetCellText(5, -1, true)), "x\ty\tz");

  list.SetCellText(0, -1, string(""), false);
  EXPECT_EQ(Text(list.CellText(0, 0)), "a") << "empty text changes nothing";
}

TEST_F(ListRowsTest, ARowTextKeepsFields0To254) {
  RecordingRows list;
  std::string text;
  for (int i = 0; i < 300; ++i) text += (i ? "\t" : "") + std::to_string(i);
  list.SetCellText(0, -1, string(text.c_str()), false);
  EXPECT_EQ(Text(list.CellText(0, 254)), "254");
  EXPECT_EQ(list.FindCell(0, 255, false), nullptr);
  EXPECT_EQ(list.Columns().ColumnCount(), 64);
}

TEST_F(ListRowsTest, ColumnsAndWholeListsRoundTrip) {
  RecordingRows list;
  list.hasHeading = true;
  list.SetCellText(-1, -1, string("Name\tSize\r\nalpha\t1\nbeta\t2\n"), true);
  EXPECT_EQ(list.headings, "Name\tSize");
  EXPECT_EQ(list.RowCount(), 2) << "a final line break starts no row";
  EXPECT_EQ(Text(list.GetCellText(-1, -1, true)), "alpha\t1\nbeta\t2");
  EXPECT_EQ(Text(list.GetCellText(-1, 1, true)), "1\n2");

  list.SetCellText(-1, 1, string("10\t11\r\n20\n30"), false);
  EXPECT_EQ(list.ColumnTexts(1), (std::vector<std::string>{"11", "2", ""}))
      << "field 1 of each line goes into column 1; a line without one leaves the cell";
  EXPECT_EQ(list.ColumnTexts(0), (std::vector<std::string>{"alpha", "beta", ""}));
  list.SetCellText(-1, 0, string("x\r\ny\rz"), false);
  EXPECT_EQ(list.ColumnTexts(0), (std::vector<std::string>{"x", "y", "z"}));

  list.SetCellText(-1, -1, string(""), true);
  EXPECT_EQ(list.RowCount(), 0);
}

TEST_F(ListRowsTest, SelectedRowsAreCopiedWithAllTheirColumns) {
  RecordingRows list;
  list.SetCellText(-1, -1, string("a\t1\nb\t2\nc\t3"), false);
  list.selected = {0, 2};
  EXPECT_EQ(Text(list.GetCellText(99, 99, false)), "a\t1\nc\t3");
}

TEST_F(ListRowsTest, BadIndexesRaiseAndChangeNothing) {
  RecordingRows list;
  list.AddRows({"a"});
  for (auto [row, column] : {std::pair{1, 0}, {-2, 0}, {0, 256}, {0, -2}}) {
    list.SetCellText(row, column, string("x"), false);
    EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException") << row << "," << column;
    EXPECT_EQ(Text(list.GetCellText(row, column, true)), "");
    EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException") << row << "," << column;
  }
  EXPECT_EQ(list.ColumnTexts(), (std::vector<std::string>{"a"}));
}

TEST_F(ListRowsTest, StyleBitsChangeOnlyWhatTheyName) {
  RecordingRows list;
  list.AddRows({"a"});
  EXPECT_TRUE(list.SetCellStyle(0, 1, kCellBold, true));
  EXPECT_TRUE(list.SetCellStyle(0, 1, kCellItalic, true));
  list.log.clear();
  EXPECT_FALSE(list.SetCellStyle(0, 1, kCellBold, true));
  EXPECT_TRUE(list.log.empty()) << "an unchanged bit does not redraw";
  EXPECT_TRUE(list.SetCellStyle(0, 1, kCellBold, false));
  EXPECT_EQ(list.FindCell(0, 1, false)->mStyle, kCellItalic);
}

TEST_F(ListRowsTest, BordersMergeWithTheirNeighbours) {
  RecordingRows list;
  list.AddRows({"a", "b"});
  list.SetDefaultGridKinds(1, 6);
  EXPECT_EQ(list.GetCellBorder(kBorderTop, 1, 0, true), 1) << "default horizontal kind";
  EXPECT_EQ(list.GetCellBorder(kBorderLeft, 1, 0, true), 6) << "default vertical kind";
  list.SetCellBorder(kBorderBottom, 0, 0, 4);
  EXPECT_EQ(list.GetCellBorder(kBorderTop, 1, 0, true), 4);
  EXPECT_EQ(list.GetCellBorder(kBorderTop, 1, 0, false), 0);
  EXPECT_EQ(list.ExtraRowHeight(0), 2) << "a thick bottom line needs two more pixels";
  EXPECT_EQ(list.ExtraRowHeight(1), 0);
  EXPECT_EQ(list.GetCellBorder(kBorderTop, 9, 70, false), 0);
  EXPECT_EQ(list.log, (std::vector<std::string>{"cell 0,0", "cell 1,0"}));
}

TEST_F(ListRowsTest, FoldersExpandWithChildrenInOrderAndCollapseEveryDescendant) {
  RecordingRows list;
  list.SetHierarchical(true);
  list.AddTextRow(string("top"), kCollapsedFolder);
  list.AddTextRow(string("after"), kPlainRow);
  list.onExpand = [&](int32_t row) {
    if (list.GetRowDepth(row) == 0) {
      list.AddTextRow(string("child1"), kCollapsedFolder);
      list.AddTextRow(string("child2"), kPlainRow);
    } else {
      list.AddTextRow(string("grandchild"), kPlainRow);
    }
  };
  EXPECT_TRUE(list.ExpandFolder(0));
  EXPECT_FALSE(list.ExpandFolder(0)) << "already expanded";
  EXPECT_EQ(list.ColumnTexts(), (std::vector<std::string>{"top", "child1", "child2", "after"}));
  EXPECT_EQ(list.LastAddedRow(), 2);
  EXPECT_TRUE(list.ExpandFolder(1));
  EXPECT_EQ(list.ColumnTexts(), (std::vector<std::string>{"top", "child1", "grandchild", "child2", "after"}));
  EXPECT_EQ(list.GetRowDepth(2), 2);
  EXPECT_EQ(list.GetNextSiblingRow(0), 4);
  list.AddTextRow(string("outside"), kPlainRow);
  EXPECT_EQ(list.GetRowDepth(5), 0) << "outside ExpandRow rows go to the end";

  EXPECT_EQ(TreeShapeFault(list), "");
  EXPECT_TRUE(list.CollapseFolder(0));
  EXPECT_EQ(list.ColumnTexts(), (std::vector<std::string>{"top", "after", "outside"}));
  EXPECT_EQ(TreeShapeFault(list), "");
  EXPECT_FALSE(list.IsExpanded(0));
  EXPECT_FALSE(list.CollapseFolder(0));

  // An open folder removed takes its rows with it, which else keep RemoveRow putting it back.
  const test::HangLimit limit;
  EXPECT_TRUE(list.ExpandFolder(0));
  EXPECT_TRUE(list.ExpandFolder(1));
  list.RemoveRow(0);
  EXPECT_EQ(list.ColumnTexts(), (std::vector<std::string>{"after", "outside"}));
  EXPECT_EQ(TreeShapeFault(list), "");
}

TEST_F(ListRowsTest, ARowRemovedAgainFromItsOwnRemovalGoesOnce) {
  RecordingRows list;
  list.AddRows({"a", "b", "c", "d"});
  int calls = 0;
  list.onRemoving = [&](int32_t first, int32_t) {
    if (++calls > 3) return;
    list.RemoveRow(first);  // the same row again, as a Change handler might
    if (calls == 1) list.RemoveRow(0);  // and an earlier one, which shifts the first
  };
  list.RemoveRow(2);
  EXPECT_EQ(list.ColumnTexts(), (std::vector<std::string>{"b", "d"}));
  EXPECT_TRUE(ListTest::Reports().empty());
  list.RemoveRow(7);
  EXPECT_EQ(list.RowCount(), 2);
}

TEST_F(ListRowsTest, DeleteAllRowsEmptiesTheList) {
  RecordingRows list;
  list.AddRows({"a", "b"});
  list.DeleteAllRows();
  EXPECT_EQ(list.RowCount(), 0);
  EXPECT_EQ(list.log.back(), "removing 0+2");
}

// A row's cells grow one at a time and gain settings part way: what each cell held before a
// growth is still there after it, at every size up to one cell for each of the 256 columns.
// The columns in `made` are made first, in order, then the rest; column 3 is styled when made.
void GrowARowCellByCell(std::vector<int32_t> made) {
  RecordingRows list;
  list.AddRows({"c0"});
  for (int32_t column = 0; column <= kMaxCellColumn; ++column) {
    if (std::find(made.begin(), made.end(), column) == made.end()) made.push_back(column);
  }
  for (size_t n = 1; n < made.size(); ++n) {
    list.SetCellText(0, made[n], string(("c" + std::to_string(made[n])).c_str()), false);
    // Settings come to a row whose block had room for texts only.
    if (made[n] == 3) list.SetCellStyle(0, 3, kCellBold, true);
    for (size_t i = 0; i <= n; ++i) {
      ASSERT_EQ(Text(list.CellText(0, made[i])), "c" + std::to_string(made[i])) << n;
      const CellAttributes* cell = list.FindCell(0, made[i], false);
      ASSERT_EQ(cell != nullptr && cell->mStyle == kCellBold, made[i] == 3) << n;
    }
  }
  EXPECT_EQ(list.GetRowEntry(0)->mCells.Count(), 256);
}

TEST_F(ListRowsTest, CellsKeepTheirTextsAndSettingsAsTheRowGrows) {
  // Styled in the middle of its block, and as the last cell of a full block.
  for (const std::vector<int32_t>& first : {std::vector<int32_t>{0, 255, 1, 7, 3}, {0, 1, 2, 3}}) {
    SCOPED_TRACE(first.size());
    GrowARowCellByCell(first);
  }
}

TEST_F(ListRowsTest, MovedRowsGoTogetherOrNotAtAll) {
  const struct {
    std::vector<int32_t> rows;
    int32_t position;
    std::vector<std::string> after;
  } cases[] = {
      {{0, 2}, 1, {"b", "a", "c", "d"}},
      {{3}, 9, {"a", "b", "c", "d"}},  // a position past the rest is the end
      {{1, 4}, 0, {"a", "b", "c", "d"}},  // one past the last row
      {{-1, 2}, 0, {"a", "b", "c", "d"}},
      {{2, 2}, 0, {"a", "b", "c", "d"}},
  };
  for (const auto& c : cases) {
    RecordingRows list;
    list.AddRows({"a", "b", "c", "d"});
    list.MoveRowsTo(c.rows, c.position);
    EXPECT_EQ(list.ColumnTexts(), c.after) << c.rows.back();
  }
}

}  // namespace
}  // namespace vorn::testing
