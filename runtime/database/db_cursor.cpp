#include "database/db_cursor.h"

#include <charconv>
#include <cstdlib>

#include "database/db_large_object.h"
#include "database/db_value_text.h"
#include "database/sql_condition.h"
#include "strings/vstring.h"

namespace vorn {
namespace {

bool IsLargeObject(uint8_t type) {
  return type == kDbLongVarchar || type == kDbLongVarbinary;
}

// The key value as a condition literal: numbers bare when they read back exactly, everything
// else quoted with its quotes doubled, so that no value can end the condition early.
void AppendKeyLiteral(std::string& out, const DbValue& value) {
  if (value.type == kDbSmallint || value.type == kDbInteger) {
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, value.integer);
    out.append(digits, written.ptr);
    return;
  }
  out += '\'';
  for (char c : DbValueLiteral(value)) {
    out += c;
    if (c == '\'') out += c;
  }
  out += '\'';
}

// The key prefix an equality on the first primary-key column pins every satisfying row to,
// when the condition requires it whatever else it says. Only plain decimal integers qualify:
// any reading of such a literal names the one key.
Bytes KeyPrefix(const dbFilter* filter, const DbTableSchema& schema) {
  if (!filter || schema.primaryKey.empty()) return {};
  if (filter->op == kSqlAnd) {
    Bytes left = KeyPrefix(filter->left, schema);
    return left.empty() ? KeyPrefix(filter->right, schema) : left;
  }
  if (filter->op != kSqlEqual || !filter->column || !filter->value) return {};
  const DbColumn* column = schema.Column(std::string(string::Share(filter->column).View()));
  if (!column || column->position != schema.primaryKey[0] ||
      (column->type != kDbInteger && column->type != kDbSmallint))
    return {};
  std::string text(string::Share(filter->value).View());
  size_t digits = text.size() > 0 && text[0] == '-' ? 1 : 0;
  if (text.size() <= digits || text.size() - digits > 9 ||
      text.find_first_not_of("0123456789", digits) != std::string::npos)
    return {};
  int64_t value = std::strtoll(text.c_str(), nullptr, 10);
  uint8_t bytes[4];
  if (column->type == kDbSmallint) {
    if (value < INT16_MIN || value > INT16_MAX) return {};
    DbPut16(bytes, uint16_t(int16_t(value)));
  } else {
    DbPut32(bytes, uint32_t(int32_t(value)));
  }
  Bytes key;
  DbAppendKeyValue(key, column->type, bytes, column->type == kDbSmallint ? 2 : 4);
  return key;
}

}  // namespace

std::unique_ptr<vndbCursor> vndbCursor::Open(vndbHandle& handle, const std::string& table,
                                             const std::vector<std::string>& columns, const dbFilter* filter) {
  vndbFile::Scope scope(handle.File());
  handle.Ready();
  std::shared_ptr<const DbTableSchema> schema = handle.FindSchema(table);
  if (!schema) return handle.Fail(kDbErrorUnknown, "Unknown table " + table), nullptr;
  if (!handle.SchemaSound(*schema)) return nullptr;
  std::unique_ptr<vndbCursor> cursor(new vndbCursor(handle, schema->name));
  DbRowFilter::Refusal refusal;
  cursor->mFilter = DbRowFilter::Build(filter, *schema, &refusal);
  if (refusal.refused) {
    handle.Fail(kDbErrorUnknown, refusal.literal.empty() ? "Unknown column " + refusal.column
                                                         : DbOutOfRangeMessage(refusal.literal, refusal.column));
    return nullptr;
  }
  cursor->mSeek = KeyPrefix(filter, *schema);
  for (const std::string& name : columns) {
    if (name == "*") {
      for (const DbColumn& column : schema->columns)
        cursor->mColumns.push_back({column.name, column.position, column.type});
      continue;
    }
    const DbColumn* column = schema->Column(name);
    if (!column) return handle.Fail(kDbErrorUnknown, "Unknown column " + name), nullptr;
    cursor->mColumns.push_back({column->name, column->position, column->type});
  }
  cursor->mTreeName = std::to_string(schema->id);
  cursor->mKeyFields = schema->primaryKey;
  if (!cursor->OpenTree()) return handle.FailRowsMissing(*schema), nullptr;
  cursor->mSchema = std::move(schema);
  cursor->mSchemaVersion = handle.SchemaVersion();
  cursor->mTroubles = handle.File().Troubles();
  return cursor;
}

