#include <gtest/gtest.h>

#include <string>

#include "listbox/support/list_test.h"
#include "listbox/support/recording_rows.h"

namespace vorn::testing {
namespace {

using ListSortTest = ListTest;

TEST_F(ListSortTest, AscendingAndDescendingIgnoreCase) {
  RecordingRows list;
  list.AddRows({"b", "A", "c"});
  list.SortByColumn(0);
  EXPECT_EQ(list.ColumnTexts(), (std::vector<std::string>{"A", "b", "c"}));
  list.SetSortDirection(0, -1);
  list.SortByColumn(0);
  EXPECT_EQ(list.ColumnTexts(), (std::vector<std::string>{"c", "b", "A"}));
  EXPECT_EQ(list.SortedColumn(), 0);
}

TEST_F(ListSortTest, ByASecondColumnWithMissingCellsFirst) {
  RecordingRows list;
  list.SetCellText(-1, -1, string("x\t3\ny\nz\t1\nw\t2"), false);
  list.SortByColumn(1);
  EXPECT_EQ(list.ColumnTexts(0), (std::vector<std::string>{"y", "z", "w", "x"}));
}

TEST_F(ListSortTest, AnUnsortableColumnOnlyRedraws) {
  RecordingRows list;
  list.AddRows({"b", "a"});
  list.SetSortDirection(0, 0);
  list.SortByColumn(0);
  EXPECT_EQ(list.ColumnTexts(), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(list.log.back(), "column 0");
  EXPECT_EQ(list.SortedColumn(), -1);
}

TEST_F(ListSortTest, AnEmptyListOnlyRemembersTheColumn) {
  RecordingRows list;
  list.SortByColumn(2);
  EXPECT_EQ(list.SortedColumn(), 2);
  EXPECT_TRUE(list.log.empty());
}

TEST_F(ListSortTest, ASortColumnHandlerCanSortItselfOrTurnSortingOff) {
  RecordingRows list;
  list.AddRows({"b", "a"});
  list.onSortColumn = [](int32_t, bool& sorted) {
    sorted = true;
    return true;
  };
  list.SortByColumn(0);
  EXPECT_EQ(list.ColumnTexts(), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(list.SortedColumn(), 0);
  list.onSortColumn = [&](int32_t column, bool&) {
    list.SetSortDirection(column, 0);
    return true;
  };
  list.SortByColumn(0);
  EXPECT_EQ(list.ColumnTexts(), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(list.log.back(), "all");
}

TEST_F(ListSortTest, CompareRowsDecidesAndDescendingFlipsItsSign) {
  RecordingRows list;
  list.AddRows({"10", "9", "100"});
  auto numeric = [&](int32_t a, int32_t b, int32_t& result) {
    const int x = std::stoi(std::string(list.CellText(a, 0).View()));
    const int y = std::stoi(std::string(list.CellText(b, 0).View()));
    result = x < y ? -5 : (x > y ? 5 : 0);
    return true;
  };
  list.onCompare = numeric;
  list.SortByColumn(0);
  EXPECT_EQ(list.ColumnTexts(), (std::vector<std::string>{"9", "10", "100"}));
  list.SetSortDirection(0, -1);
  list.SortByColumn(0);
  EXPECT_EQ(list.ColumnTexts(), (std::vector<std::string>{"100", "10", "9"}));

  list.onCompare = [](int32_t, int32_t, int32_t& result) {
    result = 0;
    return true;
  };
  list.SortByColumn(0);
  auto texts = list.ColumnTexts();
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(texts, (std::vector<std::string>{"10", "100", "9"})) << "all rows kept, in some order";
}

TEST_F(ListSortTest, TheSelectedRecordStaysSelected) {
  RecordingRows list;
  list.AddRows({"c", "a", "b"});
  list.selected = {0};
  list.SortByColumn(0);
  EXPECT_EQ(list.selected, (std::set<int32_t>{2}));
}

TEST_F(ListSortTest, FoldersMoveWithTheirChildrenWhichSortAmongThemselves) {
  RecordingRows list;
  list.SetHierarchical(true);
  const char* names[] = {"zeta", "z2", "z1", "alpha", "a3", "a1", "a2", "mid"};
  const int16_t depths[] = {0, 1, 1, 0, 1, 1, 1, 0};
  for (int i = 0; i < 8; ++i) {
    list.AddRow(string(names[i]), depths[i], depths[i] == 0 ? kExpandedFolder : kPlainRow);
  }
  list.SortByColumn(0);
  EXPECT_EQ(list.ColumnTexts(),
            (std::vector<std::string>{"alpha", "a1", "a2", "a3", "mid", "zeta", "z1", "z2"}));
  for (int32_t row = 0; row < list.RowCount(); ++row) {
    const bool child = list.ColumnTexts()[row].size() == 2;
    EXPECT_EQ(list.GetRowDepth(row), child ? 1 : 0) << row;
  }

  // A folder whose ExpandRow sorts the list while it is empty takes its next rows wherever it went.
  RecordingRows filling;
  filling.SetHierarchical(true);
  filling.AddTextRow(string("m"), kCollapsedFolder);
  filling.AddRows({"a", "z"});
  filling.onExpand = [&](int32_t) {
    filling.AddTextRow(string("gone"), kPlainRow);
    filling.RemoveRow(1);
    filling.SortByColumn(0);
    filling.AddTextRow(string("m1"), kPlainRow);
  };
  EXPECT_TRUE(filling.ExpandFolder(0));
  EXPECT_EQ(filling.ColumnTexts(), (std::vector<std::string>{"a", "m", "m1", "z"}));
  EXPECT_EQ(filling.GetRowDepth(2), 1);
}

TEST_F(ListSortTest, ManyRowsSortCompletely) {
  RecordingRows list;
  std::vector<std::string> expected;
  for (int i = 0; i < 500; ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "%05d", (i * 7919) % 1000);
    list.AddTextRow(string(text), kPlainRow);
    expected.push_back(text);
  }
  std::sort(expected.begin(), expected.end());
  list.SortByColumn(0);
  EXPECT_EQ(list.ColumnTexts(), expected);
}

}  // namespace
}  // namespace vorn::testing
