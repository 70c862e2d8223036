#include "database/db_handle.h"

#include <algorithm>
#include <cstdlib>

#include "database/db_large_object.h"
#include "database/db_tree.h"
#include "database/db_value_text.h"
#include "files/random_access_mechanism.h"

namespace vorn {
namespace {

// ASCII letters fold, as names are compared everywhere; names are short, so a loop beats a call.
bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const unsigned char x = static_cast<unsigned char>(a[i]);
    const unsigned char y = static_cast<unsigned char>(b[i]);
    if (x != y && ((x | 0x20) != (y | 0x20) || (x | 0x20) < 'a' || (x | 0x20) > 'z')) return false;
  }
  return true;
}

std::string Quoted(const std::string& table) { return "'" + table + "'"; }

}  // namespace

const DbColumn* DbTableSchema::Column(const std::string& wanted) const {
  for (const DbColumn& column : columns)
    if (SameText(column.name, wanted)) return &column;
  return nullptr;
}

vndbHandle::~vndbHandle() {
  if (mFile) mFile->Close();
}

std::unique_ptr<vndbHandle> vndbHandle::Create(std::unique_ptr<RandomAccessMechanism> stream) {
  return Create(StreamStorage(std::move(stream)));
}

std::unique_ptr<vndbHandle> vndbHandle::Create(std::unique_ptr<vndbStorage> storage) {
  std::unique_ptr<vndbHandle> handle(new vndbHandle);
  handle->mFile = std::make_unique<vndbFile>();
  // One commit for the empty file and its catalogue trees.
  if (!handle->mFile->Create(std::move(storage), false)) return nullptr;
  for (const char* name : {kDbTablesTree, kDbFieldsTree, kDbBlobTree})
    if (!vndbTree::CreateNamedTree(*handle->mFile, name)) return nullptr;
  if (!handle->mFile->Commit()) return nullptr;
  return handle;
}

std::unique_ptr<vndbHandle> vndbHandle::CreateFile(const std::string& path, std::string* error) {
  std::unique_ptr<vndbStorage> storage = OpenDiskStorage(path, true, error);
  if (!storage) return nullptr;
  return Create(std::move(storage));
}

std::unique_ptr<vndbHandle> vndbHandle::Open(std::unique_ptr<RandomAccessMechanism> stream,
                                             std::string* error) {
  return Open(StreamStorage(std::move(stream)), error);
}

std::unique_ptr<vndbHandle> vndbHandle::Open(std::unique_ptr<vndbStorage> storage, std::string* error,
                                             bool* damaged) {
  std::unique_ptr<vndbHandle> handle(new vndbHandle);
  handle->mFile = std::make_unique<vndbFile>();
  if (!handle->mFile->Open(std::move(storage)) || !handle->LoadSchemas()) {
    if (error) *error = handle->mFile->Error();
    if (damaged) *damaged = handle->mFile->RefusedAsDamaged();
    return nullptr;
  }
  // What is still there stays readable; the damage refuses every change and is the error. The
  // trees' pages are checked now, read-only or not: a page named outside the file would be
  // taken over by a new one, and a page named twice reads one tree's rows as another's.
  if (!handle->mFile->IsDamaged()) {
    vndbFile::Scope scope(*handle->mFile);
    std::vector<std::string> sharing;
    if (!vndbTree::CheckReach(*handle->mFile, &sharing)) {
      for (const auto& schema : handle->mSchemas)
        if (schema->damage.empty() && std::ranges::count(sharing, std::to_string(schema->id)))
          schema->damage = handle->mFile->DamageReason();
    }
  }
  handle->NoteFileDamage();
  return handle;
}

std::unique_ptr<vndbHandle> vndbHandle::OpenFile(const std::string& path, std::string* error, bool* damaged) {
  std::unique_ptr<vndbStorage> storage = OpenDiskStorage(path, false, error);
  if (!storage) return nullptr;
  return Open(std::move(storage), error, damaged);
}