void vndbCursor::FollowSchema() {
  if (!mSchema || mHandle.SchemaVersion() == mSchemaVersion) return;
  mSchemaVersion = mHandle.SchemaVersion();
  std::shared_ptr<const DbTableSchema> now = mHandle.FindSchema(mTable);
  // A table gone with a rollback has no rows left to walk either.
  if (!now || now->id != mSchema->id) return;
  for (Column& column : mColumns) {
    // A position freed by a rollback may be given to another column later.
    const DbColumn* same = now->Column(column.name);
    column.gone = !same || same->position != column.field;
  }
  mSchema = std::move(now);
  mKeyLabelsMade = false;
  mSourceKeyRow = UINT64_MAX;
}

vndbCursor::~vndbCursor() { mHandle.Unwatch(this); }

void vndbCursor::AfterEnd(bool kept) {
  ++mEnds;
  const bool moved = std::exchange(mMovedInTransaction, false);
  if (kept) return;
  mMovedKeys.Undo(mEnds - 1);
  if (moved) {
    mLastKey = mKeyAtBegin;
    mHasLastKey = true;
    mLastKeyRow = mRowsGiven;
  }
  // A row gone in the transaction may be back: it is looked for again by its key.
  if (mHasLastKey && mLastKeyRow == mRowsGiven) mRowGone = false;
  mDisturbed = true;
  mSourceKeyRow = UINT64_MAX;
}

std::unique_ptr<vndbCursor> vndbCursor::OpenTableList(vndbHandle& handle) {
  vndbFile::Scope scope(handle.File());
  std::unique_ptr<vndbCursor> cursor(new vndbCursor(handle, kDbTablesTree));
  cursor->mColumns.push_back({"TableName", 1, kDbVarchar});
  cursor->mTreeName = kDbTablesTree;
  cursor->mKeyFields = {1};
  if (!cursor->OpenTree()) return nullptr;
  cursor->mTroubles = handle.File().Troubles();
  return cursor;
}

std::string vndbCursor::ColumnName(size_t index) const {
  return index < mColumns.size() ? mColumns[index].name : std::string();
}

uint8_t vndbCursor::ColumnType(size_t index) {
  FollowSchema();
  if (index >= mColumns.size() || !mTree || mColumns[index].gone) return 0;
  vndbFile::Scope scope(mHandle.File());
  size_t length = 0;
  const uint8_t* record = RowRecord(&length);
  return record ? DbFindField(record, length, mColumns[index].field).type : 0;
}

std::optional<DbValue> vndbCursor::ColumnValue(size_t index) {
  FollowSchema();
  if (index >= mColumns.size() || !mTree || mColumns[index].gone) return std::nullopt;
  vndbFile::Scope scope(mHandle.File());
  size_t length = 0;
  const uint8_t* record = RowRecord(&length);
  return FieldValue(record, length, mColumns[index].field);
}

bool vndbCursor::ColumnValueInto(size_t index, DbValue& value) {
  FollowSchema();
  if (index >= mColumns.size() || !mTree || mColumns[index].gone) return false;
  vndbFile::Scope scope(mHandle.File());
  size_t length = 0;
  const uint8_t* record = RowRecord(&length);
  return FieldValueInto(record, length, mColumns[index].field, value);
}

std::optional<DbValue> vndbCursor::FieldValue(const uint8_t* record, size_t length, uint8_t field) {
  DbValue value;
  if (!FieldValueInto(record, length, field, value)) return std::nullopt;
  return value;
}

