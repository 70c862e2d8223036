#include "database/builtin_engine.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/db_cursor.h"
#include "strings/vstring.h"

namespace vorn {

extern dbCursorDefinition gSchemaCursor;

namespace {

struct BuiltInCursor;

// Stamps of the databases' states, from one clock so that no two states of any databases
// share one (a database closed and opened again included).
std::atomic<uint64_t> gChangeClock{0};

struct BuiltInDatabase {
  std::unique_ptr<vndbHandle> db;
  // Cursors still walking this database; closing it ends their walks first.
  std::set<BuiltInCursor*> cursors;
  uint64_t stamp = ++gChangeClock;  // taken anew before every change
  // The stamp of the last change that may have added, removed or moved a row: one that only
  // rewrites values in place leaves every row where it was among the others.
  uint64_t order = stamp;
  uint64_t undone = 0;  // transactions undone: rolled back, or a commit refused
};

struct BuiltInCursor {
  BuiltInDatabase* owner = nullptr;  // null once the database is closed
  std::unique_ptr<vndbCursor> walk;
  Bytes value;  // the bytes handed out by the last getColumnValue
  DbValue read;  // the value last read, kept for its buffer
};

// One column of a table as the field schema lists it.
struct SchemaRow {
  std::string name;
  int16_t type = 0;
  bool primary = false;
  bool notNull = false;
};

struct SchemaCursor {
  std::vector<SchemaRow> rows;
  size_t next = 0;  // the current row is next - 1
  Bytes value;
};

const char* const kSchemaColumns[] = {"ColumnName", "FieldType", "IsPrimary", "NotNull", "Length"};
constexpr int32_t kSchemaColumnCount = 5;

BuiltInDatabase* Db(void* handle) { return static_cast<BuiltInDatabase*>(handle); }
BuiltInCursor* Cursor(void* handle) { return static_cast<BuiltInCursor*>(handle); }
SchemaCursor* Schema(void* handle) { return static_cast<SchemaCursor*>(handle); }

std::string Text(StringRep* rep) { return std::string(string::Share(rep).View()); }

StringRep* NewText(const std::string& text) {
  return NewStringRep(text.data(), RecordLength(text.size()), kEncodingUTF8);
}

template <typename T>
void PutMachine(Bytes& bytes, T value) {
  const auto* at = reinterpret_cast<const uint8_t*>(&value);
  bytes.assign(at, at + sizeof(T));
}

// The value as the cursor record hands it out: host-order numbers, big-endian date parts.
// Texts and bytes are taken over rather than copied.
uint8_t Encode(DbValue& value, Bytes& bytes) {
  bytes.clear();
  switch (value.type) {
    case kDbSmallint: PutMachine(bytes, static_cast<int16_t>(value.integer)); break;
    case kDbInteger: PutMachine(bytes, static_cast<int32_t>(value.integer)); break;
    case kDbFloat: PutMachine(bytes, static_cast<float>(value.real)); break;
    case kDbDouble: PutMachine(bytes, value.real); break;
    case kDbDate:
    case kDbTime:
      bytes.resize(6);
      for (int i = 0; i < 3; ++i) DbPut16(bytes.data() + 2 * i, static_cast<uint16_t>(value.parts[i]));
      break;
    case kDbBoolean: bytes.assign(1, value.integer ? 1 : 0); break;
    case kDbVarchar:
    case kDbBinary:
    case kDbLongVarchar:
    case kDbLongVarbinary: bytes.swap(value.bytes); break;  // each keeps a buffer for the next row
    default: return kVornDbNull;
  }
  return value.type;
}

void HandOut(const Bytes& bytes, uint8_t type, const void** data, uint8_t* outType, int32_t* length) {
  *outType = type;
  *data = bytes.empty() ? nullptr : bytes.data();
  *length = static_cast<int32_t>(bytes.size());
}

RuntimeObject* WrapCursor(BuiltInDatabase* database, std::unique_ptr<vndbCursor> walk, bool firstRow = true);

// Copies of the rows made before any change are behind the file from then on.
void NoteChange(BuiltInDatabase* database, bool moves = true) {
  database->stamp = ++gChangeClock;
  if (moves) database->order = database->stamp;
}

// Every change may move records under the walks of the database's other cursors.
void Disturb(BuiltInDatabase* database, BuiltInCursor* changing = nullptr, bool moves = true) {
  NoteChange(database, moves);
  for (BuiltInCursor* cursor : database->cursors) {
    if (cursor != changing && cursor->walk) cursor->walk->Disturb();
  }
}

// --- database record --------------------------------------------------------------------

int32_t CloseDatabase(void* handle) {
  BuiltInDatabase* database = Db(handle);
  if (!database) return 0;
  // Walks read the file: they end before it closes.
  for (BuiltInCursor* cursor : database->cursors) {
    cursor->walk.reset();
    cursor->owner = nullptr;
  }
  const bool closed = database->db->Close();
  delete database;
  return closed ? 1 : 0;
}

RuntimeObject* GetTableSchema(void* handle) {
  Db(handle)->db->ClearError();
  return WrapCursor(Db(handle), vndbCursor::OpenTableList(*Db(handle)->db));
}

RuntimeObject* GetFieldSchema(void* handle, StringRep* table) {
  Db(handle)->db->ClearError();
  std::shared_ptr<const DbTableSchema> schema = Db(handle)->db->FindSchema(Text(table));
  if (!schema) return nullptr;
  auto* cursor = new SchemaCursor();
  for (const DbColumn& column : schema->columns) {
    const bool primary = std::ranges::count(schema->primaryKey, column.position) != 0;
    cursor->rows.push_back({column.name, column.type, primary, !column.allowsNull});
  }
  return VORNdbCursorFromDBCursor(cursor, &gSchemaCursor);
}

void CreateTable(void* handle, StringRep* table, dbColumnDefinition* columns, const uint8_t* keys, int32_t keyCount) {
  std::vector<DbColumnSpec> specs;
  for (const dbColumnDefinition* column = columns; column; column = column->next) {
    const uint8_t type = column->type >= 0 && column->type < 255 ? static_cast<uint8_t>(column->type) : 255;
    specs.push_back({Text(column->name), type, column->notNull == 0});
  }
  std::vector<size_t> keyPositions;
  for (int32_t i = 0; keys && i < keyCount; ++i) keyPositions.push_back(keys[i]);
  Disturb(Db(handle));
  Db(handle)->db->CreateTable(Text(table), specs, keyPositions);
}

void AddTableRecord(void* handle, StringRep* table, dbColumnValue* values) {
  std::vector<DbColumnText> texts;
  for (const dbColumnValue* value = values; value; value = value->next) {
    texts.push_back({Text(value->column), Text(value->value), value->type == kVornDbNull});
  }
  Disturb(Db(handle));
  Db(handle)->db->AddTableRecord(Text(table), texts);
}

RuntimeObject* OpenTableCursor(void* handle, StringRep* table, dbColumnList* columns, dbFilter* filter, bool firstRow) {
  Db(handle)->db->ClearError();
  std::vector<std::string> names;
  for (const dbColumnList* column = columns; column; column = column->next) names.push_back(Text(column->name));
  std::unique_ptr<vndbCursor> walk = vndbCursor::Open(*Db(handle)->db, Text(table), names, filter);
  return WrapCursor(Db(handle), std::move(walk), firstRow);
}

RuntimeObject* GetTableCursor(void* handle, StringRep* table, dbColumnList* columns, dbFilter* filter) {
  return OpenTableCursor(handle, table, columns, filter, true);
}

void AddTableColumn(void* handle, StringRep* table, dbColumnDefinition* column, int32_t notNull) {
  if (!column) return;
  const uint8_t type = column->type >= 0 && column->type < 255 ? static_cast<uint8_t>(column->type) : 255;
  Disturb(Db(handle));
  Db(handle)->db->AddTableColumn(Text(table), {Text(column->name), type, notNull == 0});
}

int32_t GetLastErrorCode(void* handle) { return handle ? Db(handle)->db->ErrorCode() : -1; }

StringRep* GetLastErrorString(void* handle) {
  if (!handle || Db(handle)->db->ErrorCode() == 0) return nullptr;
  return NewText(Db(handle)->db->ErrorMessage());
}

// A commit that fails puts the rows back as the last commit left them.
void Commit(void* handle) {
  if (Db(handle)->db->Commit()) return;
  NoteChange(Db(handle));
  ++Db(handle)->undone;
}
void Rollback(void* handle) {
  ++Db(handle)->undone;
  Disturb(Db(handle));
  Db(handle)->db->Rollback();
}

// --- general cursor record --------------------------------------------------------------

void CloseCursor(void* handle) {
  BuiltInCursor* cursor = Cursor(handle);
  if (cursor->owner) cursor->owner->cursors.erase(cursor);
  cursor->walk.reset();
  delete cursor;
}

int32_t ColumnCount(void* handle) {
  BuiltInCursor* cursor = Cursor(handle);
  return cursor->walk ? static_cast<int32_t>(cursor->walk->ColumnCount()) : 0;
}

StringRep* ColumnName(void* handle, int32_t index) {
  BuiltInCursor* cursor = Cursor(handle);
  if (!cursor->walk || index < 0 || static_cast<size_t>(index) >= cursor->walk->ColumnCount()) return nullptr;
  return NewText(cursor->walk->ColumnName(index));
}

void GetColumnValue(void* handle, int32_t index, const void** data, uint8_t* type, int32_t* length) {
  BuiltInCursor* cursor = Cursor(handle);
  const bool read = cursor->walk && index >= 0 && cursor->walk->ColumnValueInto(index, cursor->read);
  cursor->value.clear();
  HandOut(cursor->value, read ? Encode(cursor->read, cursor->value) : uint8_t{kVornDbNull}, data, type, length);
}

void ReleaseValue(void* handle) { Cursor(handle)->value.clear(); }

uint8_t NextRow(void* handle) {
  BuiltInCursor* cursor = Cursor(handle);
  return cursor->walk && cursor->walk->NextRow() ? 1 : 0;
}

void DeleteRow(void* handle) {
  BuiltInCursor* cursor = Cursor(handle);
  if (!cursor->walk) return;
  if (cursor->owner) Disturb(cursor->owner, cursor);
  cursor->walk->DeleteRow();
}

uint8_t ColumnSource(void* handle, int32_t index, const char** name, int32_t* nameLength, const char** key,
                     int32_t* keyLength, void*, void*) {
  BuiltInCursor* cursor = Cursor(handle);
  if (!cursor->walk || index < 0) return 0;
  std::string_view source, condition;
  source = cursor->walk->ColumnSource(index, &condition);
  if (source.empty()) return 0;
  *name = source.data();
  *nameLength = static_cast<int32_t>(source.size());
  *key = condition.data();
  *keyLength = static_cast<int32_t>(condition.size());
  return 1;
}

void UpdateRow(void* handle, dbRowEdit* edits) {
  BuiltInCursor* cursor = Cursor(handle);
  if (!cursor->walk) return;
  // Only a new key moves the row among the others.
  Bytes before, after;
  const bool given = cursor->walk->GivenKey(&before);
  if (cursor->owner) Disturb(cursor->owner, cursor, false);
  std::vector<std::pair<size_t, std::optional<std::string>>> changes;
  for (const dbRowEdit* edit = edits; edit; edit = edit->next) {
    if (edit->column < 0) continue;
    if (edit->value == DbNullEditValue()) {
      changes.emplace_back(edit->column, std::nullopt);
    } else {
      changes.emplace_back(edit->column, Text(edit->value));
    }
  }
  cursor->walk->UpdateRow(changes);
  if (cursor->owner && (!given || !cursor->walk->GivenKey(&after) || after != before))
    cursor->owner->order = cursor->owner->stamp;
}

int32_t ColumnType(void* handle, int32_t index) {
  BuiltInCursor* cursor = Cursor(handle);
  return cursor->walk ? cursor->walk->ColumnType(index) : 0;
}

// --- field schema cursor record ---------------------------------------------------------

void CloseSchema(void* handle) { delete Schema(handle); }
int32_t SchemaColumnCount(void*) { return kSchemaColumnCount; }

StringRep* SchemaColumnName(void*, int32_t index) {
  if (index < 0 || index >= kSchemaColumnCount) return nullptr;
  return NewText(kSchemaColumns[index]);
}

void GetSchemaValue(void* handle, int32_t index, const void** data, uint8_t* type, int32_t* length) {
  SchemaCursor* cursor = Schema(handle);
  uint8_t code = kVornDbNull;
  cursor->value.clear();
  if (cursor->next > 0 && cursor->next <= cursor->rows.size()) {
    const SchemaRow& row = cursor->rows[cursor->next - 1];
    switch (index) {
      case 0: cursor->value.assign(row.name.begin(), row.name.end()), code = kVornDbText; break;
      case 1: PutMachine(cursor->value, row.type), code = kVornDbSmallInt; break;
      case 2: cursor->value.assign(1, row.primary ? 1 : 0), code = kVornDbBoolean; break;
      case 3: cursor->value.assign(1, row.notNull ? 1 : 0), code = kVornDbBoolean; break;
      case 4: PutMachine(cursor->value, int32_t{0}), code = kVornDbInteger; break;
      default: break;
    }
  }
  HandOut(cursor->value, code, data, type, length);
}

void ReleaseSchemaValue(void* handle) { Schema(handle)->value.clear(); }

uint8_t NextSchemaRow(void* handle) {
  SchemaCursor* cursor = Schema(handle);
  if (cursor->next > cursor->rows.size()) return 0;
  ++cursor->next;
  return cursor->next <= cursor->rows.size() ? 1 : 0;
}

dbCursorDefinition gGeneralCursor = {
    VORN_DB_RECORD_VERSION, 0, CloseCursor, ColumnCount, ColumnName, nullptr, GetColumnValue, ReleaseValue,
    NextRow, DeleteRow, nullptr, ColumnSource, UpdateRow, nullptr, nullptr, nullptr, nullptr, ColumnType,
};

RuntimeObject* WrapCursor(BuiltInDatabase* database, std::unique_ptr<vndbCursor> walk, bool firstRow) {
  if (!walk) return nullptr;
  auto* cursor = new BuiltInCursor();
  cursor->owner = database;
  cursor->walk = std::move(walk);
  database->cursors.insert(cursor);
  return NewEngineCursor(cursor, &gGeneralCursor, firstRow);
}

}  // namespace

dbCursorDefinition gSchemaCursor = {
    VORN_DB_RECORD_VERSION, 0, CloseSchema, SchemaColumnCount, SchemaColumnName, nullptr, GetSchemaValue,
    ReleaseSchemaValue, NextSchemaRow, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr,
};

dbEngineDefinition gBuiltInEngine = {
    VORN_DB_RECORD_VERSION, 0, CloseDatabase, GetTableSchema, GetFieldSchema, nullptr, nullptr, CreateTable,
    AddTableRecord, GetTableCursor, nullptr, AddTableColumn, nullptr, GetLastErrorCode, GetLastErrorString,
    Commit, Rollback, nullptr,
};

void ClearBuiltInEngineError(const dbEngineDefinition* engine, void* handle) {
  if (engine == &gBuiltInEngine && handle) Db(handle)->db->ClearError();
}

bool BuiltInValueFits(const dbEngineDefinition* engine, void* handle, const std::string& table,
                      const std::string& column, const std::string& text) {
  return engine != &gBuiltInEngine || !handle || Db(handle)->db->ValueFits(table, column, text);
}

void BeginBuiltInStatement(const dbEngineDefinition* engine, void* handle) {
  if (engine == &gBuiltInEngine && handle) Db(handle)->db->File().BeginStatement();
}

void EndBuiltInStatement(const dbEngineDefinition* engine, void* handle, bool failed) {
  if (engine != &gBuiltInEngine || !handle) return;
  vndbFile& file = Db(handle)->db->File();
  if (!failed) {
    file.EndStatement();
    return;
  }
  Disturb(Db(handle));
  file.RollbackStatement();
}

std::optional<uint64_t> BuiltInChangeStamp(const dbEngineDefinition* engine, void* handle) {
  if (engine != &gBuiltInEngine || !handle) return std::nullopt;
  return Db(handle)->stamp;
}

std::optional<uint64_t> BuiltInOrderStamp(const dbEngineDefinition* engine, void* handle) {
  if (engine != &gBuiltInEngine || !handle) return std::nullopt;
  return Db(handle)->order;
}

std::optional<uint64_t> BuiltInUndone(const dbEngineDefinition* engine, void* handle) {
  if (engine != &gBuiltInEngine || !handle) return std::nullopt;
  return Db(handle)->undone;
}

std::optional<Bytes> BuiltInRowKey(RuntimeObject* object) {
  DatabaseCursorObject* cursor = CursorFields(object);
  if (!cursor || cursor->definition != &gGeneralCursor || !cursor->handle) return std::nullopt;
  BuiltInCursor* walk = Cursor(cursor->handle);
  Bytes key;
  if (!walk->walk || !walk->walk->GivenKey(&key)) return std::nullopt;
  return key;
}

RuntimeObject* BuiltInTableCursorBeforeFirst(const dbEngineDefinition* engine, void* handle, StringRep* table,
                                             dbColumnList* columns, dbFilter* filter) {
  if (engine != &gBuiltInEngine || !handle) return nullptr;
  return OpenTableCursor(handle, table, columns, filter, false);
}

std::optional<bool> BuiltInStepBack(RuntimeObject* object, bool toLast) {
  DatabaseCursorObject* cursor = CursorFields(object);
  if (!cursor || cursor->definition != &gGeneralCursor || !cursor->handle) return std::nullopt;
  BuiltInCursor* walk = Cursor(cursor->handle);
  const bool on = walk->walk && walk->walk->PreviousRow(toLast);
  cursor->eof = on ? 0 : 1;
  return on;
}

RuntimeObject* WrapBuiltInDatabase(std::unique_ptr<vndbHandle> handle) {
  if (!handle) return nullptr;
  auto* database = new BuiltInDatabase{std::move(handle), {}};
  return VORNdbDatabaseFromDBDatabase(database, &gBuiltInEngine);
}

}  // namespace vorn