bool vndbHandle::Fail(int32_t code, const std::string& message) {
  mErrorCode = code;
  mErrorMessage = message;
  return false;
}

bool vndbHandle::FailFile(int32_t code, const std::string& message) {
  if (mFile->IsDamaged()) return Fail(kDbErrorInternal, mFile->Error());
  return Fail(code, message);
}

bool vndbHandle::Ready() {
  if (!mFile->Usable()) return false;
  // A failed commit undone only now leaves the cache of schemas to be read again.
  if (mSchemasStale) {
    mSchemasStale = false;
    LoadSchemas();
  }
  return !mFile->IsDamaged();
}

bool vndbHandle::CanWrite() {
  if (!Ready()) return Fail(kDbErrorInternal, mFile->Error());
  if (mFile->ReadOnly()) return Fail(kDbErrorInternal, "The database file is read-only");
  if (!mFile->StillNamed()) return Fail(kDbErrorInternal, kDbFileMoved);
  return true;
}

bool vndbHandle::SchemaSound(const DbTableSchema& schema) {
  if (schema.damage.empty()) return true;
  return Fail(kDbErrorInternal, "The database file is damaged: " + schema.damage);
}

bool vndbHandle::NoteFileDamage() {
  if (!mFile->IsDamaged()) return false;
  Fail(kDbErrorInternal, mFile->Error());
  return true;
}

bool vndbHandle::FailRowsMissing(const DbTableSchema& schema) {
  if (!NoteFileDamage()) Fail(kDbErrorInternal, "The database file is damaged: the rows of table " + schema.name + " are missing");
  return false;
}

void vndbHandle::ClearError() {
  mErrorCode = 0;
  mErrorMessage.clear();
}

std::shared_ptr<const DbTableSchema> vndbHandle::FindSchema(const std::string& name) const {
  for (const auto& schema : mSchemas)
    if (SameText(schema->name, name)) return schema;
  return nullptr;
}