bool vndbCursor::FieldValueInto(const uint8_t* record, size_t length, uint8_t field, DbValue& value) {
  if (!record) return false;
  DbDecodeFieldInto(DbFindField(record, length, field), value);
  if (IsLargeObject(value.type)) {
    std::optional<Bytes> bytes = ReadLargeObject(mHandle.File(), uint32_t(value.integer));
    if (!bytes) return false;
    value.bytes = std::move(*bytes);
  }
  return true;
}

bool vndbCursor::OpenTree() {
  mTree = vndbTree::OpenNamedTree(mHandle.File(), mTreeName, mKeyFields);
  if (mTree && mSought && !mSeek.empty()) mTree->SetFilter(mSeek);
  return mTree != nullptr;
}

bool vndbCursor::NextRow() {
  FollowSchema();
  const bool restart = std::exchange(mRestart, false);
  if (restart) {
    mSought = false;
    mEnded = false;
    if (!mTree && !OpenTree()) return EndWalk();
    bool found = false;
    if (mSeek.empty() && !mTree->Find({}, &found)) return EndWalk();
  }
  if (mEnded || !mTree) return false;
  vndbFile::Scope scope(mHandle.File());
  const DbRowFilter::FieldReader read = [this](uint8_t field) {
    size_t length = 0;
    const uint8_t* record = mTree->CurrentRecord(&length);
    return FieldValue(record, length, field);
  };
  if (!mSeek.empty() && !mSought) {
    // Straight to the rows of that key, instead of past every row before them.
    mSought = true;
    bool found = false;
    mTree->SetFilter(mSeek);
    if (!mTree->Find(mSeek, &found)) mSeek.clear();
  }
  // Changes made through others while the walk is open may have moved records or split pages
  // under its path, and a page read again leaves its deleted records out: the walk then finds
  // its place again by the last key it gave, or by the key that row had when given once the
  // walk moved it to another.
  if (mRowsGiven > 0 && !restart && (mMoved || mDisturbed || !PositionStands())) {
    KeepLastKey();
    const Bytes* from = mMoved ? &mMovedFrom : mHasLastKey ? &mLastKey : nullptr;
    bool found = false;
    if (from && mTree->Find(*from, &found) && found) mTree->Next();  // stays on the row already given
  }
  mDisturbed = false;
  mMoved = false;
  mMovedInTransaction = false;
  while (mTree->Next()) {
    vndbPage* leaf = mTree->CurrentLeaf();
    size_t length = 0;
    const uint8_t* record = mTree->CurrentRecordIn(leaf, &length);
    if (!mSeek.empty() && mTree->EndsKeyWalk(record, length, mSeek)) break;
    if (!mTree->Visible(record, length)) continue;
    if (!mMovedKeys.Empty() && MetBefore(record, length)) continue;
    if (mSchema && !LeafFitsColumns(leaf, record, length)) {
      mHandle.File().ReportDamage("a row of table " + mTable + " holds fields its columns do not describe");
      break;
    }
    if (!mFilter || mFilter->Matches(record, length, read)) {
      Give(leaf, record);
      return true;
    }
  }
  return EndWalk();
}

void vndbCursor::Give(vndbPage* leaf, const uint8_t* record) {
  mLastRecord.clear();
  mRowGone = false;
  MarkPositionAt(leaf, record);
  ++mRowsGiven;
}

namespace {

// The least key above every key that begins with `prefix`; empty when there is none.
Bytes PastPrefix(Bytes prefix) {
  while (!prefix.empty() && prefix.back() == 0xFF) prefix.pop_back();
  if (!prefix.empty()) ++prefix.back();
  return prefix;
}

}  // namespace

