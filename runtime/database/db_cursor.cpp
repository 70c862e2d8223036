#include "database/db_cursor.h"

#include "database/db_large_object.h"
#include "database/db_value_text.h"

namespace vorn {
namespace {

bool IsLargeObject(uint8_t type) {
  return type == kDbLongVarchar || type == kDbLongVarbinary;
}

// The key value as a condition literal: numbers bare when they read back exactly, everything
// else quoted with its quotes doubled, so that no value can end the condition early.
std::string KeyLiteral(const DbValue& value) {
  const std::string text = DbValueLiteral(value);
  if (value.type == kDbSmallint || value.type == kDbInteger) return text;
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::unique_ptr<vndbCursor> vndbCursor::Open(vndbHandle& handle, const std::string& table,
                                             const std::vector<std::string>& columns, const dbFilter* filter) {
  std::shared_ptr<const DbTableSchema> schema = handle.FindSchema(table);
  if (!schema) return nullptr;
  std::unique_ptr<vndbCursor> cursor(new vndbCursor(handle, schema->name));
  bool known = true;
  cursor->mFilter = DbRowFilter::Build(filter, *schema, &known);
  if (!known) return nullptr;
  for (const std::string& name : columns) {
    if (name == "*") {
      for (const DbColumn& column : schema->columns)
        cursor->mColumns.push_back({column.name, column.position, column.type});
      continue;
    }
    const DbColumn* column = schema->Column(name);
    if (!column) return nullptr;
    cursor->mColumns.push_back({column->name, column->position, column->type});
  }
  cursor->mTree = vndbTree::OpenNamedTree(handle.File(), std::to_string(schema->id), schema->primaryKey);
  if (!cursor->mTree) return nullptr;
  cursor->mSchema = std::move(schema);
  return cursor;
}

std::unique_ptr<vndbCursor> vndbCursor::OpenTableList(vndbHandle& handle) {
  std::unique_ptr<vndbCursor> cursor(new vndbCursor(handle, kDbTablesTree));
  cursor->mColumns.push_back({"TableName", 1, kDbVarchar});
  cursor->mTree = vndbTree::OpenNamedTree(handle.File(), kDbTablesTree, {1});
  if (!cursor->mTree) return nullptr;
  return cursor;
}

std::string vndbCursor::ColumnName(size_t index) const {
  return index < mColumns.size() ? mColumns[index].name : std::string();
}

uint8_t vndbCursor::ColumnType(size_t index) {
  if (index >= mColumns.size() || !mTree) return 0;
  return mTree->GetField(mColumns[index].field).type;
}

std::optional<DbValue> vndbCursor::ColumnValue(size_t index) {
  if (index >= mColumns.size()) return std::nullopt;
  return FieldValue(mColumns[index].field);
}

std::optional<DbValue> vndbCursor::FieldValue(uint8_t field) {
  if (!mTree) return std::nullopt;
  size_t length = 0;
  if (!mTree->CurrentRecord(&length)) return std::nullopt;
  DbValue value = DbDecodeField(mTree->GetField(field));
  if (IsLargeObject(value.type)) {
    std::optional<Bytes> bytes = ReadLargeObject(mHandle.File(), uint32_t(value.integer));
    if (!bytes) return std::nullopt;
    value.bytes = std::move(*bytes);
  }
  return value;
}

bool vndbCursor::NextRow() {
  if (mEnded || !mTree) return false;
  // Changes made through others while the walk is open may have moved records or split pages
  // under its path: it then finds its place again by the last key it gave.
  if (mDisturbed && mHasLastKey) {
    bool found = false;
    if (mTree->Find(mLastKey, &found) && found) mTree->Next();  // stays on the row already given
  }
  mDisturbed = false;
  const DbRowFilter::FieldReader read = [this](uint8_t field) { return FieldValue(field); };
  while (mTree->Next()) {
    if (mTree->IsCurrentVisible() && (!mFilter || mFilter->Matches(read))) {
      mLastKey = mTree->CurrentKey();
      mHasLastKey = true;
      return true;
    }
  }
  // The walk is over: rows whose key changed are put back now.
  mTree.reset();
  mEnded = true;
  return false;
}

bool vndbCursor::DeleteRow() {
  mHandle.ClearError();
  if (!mTree || !mTree->IsCurrentVisible()) return false;
  if (mSchema) {
    for (const DbColumn& column : mSchema->columns) {
      DbFieldRef field = mTree->GetField(column.position);
      if (IsLargeObject(field.type)) DeleteLargeObject(mHandle.File(), DbGet32(field.value));
    }
  }
  return mTree->DeleteCurrent();
}

bool vndbCursor::UpdateRow(const std::vector<std::pair<size_t, std::optional<std::string>>>& edits) {
  mHandle.ClearError();
  if (!mSchema || !mTree || !mTree->IsCurrentVisible()) return false;
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
  if (record.size() > kDbDataSize) return undo(), mHandle.Fail(kDbErrorTooLong, "Insert failed: data too long");
  const Bytes key = mTree->BuildKey(record.data(), record.size());
  const bool moved = !mSchema->primaryKey.empty() && key != mTree->CurrentKey();
  if (moved && KeyTaken(key))
    return undo(), mHandle.Fail(kDbErrorPrimaryKey, "Insert failed: primary key violation");
  if (!mTree->ReplaceCurrent(record)) return undo();
  if (moved) mMovedKeys.insert(key);
  for (uint32_t id : replaced) DeleteLargeObject(mHandle.File(), id);
  return true;
}

bool vndbCursor::KeyTaken(const Bytes& key) {
  // Rows moved earlier in this walk wait outside the tree until it ends.
  if (mMovedKeys.count(key)) return true;
  std::unique_ptr<vndbTree> other =
      vndbTree::OpenNamedTree(mHandle.File(), std::to_string(mSchema->id), mSchema->primaryKey);
  bool found = false;
  return !other || !other->Find(key, &found) || found;
}

std::string vndbCursor::ColumnSource(size_t index, std::string* key) {
  if (key) key->clear();
  if (index >= mColumns.size()) return {};
  if (key && mSchema && mTree) {
    for (uint8_t position : mSchema->primaryKey) {
      for (const DbColumn& column : mSchema->columns) {
        if (column.position != position) continue;
        if (!key->empty()) *key += " and ";
        const DbValue value = DbDecodeField(mTree->GetField(position));
        *key += "[" + column.name + "]" + (value.type ? " = " + KeyLiteral(value) : " is null");
      }
    }
  }
  return mTable + "!" + mColumns[index].name;
}

}  // namespace vorn