bool vndbHandle::CreateTable(const std::string& name, const std::vector<DbColumnSpec>& columns,
                             const std::vector<size_t>& keyPositions) {
  vndbFile::Scope scope(*mFile);
  ClearError();
  if (!CanWrite()) return false;
  if (FindSchema(name))
    return Fail(kDbErrorExists, "Unable to create " + name + " because it already exists");
  // Checked before anything is written, so a refused table leaves no empty tree behind.
  for (const DbColumnSpec& column : columns)
    if (!DbIsStoredType(column.type))
      return Fail(kDbErrorType,
                  "Unable to create " + name + " because an unsupported column type was used");
  if (columns.empty()) return Fail(kDbErrorInternal, "Unable to create " + name + " because it has no columns");
  std::string internal = "Unable to create " + name + " due to an internal error";
  if (name.empty() || columns.size() > kDbMostColumns || keyPositions.size() > columns.size())
    return Fail(kDbErrorInternal, internal);
  for (size_t k = 0; k < keyPositions.size(); ++k) {
    if (keyPositions[k] >= columns.size()) return Fail(kDbErrorInternal, internal);
    // A column twice in the key would leave the key with a gap.
    for (size_t j = 0; j < k; ++j)
      if (keyPositions[j] == keyPositions[k]) return Fail(kDbErrorInternal, internal);
  }
  // A second column of one name would be refused part way, leaving the table half made.
  for (size_t i = 0; i < columns.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (SameText(columns[i].name, columns[j].name))
        return Fail(kDbErrorPrimaryKey, "Insert failed: primary key violation");
  uint32_t id = mFile->NewRecordId();
  if (!vndbTree::CreateNamedTree(*mFile, std::to_string(id))) return FailFile(kDbErrorInternal, internal);

  auto insert = [&](const char* tree, const Bytes& keyFields, const DbRow& row) {
    std::unique_ptr<vndbTree> target = vndbTree::OpenNamedTree(*mFile, tree, keyFields);
    if (!target) return FailFile(kDbErrorInternal, internal);
    return Inserted(
        target->InsertRecord(DbBuildRow(row, mFile->CurrentSerial(), mFile->NewRecordId()), true),
        internal);
  };
  if (!insert(kDbTablesTree, {1},
              {{0, DbValue::Integer(kDbInteger, id)}, {1, DbValue::Text(kDbVarchar, name)}}))
    return false;
  for (size_t i = 0; i < columns.size(); ++i) {
    DbRow row = {{0, DbValue::Integer(kDbInteger, id)},
                 {1, DbValue::Integer(kDbInteger, int64_t(i))},
                 {2, DbValue::Text(kDbVarchar, columns[i].name)},
                 {3, DbValue::Integer(kDbSmallint, columns[i].allowsNull ? 1 : 0)},
                 {4, DbValue::Integer(kDbSmallint, columns[i].type)}};
    for (size_t k = 0; k < keyPositions.size(); ++k)
      if (keyPositions[k] == i) row.push_back({5, DbValue::Integer(kDbSmallint, int64_t(k + 1))});
    if (!insert(kDbFieldsTree, {0, 2}, row)) return false;
  }
  if (!LoadSchema(id, name)) return FailFile(kDbErrorInternal, internal);
  return true;
}

bool vndbHandle::AddTableColumn(const std::string& table, const DbColumnSpec& column) {
  vndbFile::Scope scope(*mFile);
  ClearError();
  if (!CanWrite()) return false;
  std::shared_ptr<const DbTableSchema> schema = FindSchema(table);
  if (!schema)
    return Fail(kDbErrorUnknown, "Unable to add column " + column.name + " because table " +
                                     Quoted(table) + " doesn't exist");
  size_t position = 0;
  while (position < kDbMostColumns) {
    bool taken = false;
    for (const DbColumn& existing : schema->columns) taken |= existing.position == position;
    if (!taken) break;
    ++position;
  }
  if (!DbIsStoredType(column.type))
    return Fail(kDbErrorType, "Unable to add " + column.name + " because an unsupported  type was used");
  std::string internal = "Unable to create " + column.name + " due to an internal error";
  if (position >= kDbMostColumns) return Fail(kDbErrorInternal, internal);
  std::unique_ptr<vndbTree> fields = vndbTree::OpenNamedTree(*mFile, kDbFieldsTree, {0, 2});
  if (!fields) return FailFile(kDbErrorInternal, internal);
  DbRow row = {{0, DbValue::Integer(kDbInteger, schema->id)},
               {1, DbValue::Integer(kDbInteger, int64_t(position))},
               {2, DbValue::Text(kDbVarchar, column.name)},
               {3, DbValue::Integer(kDbSmallint, column.allowsNull ? 1 : 0)},
               {4, DbValue::Integer(kDbSmallint, column.type)}};
  if (!Inserted(fields->InsertRecord(DbBuildRow(row, mFile->CurrentSerial(), mFile->NewRecordId()), true),
                internal))
    return false;
  fields.reset();
  // Cursors keep the schema they were made with; the cache gets a fresh one.
  auto fresh = std::make_shared<DbTableSchema>();
  fresh->id = schema->id;
  fresh->name = schema->name;
  if (!ReadColumns(*fresh)) return FailFile(kDbErrorInternal, internal);
  for (auto& cached : mSchemas)
    if (cached->id == fresh->id) cached = fresh;
  ++mSchemaVersion;
  return true;
}

bool vndbHandle::ParseValue(const DbColumn& column, const std::string& text, DbValue* value) {
  switch (column.type) {
    case kDbSmallint: case kDbInteger: {
      const bool small = column.type == kDbSmallint;
      std::optional<int64_t> number =
          DbParseInteger(text, small ? INT16_MIN : INT32_MIN, small ? INT16_MAX : INT32_MAX);
      if (!number) return Fail(kDbErrorUnknown, DbOutOfRangeMessage(text, column.name));
      *value = DbValue::Integer(column.type, *number);
      return true;
    }
    case kDbVarchar: case kDbBinary:
      value->SetText(column.type, text);
      return true;
    case kDbFloat: case kDbDouble:
      *value = DbValue::Real(column.type, DbParseReal(text));
      return true;
    case kDbDate: case kDbTime: {
      bool outOfRange = false;
      std::optional<DbValue> parsed =
          column.type == kDbDate ? DbParseDate(text, &outOfRange) : DbParseTime(text, &outOfRange);
      if (!parsed) {
        if (outOfRange) return Fail(kDbErrorUnknown, DbOutOfRangeMessage(text, column.name));
        return Fail(kDbErrorUnknown, column.type == kDbDate ? "Invalid date format" : "Invalid time format");
      }
      *value = *parsed;
      return true;
    }
    case kDbBoolean:
      *value = DbValue::Integer(kDbBoolean, DbParseBoolean(text) ? 1 : 0);
      return true;
    default:
      return Fail(kDbErrorType, "Unable to add " + column.name + " because an unsupported  type was used");
  }
}

bool vndbHandle::ConvertValue(const DbColumn& column, const std::string& text, DbValue* value) {
  if (column.type != kDbLongVarchar && column.type != kDbLongVarbinary) return ParseValue(column, text, value);
  std::optional<uint32_t> id = WriteLargeObject(*mFile, reinterpret_cast<const uint8_t*>(text.data()), text.size());
  if (!id) return FailFile(kDbErrorBlob, "Error writing BLOB");
  *value = DbValue::Integer(column.type, *id);
  return true;
}

bool vndbHandle::ValueFits(const std::string& table, const std::string& column, const std::string& text) {
  std::shared_ptr<const DbTableSchema> schema = FindSchema(table);
  const DbColumn* found = schema ? schema->Column(column) : nullptr;
  if (!found || found->type == kDbLongVarchar || found->type == kDbLongVarbinary) return true;
  DbValue value;
  return ParseValue(*found, text, &value);
}

bool vndbHandle::AddTableRecord(const std::string& table, const std::vector<DbColumnText>& given) {
  vndbFile::Scope scope(*mFile);
  ClearError();
  if (!CanWrite()) return false;
  std::shared_ptr<const DbTableSchema> schema = FindSchema(table);
  if (!schema) return Fail(kDbErrorUnknown, "Unknown table " + table);
  if (!SchemaSound(*schema)) return false;
  // "insert into t values (...)" names no columns: its values fill the columns in the order
  // the table declared them.
  std::vector<DbColumnText> positional;
  const bool unnamed = !given.empty() && std::all_of(given.begin(), given.end(),
                                                     [](const DbColumnText& value) { return value.column.empty(); });
  if (unnamed) {
    std::vector<const DbColumn*> order;
    for (const DbColumn& column : schema->columns) order.push_back(&column);
    std::sort(order.begin(), order.end(), [](const DbColumn* a, const DbColumn* b) { return a->position < b->position; });
    if (order.size() != given.size())
      return Fail(kDbErrorUnknown, "Insert failed: " + std::to_string(given.size()) + " values for " +
                                       std::to_string(order.size()) + " columns");
    positional = given;
    for (size_t i = 0; i < order.size(); ++i) positional[i].column = order[i]->name;
  }
  const std::vector<DbColumnText>& values = unnamed ? positional : given;
  // Each value's column is looked up once; the positions given a value are marked. The lists
  // of one insert serve the next, so rows added one after another allocate little.
  std::vector<const DbColumn*>& columns = mInsertColumns;
  columns.assign(values.size(), nullptr);
  bool valued[kDbMostColumns + 1] = {};
  for (size_t i = 0; i < values.size(); ++i) {
    columns[i] = schema->Column(values[i].column);
    if (columns[i] && !values[i].null) valued[columns[i]->position] = true;
  }
  for (const DbColumn& column : schema->columns)
    if (!valued[column.position] && !column.allowsNull) return Fail(kDbErrorUnknown, "NotNull column violation");
  for (size_t i = 0; i < values.size(); ++i)
    if (!columns[i]) return Fail(kDbErrorUnknown, "Unknown column " + values[i].column);

  DbRow& row = mInsertRow;
  size_t filled = 0;
  std::vector<uint32_t> objects;
  auto undoObjects = [&] {
    for (uint32_t id : objects) DeleteLargeObject(*mFile, id);
    return false;
  };
  for (size_t i = 0; i < values.size(); ++i) {
    const DbColumnText& text = values[i];
    if (text.null) continue;
    const DbColumn* column = columns[i];
    if (filled == row.size()) row.emplace_back();
    auto& [position, value] = row[filled];
    if (!ConvertValue(*column, text.text, &value)) return undoObjects();
    position = column->position;
    ++filled;
    if (column->type == kDbLongVarchar || column->type == kDbLongVarbinary)
      objects.push_back(uint32_t(value.integer));
  }
  row.resize(filled);
  if (!mInsertTree || mInsertTreeTable != schema->id) {
    mInsertTree = vndbTree::OpenNamedTree(*mFile, std::to_string(schema->id), schema->primaryKey);
    mInsertTreeTable = schema->id;
  }
  vndbTree* tree = mInsertTree.get();
  if (!tree) {
    undoObjects();
    return FailRowsMissing(*schema);
  }
  DbBuildRowInto(mInsertRecord, row, mFile->CurrentSerial(), mFile->NewRecordId());
  if (Inserted(tree->InsertRecord(mInsertRecord, !schema->primaryKey.empty()),
               "Insert failed: the row could not be written"))
    return true;
  int32_t code = mErrorCode;
  std::string message = mErrorMessage;
  undoObjects();
  return Fail(code, message);
}

bool vndbHandle::Inserted(vndbTree::InsertResult result, std::string_view failure) {
  switch (result) {
    case vndbTree::InsertResult::kInserted: return true;
    case vndbTree::InsertResult::kDuplicate:
      return Fail(kDbErrorPrimaryKey, "Insert failed: primary key violation");
    case vndbTree::InsertResult::kTooLong: return Fail(kDbErrorTooLong, "Insert failed: data too long");
    default: return FailFile(kDbErrorInternal, std::string(failure));
  }
}

bool vndbHandle::Commit() {
  vndbFile::Scope scope(*mFile);
  ClearError();
  for (Watcher* watcher : mWatchers) watcher->BeforeEnd();
  const uint64_t undos = mFile->Undos();
  const bool kept = mFile->Commit();
  // A commit refused before it began (a damaged file) leaves the transaction as it was.
  if (kept || mFile->Undos() != undos)
    for (Watcher* watcher : mWatchers) watcher->AfterEnd(kept);
  if (kept) return true;
  Fail(kDbErrorInternal, mFile->Error());
  // A failed commit is undone: tables made in it must go from the cache too.
  if (!mFile->IsDamaged()) LoadSchemas();
  else mSchemasStale = true;
  return false;
}

void vndbHandle::Rollback() {
  vndbFile::Scope scope(*mFile);
  ClearError();
  for (Watcher* watcher : mWatchers) watcher->BeforeEnd();
  mFile->Rollback();
  for (Watcher* watcher : mWatchers) watcher->AfterEnd(false);
  // Tables made in the forgotten transaction must not linger in the cache.
  if (!LoadSchemas()) FailFile(kDbErrorInternal, mFile->Error());
}

bool vndbHandle::Close() {
  if (!mFile) return false;
  mSchemas.clear();
  mInsertTree.reset();
  bool ok = mFile->Close();
  if (!ok) Fail(kDbErrorInternal, mFile->Error().empty() ? "The database file could not be closed" : mFile->Error());
  mFile.reset();
  return ok;
}

}  // namespace vorn