bool vndbCursor::PreviousRow(bool toLast) {
  FollowSchema();
  vndbFile::Scope scope(mHandle.File());
  const bool fromEnd = toLast || mEnded;
  // Before the first row there is nothing further back.
  if (!fromEnd && (mRowsGiven == 0 || mRestart)) return mRestart = true, false;
  Bytes from;
  if (!fromEnd && !GivenKey(&from)) {
    // The row's key was never kept: it stands where the position does.
    if (!mTree) return false;
    from = mTree->CurrentKey();
  }
  if (!mTree && !OpenTree()) return EndWalk();
  // A walk of one key prefix steps back from the end of that prefix's rows.
  if (fromEnd && !mSeek.empty()) from = PastPrefix(mSeek);
  bool found = false;
  if (!(from.empty() ? mTree->SeekEnd() : mTree->Find(from, &found))) return EndWalk();
  if (!mSeek.empty() && !mSought) {
    mSought = true;
    mTree->SetFilter(mSeek);
  }
  mEnded = false;
  mRestart = false;
  mDisturbed = false;
  mMoved = false;
  mMovedInTransaction = false;
  mMovedKeys = DbMovedKeys();
  mSourceKeyRow = UINT64_MAX;
  const DbRowFilter::FieldReader read = [this](uint8_t field) {
    size_t length = 0;
    const uint8_t* record = mTree->CurrentRecord(&length);
    return FieldValue(record, length, field);
  };
  while (mTree->PreviousLive()) {
    vndbPage* leaf = mTree->CurrentLeaf();
    size_t length = 0;
    const uint8_t* record = mTree->CurrentRecordIn(leaf, &length);
    if (!record) break;
    if (!mSeek.empty() && mTree->EndsKeyWalk(record, length, mSeek) &&
        DbCompareKeys(mTree->CurrentKey(), mSeek) < 0)
      break;
    if (!mTree->Visible(record, length)) continue;
    if (mSchema && !LeafFitsColumns(leaf, record, length)) {
      mHandle.File().ReportDamage("a row of table " + mTable + " holds fields its columns do not describe");
      return EndWalk();
    }
    if (!mFilter || mFilter->Matches(record, length, read)) {
      Give(leaf, record);
      return true;
    }
  }
  if (mHandle.File().Troubles() != mTroubles) return EndWalk();
  mRestart = true;
  return false;
}

bool vndbCursor::EndWalk() {
  mTree.reset();
  mEnded = true;
  // A walk cut short by damage must not pass for the end of the rows; damage found before it
  // began, elsewhere, leaves it as it is.
  if (mHandle.File().Troubles() != mTroubles) mHandle.NoteFileDamage();
  return false;
}

bool vndbCursor::MetBefore(const uint8_t* record, size_t length) {
  mTree->BuildKeyInto(mVisitKey, record, length);
  return mMovedKeys.Holds(mVisitKey, DbGet32(record + kDbRecordIdOffset));
}

bool vndbCursor::LeafFitsColumns(vndbPage* leaf, const uint8_t* record, size_t length) {
  const uint32_t previous = std::exchange(mFitLeaf, leaf->number);
  if (leaf->fitVersion == leaf->version && leaf->fitTable == mSchema->id) return true;
  // A leaf found sound as it came from the file changes only by rows written through the table's
  // columns: after a write to the leaf the walk stands on, the row given is looked at, not every
  // row of the leaf again. A walk that comes to a changed leaf looks at it whole, once.
  if (previous == leaf->number && leaf->fitTable == mSchema->id && leaf->fitVersion != UINT64_MAX)
    return DbRowFitsColumns(record, length, mSchema->fieldTypes.data());
  const uint8_t* data = leaf->Data();
  for (size_t at = 0; at + kDbRowFieldsOffset <= leaf->Used(); at += DbGet16(data + at)) {
    const size_t length = DbGet16(data + at);
    if (length < kDbRowFieldsOffset) return true;  // the page check refused it before
    if (data[at + 2] == kDbLive && !DbRowFitsColumns(data + at, length, mSchema->fieldTypes.data())) return false;
  }
  leaf->fitVersion = leaf->version;
  leaf->fitTable = mSchema->id;
  return true;
}

void vndbCursor::KeepLastKey() {
  if (!mLastKeyPending || !mTree) return;
  mLastKeyPending = false;
  vndbFile::Scope scope(mHandle.File());
  // A leaf that changed with no word to the walk was only read again, which leaves its deleted
  // records out and moves the rest: a live record is still on it, found by its id. One this
  // walk deleted is left out, but the write kept its key first: that key still tells where the
  // walk goes on.
  size_t length = 0;
  const uint8_t* record =
      PositionStands() ? mTree->CurrentRecord(&length) : mTree->RecordOn(mRowPage, mRowId, &length);
  mRowGone = !record;
  if (!record) return;
  mHasLastKey = true;
  mLastKeyRow = mRowsGiven;
  mTree->BuildKeyInto(mLastKey, record, length);
  mLastRecord.assign(record, record + length);
}

