// A row model whose pane hooks are recorded, with a simple selection and scriptable events.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "listbox/list_columns.h"
#include "listbox/list_rows.h"

namespace vorn::testing {

class RecordingRows : public ListRows {
 public:
  RecordingRows() : ListRows(mOwnColumns) { mOwnColumns.SetRowArea(1, 300); }

  // Rows of one column each, from the texts.
  void AddRows(std::initializer_list<const char*> texts) {
    for (const char* text : texts) AddTextRow(string(text), kPlainRow);
  }
  // Column `column` of every row, in order.
  std::vector<std::string> ColumnTexts(int32_t column = 0) const {
    std::vector<std::string> texts;
    for (int32_t row = 0; row < RowCount(); ++row) texts.emplace_back(CellText(row, column).View());
    return texts;
  }

  std::vector<std::string> log;
  std::set<int32_t> selected;
  std::string headings;
  bool hasHeading = false;
  std::function<void(int32_t)> onExpand;
  std::function<void(int32_t, int32_t)> onRemoving;
  std::function<bool(int32_t, bool&)> onSortColumn;
  std::function<bool(int32_t, int32_t, int32_t&)> onCompare;

 protected:
  void InvalidateCell(int32_t row, int32_t column) override {
    log.push_back("cell " + std::to_string(row) + "," + std::to_string(column));
  }
  void InvalidateRow(int32_t row) override { log.push_back("row " + std::to_string(row)); }
  void InvalidateColumn(int32_t column) override { log.push_back("column " + std::to_string(column)); }
  void InvalidateAll() override { log.push_back("all"); }
  void RowsRemoving(int32_t first, int32_t count) override {
    log.push_back("removing " + std::to_string(first) + "+" + std::to_string(count));
    std::set<int32_t> kept;
    for (int32_t row : selected) {
      if (row < first) kept.insert(row);
      if (row >= first + count) kept.insert(row - count);
    }
    selected = kept;
    if (onRemoving) onRemoving(first, count);
  }
  void FireExpandRow(int32_t row) override {
    if (onExpand) onExpand(row);
  }
  void FireCollapseRow(int32_t row) override { log.push_back("collapse " + std::to_string(row)); }
  bool HasHeading() const override { return hasHeading; }
  void SetHeadings(const string& text) override { headings = std::string(text.View()); }
  bool IsRowSelected(int32_t row) const override { return selected.count(row) != 0; }
  int32_t SelectedRowCount() const override { return static_cast<int32_t>(selected.size()); }
  void SelectOnly(int32_t row) override {
    selected.clear();
    if (row >= 0) selected.insert(row);
  }
  bool FireSortColumn(int32_t column, bool& sortedRows) override {
    return onSortColumn && onSortColumn(column, sortedRows);
  }
  bool FireCompareRows(int32_t row1, int32_t row2, int32_t, int32_t& result) override {
    return onCompare && onCompare(row1, row2, result);
  }
  bool ComparesRowsItself() const override { return static_cast<bool>(onCompare); }

 private:
  ListColumns mOwnColumns{300};
};

}  // namespace vorn::testing
