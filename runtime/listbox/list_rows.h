// The rows and cells of a list box: row records in display order, cells with their fallbacks
// to the column defaults, folder rows, text import and export, and sorting by a column. What
// the rows mean on screen (redraws, selection, events) goes through the virtual hooks, which
// the pane implements.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "listbox/list_cells.h"
#include "listbox/list_columns.h"
#include "strings/vstring.h"

namespace vorn {

enum CellBorderSide : int32_t { kBorderTop = 0, kBorderLeft = 1, kBorderBottom = 2, kBorderRight = 3 };

class ListRows {
 public:
  explicit ListRows(ListColumns& columns);
  virtual ~ListRows();
  ListRows(const ListRows&) = delete;
  ListRows& operator=(const ListRows&) = delete;

  ListColumns& Columns() { return mColumns; }
  int32_t RowCount() const { return mBound ? mBoundRowCount : static_cast<int32_t>(mRows.size()); }

  // Rows read from a data provider: the list keeps only their number and stores no rows or
  // cells, so every row and cell change does nothing meanwhile. Binding and unbinding drop all
  // rows first.
  bool HasBoundRows() const { return mBound; }
  void SetBoundRows(bool bound);
  void BoundRowsInserted(int32_t index, int32_t count);
  void BoundRowRemoved(int32_t row);
  // The row's record, nil outside the list or while rows are bound. It stays valid only until
  // rows are added, removed or moved.
  const RowEntry* GetRowEntry(int32_t row) const;
  // The settings of a cell; with `create`, the cell and its settings are made when missing. Nil
  // for a row outside the list, while rows are bound, or when the cell has no settings and
  // `create` is clear.
  CellAttributes* FindCell(int32_t row, int32_t column, bool create);
  // Stores a cell's text (UTF-8, shared) without redrawing; nothing for a row outside the list.
  void StoreCellText(int32_t row, int32_t column, const string& text);

  // Cell values, falling back to the column defaults (none beyond column 63).
  int32_t GetCellType(int32_t row, int32_t column) const;
  int32_t GetCellAlignment(int32_t row, int32_t column) const;
  int32_t GetCellAlignmentOffset(int32_t row, int32_t column) const;
  int32_t GetCellTextSize(int32_t row, int32_t column) const;
  uint8_t GetColumnType(int32_t column) const;
  void SetColumnType(int32_t column, uint8_t type);
  void SetListTextSize(int16_t size) { mTextSize = size; }

  // Changes only the named style bits; answers whether anything changed.
  bool SetCellStyle(int32_t row, int32_t column, uint8_t bits, bool on);
  void SetCellPicture(int32_t row, int32_t column, RuntimeObject* picture);
  RuntimeObject* GetCellPicture(int32_t row, int32_t column) const;

  int32_t GetCellBorder(int32_t side, int32_t row, int32_t column, bool merged) const;
  void SetCellBorder(int32_t side, int32_t row, int32_t column, int32_t kind);
  void SetDefaultGridKinds(int32_t horizontal, int32_t vertical);
  // False while no cell and neither default draws a line, so drawing can skip the borders.
  bool MayHaveBorders() const { return mDefaultHorizontalGrid > 1 || mDefaultVerticalGrid > 1 || mBordersSet; }
  // True once a cell has a border of its own: rows may then differ in height.
  bool HasCellBorders() const { return mBordersSet; }
  // The room a row needs beyond the list's row height for its cells' bottom lines wider than
  // the horizontal grid line.
  int32_t ExtraRowHeight(int32_t row) const;

  // Rows, with the text of column 0 (UTF-8). Both answer the new row's index.
  int32_t AddRow(const string& text, int16_t depth, int16_t folderState);
  int32_t InsertRow(int32_t index, const string& text, int16_t depth, int16_t folderState);
  // Adds a row with that text in column 0; inside an ExpandRow event it goes after the
  // expanding folder's descendants, one level deeper.
  int32_t AddTextRow(const string& text, int16_t folderState);
  int32_t LastAddedRow() const { return mLastAddedRow; }
  void RemoveRow(int32_t row);
  void DeleteAllRows();
  void MoveRows(int32_t first1, int32_t count1, int32_t first2, int32_t count2);
  // Takes the rows (ascending indexes) out and puts them, in their order, at `position` of
  // the rows that remain.
  void MoveRowsTo(const std::vector<int32_t>& rows, int32_t position);

  // Folders.
  void SetHierarchical(bool on) { mHierarchical = on; }
  bool IsHierarchical() const { return mHierarchical; }
  int32_t GetRowDepth(int32_t row) const;
  int32_t GetNextSiblingRow(int32_t row) const;
  bool IsExpanded(int32_t row) const;
  bool ExpandFolder(int32_t row);
  bool CollapseFolder(int32_t row);

  // Text: one cell; a row (column -1); a column (row -1); the whole list (both -1). Bad
  // indexes raise OutOfBoundsException and change nothing.
  void SetCellText(int32_t row, int32_t column, const string& text, bool heading);
  string GetCellText(int32_t row, int32_t column, bool indexed);
  string CellText(int32_t row, int32_t column) const;  // empty when there is no such cell

  // Sorting: per column 0 = does not sort, 1 = ascending, other = descending.
  int32_t GetSortDirection(int32_t column) const;
  void SetSortDirection(int32_t column, int32_t direction);
  int32_t SortedColumn() const { return mSortedColumn; }
  // Names the column the next Sort() uses, without sorting; -1: none.
  void SetSortedColumn(int32_t column) { mSortedColumn = column; }
  void SortByColumn(int32_t column);