const uint8_t* vndbCursor::RowRecord(size_t* length) {
  if (OnRow(false)) return mTree->CurrentRecord(length);
  *length = mLastRecord.size();
  return mLastRecord.empty() ? nullptr : mLastRecord.data();
}

bool vndbCursor::OnLiveRecord() {
  size_t length = 0;
  const uint8_t* record = mTree->CurrentRecord(&length);
  return record && record[2] == kDbLive;
}

bool vndbCursor::PositionStands() {
  vndbPage* leaf = mTree->CurrentLeaf();
  return leaf && leaf->number == mRowPage && leaf->version == mRowVersion;
}

void vndbCursor::MarkPosition() {
  vndbPage* leaf = mTree->CurrentLeaf();
  size_t length = 0;
  if (const uint8_t* record = mTree->CurrentRecordIn(leaf, &length)) MarkPositionAt(leaf, record);
}

void vndbCursor::MarkPositionAt(const vndbPage* leaf, const uint8_t* record) {
  mRowPage = leaf->number;
  mRowVersion = leaf->version;
  mRowId = DbGet32(record + kDbRecordIdOffset);
  mLastKeyPending = true;  // what it holds now is kept when next needed
}

bool vndbCursor::OnRow(bool wholePath) {
  if (mRowsGiven == 0) return true;  // no row yet: the tree has none to give either
  if (mRowGone) return false;
  if (PositionStands() && !(wholePath && mDisturbed)) return true;
  KeepLastKey();
  bool found = false;
  if (!mHasLastKey || !mTree->Find(mLastKey, &found) || !found) {
    // The search left the position where the walk goes on.
    mRowGone = true;
    return false;
  }
  mTree->Next();  // the first step after a search stays on the record found
  mDisturbed = false;
  mSourceKeyRow = UINT64_MAX;
  MarkPosition();
  return true;
}

bool vndbCursor::DeleteRow() {
  KeepLastKey();
  mSourceKeyRow = UINT64_MAX;
  vndbFile::Scope scope(mHandle.File());
  mHandle.ClearError();
  if (!mTree || !mHandle.CanWrite()) return false;
  if (!OnRow(true) || !OnLiveRecord()) {
    if (mRowsGiven > 0) mHandle.Fail(kDbErrorUnknown, kDbRowGoneDelete);
    return false;
  }
  std::vector<uint32_t> objects;
  if (mSchema) {
    for (const DbColumn& column : mSchema->columns) {
      DbFieldRef field = mTree->GetField(column.position);
      if (IsLargeObject(field.type)) objects.push_back(DbGet32(field.value));
    }
  }
  if (!mTree->DeleteCurrent()) return false;
  MarkPosition();
  for (uint32_t id : objects) DeleteLargeObject(mHandle.File(), id);
  return true;
}

