// A cursor over one table's rows (or the list of tables) in key order: column values, and
// deleting and updating the current row. Large-object columns give the object's bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "database/db_handle.h"
#include "database/db_moved_keys.h"
#include "database/db_row_filter.h"
#include "database/db_tree.h"

namespace vorn {

class vndbCursor final : private vndbHandle::Watcher {
 public:
  struct Column {
    std::string name;
    uint8_t field = 0;
    uint8_t type = 0;
    bool gone = false;  // the table no longer has it: it reads NULL and refuses a write
  };

  // Columns by name, "*" adding every column of the table; null for an unknown table or column.
  // Only rows that satisfy `filter` (null: every row) are visited; a filter naming an unknown
  // column gives null too.
  static std::unique_ptr<vndbCursor> Open(vndbHandle& handle, const std::string& table,
                                          const std::vector<std::string>& columns,
                                          const dbFilter* filter = nullptr);
  // The names of the tables, as the single column "TableName", in name order.
  static std::unique_ptr<vndbCursor> OpenTableList(vndbHandle& handle);
  ~vndbCursor();
  vndbCursor(const vndbCursor&) = delete;
  vndbCursor& operator=(const vndbCursor&) = delete;

  size_t ColumnCount() const { return mColumns.size(); }
  // Empty outside the columns.
  std::string ColumnName(size_t index) const;
  // The type code stored in the current row for the column, 0 when absent.
  uint8_t ColumnType(size_t index);
  // The value of the column in the current row (type 0 for NULL); a large-object column
  // yields its bytes in `bytes`. Nothing when there is no current row or the object is lost.
  std::optional<DbValue> ColumnValue(size_t index);
  // The same into a value the caller keeps, so that its buffer serves row after row.
  bool ColumnValueInto(size_t index, DbValue& value);

  bool NextRow();
  // Steps back to the last row before the row given last, by its key as it stands now (or as
  // it was, once no live record holds it), or to the last row when the walk ended or with
  // `toLast`. False when there is none: the next NextRow then gives the first row. A step back
  // begins a new pass: rows this walk moved ahead are met again where they now stand.
  bool PreviousRow(bool toLast = false);
  // Tells the walk that the file is about to be changed through someone else; called before
  // the change, while the walk still stands on the row it gave.
  void Disturb() {
    KeepLastKey();
    mDisturbed = true;
    mSourceKeyRow = UINT64_MAX;
  }
  // Writes reach the row the walk gave where it now stands, found again by its key (the primary
  // key, or the record id of a table without one) after changes through others; a row no live
  // record holds any more (deleted, or its key changed) is refused (2003) and nothing written.
  bool DeleteRow();
  // Replaces the current row by one with the edited columns (index, value text, nothing for
  // NULL) converted like inserted values. A row whose key changed stands at its new key at once
  // (and stays the row given, to be read and written again); the walk goes on from its old key
  // and does not give it again. A key another row holds is refused (2005), as is NULL in a NOT
  // NULL column; failures are reported through the handle and change nothing.
  bool UpdateRow(const std::vector<std::pair<size_t, std::optional<std::string>>>& edits);
  // The key the walk's order has for the row given last, as it stands now or, once no live
  // record holds it, as it was when last seen; false before the first row.
  bool GivenKey(Bytes* key);
  // "table!column", and the condition text that selects the current row by its primary key;
  // both stay valid until the walk moves.
  std::string_view ColumnSource(size_t index, std::string_view* key);

 private:
  vndbCursor(vndbHandle& handle, std::string table) : mHandle(handle), mTable(std::move(table)) {
    mHandle.Watch(this);
  }
  // The key of the row given last is kept while the pages of the transaction are there; a
  // transaction undone takes this walk's moves made in it along, and the pages and places it
  // kept: the row given last is found again by the key it has now.
  void BeforeEnd() override { KeepLastKey(); }
  void AfterEnd(bool kept) override;