 protected:
  // Hooks for the pane. The defaults do nothing (or answer "no").
  virtual void InvalidateCell(int32_t /*row*/, int32_t /*column*/) {}
  virtual void InvalidateRow(int32_t /*row*/) {}
  virtual void InvalidateColumn(int32_t /*column*/) {}
  virtual void InvalidateAll() {}
  virtual void RowsInserted(int32_t /*index*/, int32_t /*count*/) {}
  // The rows leave the display and selection; may fire Change, which may remove rows again.
  virtual void RowsRemoving(int32_t /*first*/, int32_t /*count*/) {}
  // Ends a cell edit; `discard` drops the edited text instead of storing it.
  virtual void EndCellEdit(bool /*discard*/) {}
  virtual int32_t EditedRow() const { return -1; }
  virtual void FireExpandRow(int32_t /*row*/) {}
  virtual void FireCollapseRow(int32_t /*row*/) {}
  virtual bool HasHeading() const { return false; }
  virtual void SetHeadings(const string& /*tabbedText*/) {}
  virtual void ColumnCountChanged() {}
  virtual bool IsRowSelected(int32_t /*row*/) const { return false; }
  virtual int32_t SelectedRowCount() const { return 0; }
  virtual void SelectOnly(int32_t /*row*/) {}
  // True when the owner implements the event; `handled` / `result` carry its answers.
  virtual bool FireSortColumn(int32_t /*column*/, bool& /*sortedRows*/) { return false; }
  virtual bool FireCompareRows(int32_t /*row1*/, int32_t /*row2*/, int32_t /*column*/, int32_t& /*result*/) {
    return false;
  }
  // True when the owner compares rows itself (CompareRows), so every pair must be asked.
  virtual bool ComparesRowsItself() const { return false; }
  // True once a handler closed the list or its window: what the list was doing stops there.
  virtual bool IsListClosing() { return false; }
  // The text of a provider's field for a bound row; empty when it has none.
  virtual string BoundCellText(int32_t /*row*/, int32_t /*column*/) const { return string(); }

  // The index of the row with that id, searched from `hint` outwards; -1 when it is gone.
  int32_t FindRowId(uint32_t id, int32_t hint) const;

 private:
  friend struct ListSortContext;
  // Nil for rows outside the list (no report), and for cells without settings.
  const RowEntry* EntryOrNil(int32_t row) const;
  RowEntry* EntryOrNil(int32_t row) { return const_cast<RowEntry*>(std::as_const(*this).EntryOrNil(row)); }
  const CellAttributes* ExistingCell(int32_t row, int32_t column) const;
  // Where the rows a running ExpandRow handler adds go: after the rows under its folder. The
  // point moves with each row the list puts in or takes out meanwhile, so that a folder filled
  // from its ExpandRow is not walked again for every row it gets.
  struct ExpandPoint {
    uint32_t folderId;
    int32_t folder;  // -1 once the folder is gone, for good: a row's id is never used again
    int32_t end;     // the row after the folder's last descendant
    bool known;      // false: folder and end are to be found again
    ExpandPoint* outer;
  };
  // Where a row added by the running ExpandRow handler goes; nil when none runs or its folder
  // is gone or closed.
  ExpandPoint* OpenExpandPoint();
  // The points follow a row put in or taken out at `index`; after other changes they are found
  // again when next needed.
  void ExpandPointsRowInserted(int32_t index);
  void ExpandPointsRowRemoved(int32_t index);
  void ForgetExpandPoints();
  // Frees the cells of rows taken out of the list.
  void FreeRows(std::vector<RowEntry>& rows);
  // True while the row's removal is under way further up the call chain.
  bool IsBeingRemoved(uint32_t id) const;
  void RemoveDescendants(int32_t folder);
  // The last row under the row whose removal is not under way further up the call chain; the
  // row itself when there is none.
  int32_t LastRowUnder(int32_t row) const;
  void RemoveRowsUnder(uint32_t id, int32_t hint, bool itself);
  void SetRowFields(int32_t row, const string& text);
  void StoreRowFields(int32_t row, const string& line, int32_t onlyColumn);
  void AddRowsUpTo(int32_t row);
  void AppendRowText(int32_t row, string& out) const;
  // Rows were added, removed or moved other than by the sort itself.
  void NoteRowsChanged() { ++mRowsGeneration; }
  // [start1, start1 + count1) and [start2, start2 + count2) change places, what lies between
  // shifting; false for ranges that are not inside the rows and apart.
  bool ExchangeRows(int32_t start1, int32_t count1, int32_t start2, int32_t count2);
  void SortRange(struct ListSortContext& context, int32_t first, int32_t count);
  void SortFlatRange(int32_t first, int32_t count, int32_t direction);
  int32_t CompareGroupRows(int32_t row1, int32_t row2, int32_t direction);

  ListColumns& mColumns;
  std::vector<RowEntry> mRows;
  uint32_t mNextRowId = 0;
  uint8_t mColumnTypes[kMaxListColumns] = {};
  int16_t mTextSize = 0;
  int32_t mDefaultHorizontalGrid = 0;
  int32_t mDefaultVerticalGrid = 0;
  bool mBordersSet = false;
  bool mHierarchical = false;
  // The innermost running ExpandRow event's point; the others follow it through `outer`.
  ExpandPoint* mExpanding = nullptr;
  int32_t mLastAddedRow = -1;
  int32_t mSortedColumn = -1;
  int32_t mSortDirections[kMaxListColumns];
  bool mSorting = false;
  uint32_t mRowsGeneration = 0;
  bool mBound = false;
  int32_t mBoundRowCount = 0;
};

}  // namespace vorn