bool vndbCursor::UpdateRow(const std::vector<std::pair<size_t, std::optional<std::string>>>& edits) {
  KeepLastKey();
  mSourceKeyRow = UINT64_MAX;
  vndbFile::Scope scope(mHandle.File());
  mHandle.ClearError();
  if (!mSchema || !mTree || !mHandle.CanWrite()) return false;
  if (!OnRow(true) || !OnLiveRecord()) {
    if (mRowsGiven > 0) mHandle.Fail(kDbErrorUnknown, kDbRowGoneUpdate);
    return false;
  }
  FollowSchema();
  for (const auto& [index, edit] : edits)
    if (index < mColumns.size() && mColumns[index].gone) return mHandle.Fail(kDbErrorUnknown, "Unknown column " + mColumns[index].name);
  DbRow row;
  std::vector<uint32_t> replaced;
  std::vector<uint32_t> written;
  auto undo = [&] {
    for (uint32_t id : written) DeleteLargeObject(mHandle.File(), id);
    return false;
  };
  for (const DbColumn& column : mSchema->columns) {
    const std::optional<std::string>* text = nullptr;
    for (const auto& [index, edit] : edits)
      if (index < mColumns.size() && mColumns[index].field == column.position) text = &edit;
    DbFieldRef current = mTree->GetField(column.position);
    if (!text) {
      if (current.type) row.push_back({column.position, DbDecodeField(current)});
      continue;
    }
    if (IsLargeObject(current.type)) replaced.push_back(DbGet32(current.value));
    if (!*text) {
      if (!column.allowsNull) return undo(), mHandle.Fail(kDbErrorUnknown, "NotNull column violation");
      continue;
    }
    DbValue value;
    if (!mHandle.ConvertValue(column, **text, &value)) return undo();
    if (IsLargeObject(column.type)) written.push_back(uint32_t(value.integer));
    row.push_back({column.position, value});
  }
  Bytes record = DbBuildRow(row, 0, 0);
  const Bytes oldKey = mTree->CurrentKey();
  // A row that keeps its key stays under the position, to be read and written again; one that
  // takes another (every row of a table without a primary key: a new record id) goes where its
  // key belongs at once, and the position follows it.
  switch (mTree->ReplaceCurrent(std::move(record), true)) {
    case vndbTree::InsertResult::kInserted: break;
    case vndbTree::InsertResult::kDuplicate:
      return undo(), mHandle.Fail(kDbErrorPrimaryKey, "Insert failed: primary key violation");
    case vndbTree::InsertResult::kTooLong: return undo(), mHandle.Fail(kDbErrorTooLong, "Insert failed: data too long");
    case vndbTree::InsertResult::kFailed: return undo();
  }
  Bytes key = mTree->CurrentKey();
  if (key != oldKey) {
    if (!mMoved) mMovedFrom = oldKey;
    mMoved = true;
    if (!std::exchange(mMovedInTransaction, true)) mKeyAtBegin = oldKey;
    size_t length = 0;
    mMovedKeys.Put(key, DbGet32(mTree->CurrentRecord(&length) + kDbRecordIdOffset), mEnds);
  }
  MarkPosition();
  for (uint32_t id : replaced) DeleteLargeObject(mHandle.File(), id);
  return true;
}

bool vndbCursor::GivenKey(Bytes* key) {
  if (mRowsGiven == 0) return false;
  KeepLastKey();
  if (!mHasLastKey || mLastKeyRow != mRowsGiven) return false;
  *key = mLastKey;
  return true;
}

std::string_view vndbCursor::ColumnSource(size_t index, std::string_view* key) {
  if (key) *key = {};
  if (index >= mColumns.size()) return {};
  vndbFile::Scope scope(mHandle.File());
  // A row no longer there has no condition that selects it.
  if (key && mSchema && mTree && !OnRow(false)) key = nullptr;
  if (key && mSchema && mTree && mSourceKeyRow != mRowsGiven) {
    if (!mKeyLabelsMade) {
      for (uint8_t position : mSchema->primaryKey) {
        for (const DbColumn& column : mSchema->columns)
          if (column.position == position) mKeyLabels.emplace_back(position, "[" + column.name + "]");
      }
      mKeyLabelsMade = true;
    }
    mSourceKey.clear();
    for (const auto& [position, label] : mKeyLabels) {
      if (!mSourceKey.empty()) mSourceKey += " and ";
      DbDecodeFieldInto(mTree->GetField(position), mKeyValue);
      mSourceKey.append(label);
      if (mKeyValue.type) AppendKeyLiteral(mSourceKey.append(" = "), mKeyValue);
      else mSourceKey.append(" is null");
    }
    mSourceKeyRow = mRowsGiven;
  }
  if (key && mSchema && mTree) *key = mSourceKey;
  if (mSourceNames.size() != mColumns.size()) {
    mSourceNames.clear();
    for (const Column& column : mColumns) mSourceNames.push_back(mTable + "!" + column.name);
  }
  return mSourceNames[index];
}

}  // namespace vorn