  // Takes the table's columns as they are now when they changed since the walk looked (a
  // column added, or taken away by a rollback): a row is written whole, the columns added
  // since included, and a column no longer there is never written.
  void FollowSchema();
  // The field's value in the record, large objects read; nothing without a record, or when the
  // object is lost.
  std::optional<DbValue> FieldValue(const uint8_t* record, size_t length, uint8_t field);
  bool FieldValueInto(const uint8_t* record, size_t length, uint8_t field, DbValue& value);
  // The record of the row given last as reads see it: where it now stands or, once no live
  // record holds its key, as it was last seen (as a sorted result keeps it).
  const uint8_t* RowRecord(size_t* length);
  // Whether the live rows of the current leaf (or, on a leaf changed since it was looked at
  // whole, the live `record` of it) hold only fields the table's columns claim, each stored as
  // its column's type: anything else is damage of the rows or of the catalogue, and read on it
  // would give wrong values without an error.
  bool LeafFitsColumns(vndbPage* leaf, const uint8_t* record, size_t length);
  // Notes the key of the row given last, before anything may move it; a walk nobody changes
  // never needs it, so it is not built for every row.
  void KeepLastKey();
  // Whether the position stands on a live record: the row given, also where this walk moved it
  // (out of the key prefix the walk keeps to, maybe).
  bool OnLiveRecord();
  // Whether the position still stands where the row given last was: its leaf unchanged since.
  bool PositionStands();
  // Notes the leaf and record the position stands on as the row's place.
  void MarkPosition();
  void MarkPositionAt(const vndbPage* leaf, const uint8_t* record);
  // Puts the position back on the row given last when its leaf changed since (or, with
  // `wholePath`, when the file changed elsewhere too: a write needs the levels above right).
  // False when no live record holds its key any more; the walk then goes on after it.
  bool OnRow(bool wholePath);
  // Ends the walk; false.
  bool EndWalk();
  // The tree again after the walk ended, for a step back.
  bool OpenTree();
  // Makes the live `record` of `leaf`, where the tree stands, the row given.
  void Give(vndbPage* leaf, const uint8_t* record);
  // Whether the walk's live record is one this walk moved there from a key it had passed.
  bool MetBefore(const uint8_t* record, size_t length);

  vndbHandle& mHandle;
  std::string mTable;
  std::shared_ptr<const DbTableSchema> mSchema;
  uint64_t mSchemaVersion = 0;  // the handle's, when mSchema was taken
  std::unique_ptr<vndbTree> mTree;
  std::vector<Column> mColumns;
  std::unique_ptr<DbRowFilter> mFilter;
  // The key prefix the filter pins the rows to (empty: none), and whether the walk went there.
  Bytes mSeek;
  bool mSought = false;
  bool mEnded = false;
  bool mRestart = false;  // a step back found no row: the next NextRow begins at the first
  std::string mTreeName;
  Bytes mKeyFields;
  Bytes mLastKey;               // of the row given last, once kept
  bool mHasLastKey = false;
  uint64_t mLastKeyRow = 0;      // the count of rows given when it was kept
  bool mLastKeyPending = false;  // a row was given whose key is not kept yet
  // Where the row given last stood: its leaf at that leaf's version, and its record id, which
  // finds it on the leaf when the page is read again before its key was kept.
  uint32_t mRowPage = 0;
  uint64_t mRowVersion = 0;
  uint32_t mRowId = 0;
  bool mRowGone = false;  // no live record holds its key any more
  Bytes mLastRecord;      // the row as it was when its key was kept
  // The key the row given last had when given, once this walk moved the row to another key: the
  // walk goes on from there.
  Bytes mMovedFrom;
  bool mMoved = false;
  // The keys rows given by this walk were moved to, ahead of it.
  DbMovedKeys mMovedKeys;
  uint32_t mEnds = 0;  // transactions ended while the walk was open
  // The key the row given last had when the open transaction began, once this walk moved it.
  Bytes mKeyAtBegin;
  bool mMovedInTransaction = false;
  Bytes mVisitKey;  // kept for its buffer
  uint32_t mFitLeaf = kDbNoPage;  // the leaf of the row given last
  // The key condition of the row given last, built once for all of its columns.
  std::string mSourceKey;
  DbValue mKeyValue;  // kept for its buffer
  // "[column]" of each key column with its position, in key order, made once.
  std::vector<std::pair<uint8_t, std::string>> mKeyLabels;
  bool mKeyLabelsMade = false;
  std::vector<std::string> mSourceNames;  // "table!column" of each column, made once
  uint64_t mRowsGiven = 0;
  uint64_t mTroubles = 0;  // the file's count when the walk began
  uint64_t mSourceKeyRow = UINT64_MAX;
  bool mDisturbed = false;
};

}  // namespace vorn
