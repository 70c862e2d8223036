// The language's DatabaseCursor class and its subclass RecordSet, the class of every query
// result: an engine cursor with the row number, BOF, EOF and the pending edits of its row.
#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "database/builtin_engine.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/db_shutdown_context.h"
#include "database/sql_query.h"
#include "database/stored_text.h"
#include "objects/class_registry.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

constexpr uint32_t kRowFlags = 4;
const PropertyRow kProperties[] = {
    {kRowFlags, "BOF", "b", Fn(&cursorBOFGetter), "cursorBOFGetter", nullptr, nullptr, 0, 0},
    {kRowFlags, "EOF", "b", Fn(&cursorEOFGetter), "cursorEOFGetter", nullptr, nullptr, 0, 0},
    {kRowFlags, "FieldCount", "i4", Fn(&cursorFieldCount), "cursorFieldCount", nullptr, nullptr, 0, 0},
};

#define METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, kRowFlags, 0}

const ParamRow kNameParam[] = {{"Name", "s", 0, 0}};
const ParamRow kIndexParam[] = {{"Index", "i4", 0, 0}};

const MethodRow kMethods[] = {
    METHOD("MoveNext", "", nullptr, 0, cursorMoveNext),
    METHOD("Field", "o<DatabaseField>", kNameParam, 1, cursorGetFieldByName),
    METHOD("IdxField", "o<DatabaseField>", kIndexParam, 1, cursorGetFieldByIndex),
    METHOD("DeleteRecord", "", nullptr, 0, cursorDeleteRecord),
    METHOD("Edit", "", nullptr, 0, cursorEdit),
    METHOD("Update", "", nullptr, 0, cursorUpdate),
    METHOD("Close", "", nullptr, 0, cursorClose),
    METHOD("MovePrevious", "", nullptr, 0, CursorMovePrev),
    METHOD("MoveFirst", "", nullptr, 0, CursorMoveFirst),
    METHOD("MoveLast", "", nullptr, 0, CursorMoveLast),
    METHOD("RecordCount", "i4", nullptr, 0, RecordSetRecordCount),
    METHOD("ColumnType", "i4", kIndexParam, 1, RecordSetColumnType),
};

#undef METHOD

ObjectDefinition* BuildCursorDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("DatabaseCursor");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(DatabaseCursorObject));
  definition->mFinalizer = {Fn(&databaseCursorDestructor), "databaseCursorDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
  SetMethodList(definition, kMethods, RowCount(kMethods));
  return definition;
}

ObjectDefinition* BuildRecordSetDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("RecordSet");
  definition->mSuper = GetDatabaseCursorClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(DatabaseCursorObject));
  return definition;
}

// Runs a move of the engine after dropping the row's pending edits.
void Move(RuntimeObject* object, void (*dbCursorDefinition::*move)(void*)) {
  DatabaseCursorObject* cursor = CursorFields(object);
  if (!cursor) return;
  DropPendingEdits(cursor);
  if (cursor->handle && cursor->definition && cursor->definition->*move) {
    (cursor->definition->*move)(cursor->handle);
    // These moves land on a row whenever the result has one, also from past its end. Whether
    // it has is the result's own word where it can tell without counting, else the engine's
    // count where it keeps one, else whether it started empty.
    if (const std::optional<bool> on = SqlResultOnRow(cursor->definition, cursor->handle)) {
      cursor->eof = *on ? 0 : 1;
    } else {
      const int32_t rows = cursor->definition->rowCount ? cursor->definition->rowCount(cursor->handle) : -1;
      cursor->eof = rows == 0 || (rows < 0 && cursor->bof) ? 1 : 0;
    }
    // BOF tells an empty result: a result that was empty and has gained rows is so no more.
    cursor->bof = cursor->eof;
  }
}

// The UPDATE assignment of one change: "[column] = 'value'" or "[column] = NULL".
std::string Assignment(const std::string& column, StringRep* value) {
  std::string text = "[" + column + "] = ";
  if (!value || value == DbNullEditValue()) return text + "NULL";
  text += "'";
  for (char byte : string::Share(value).View()) {
    text += byte;
    if (byte == '\'') text += '\'';
  }
  return text + "'";
}

// The edits as changes of their source rows; edits whose column has no source are skipped.
dbFieldChange* ChangesOf(DatabaseCursorObject* cursor) {
  dbFieldChange* changes = nullptr;
  for (const dbRowEdit* edit = cursor->edits; edit; edit = edit->next) {
    const char* name = nullptr;
    const char* condition = nullptr;
    int32_t nameLength = 0;
    int32_t conditionLength = 0;
    if (!cursor->definition->columnSource(cursor->handle, edit->column, &name, &nameLength, &condition,
                                          &conditionLength, nullptr, nullptr)) {
      continue;
    }
    auto* change = new dbFieldChange{changes, new char[nameLength > 0 ? nameLength : 1], nameLength,
                                     new char[conditionLength > 0 ? conditionLength : 1], conditionLength,
                                     edit->value};
    std::copy_n(name, nameLength > 0 ? nameLength : 0, change->name);
    std::copy_n(condition, conditionLength > 0 ? conditionLength : 0, change->condition);
    RetainStringRep(edit->value);
    changes = change;
  }
  return changes;
}

void FreeChanges(dbFieldChange* changes) {
  while (changes) {
    dbFieldChange* next = changes->next;
    delete[] changes->name;
    delete[] changes->condition;
    ReleaseStringRep(changes->value);
    delete changes;
    changes = next;
  }
}

// One UPDATE per table and row condition, the last group made first; the first that fails
// ends the writing, its error kept for the caller.
void ExecuteChanges(RuntimeObject* object, const dbFieldChange* changes) {
  DatabaseObject* database = DatabaseFields(object);
  struct Group {
    std::string table;
    std::string condition;
    std::string assignments;
  };
  std::vector<Group> groups;
  for (const dbFieldChange* change = changes; change; change = change->next) {
    const std::string source(change->name, change->nameLength > 0 ? change->nameLength : 0);
    const size_t bang = source.find('!');
    const std::string table = source.substr(0, bang);
    const std::string column = bang == std::string::npos ? std::string() : source.substr(bang + 1);
    const std::string condition(change->condition, change->conditionLength > 0 ? change->conditionLength : 0);
    auto group = std::ranges::find_if(groups, [&](const Group& g) {
      return SameName(g.table, table) && g.condition == condition;
    });
    if (group == groups.end()) {
      groups.push_back({table, condition, Assignment(column, change->value)});
    } else {
      group->assignments += ", " + Assignment(column, change->value);
    }
  }
  for (auto group = groups.rbegin(); group != groups.rend(); ++group) {
    if (FailWhenRowGone(object, group->table, group->condition, true)) return;
    const std::string sql = "UPDATE [" + group->table + "] SET " + group->assignments + " WHERE " + group->condition;
    DatabaseSQLExecute(database, string(sql, kEncodingUTF8));
    if (DatabaseErrorCode(database) != 0) return;
  }
}

// An edit of the cursor's row begins: an error read after it, or after the Update that writes
// it, is about this edit and not one left from before.
void ClearDatabaseError(DatabaseCursorObject* cursor) {
  DatabaseObject* database = DatabaseFields(cursor->database);
  if (!database) return;
  SetDatabaseError(database, 0, string());
  ClearBuiltInEngineError(database->engine, database->handle);
}

void WriteBack(DatabaseCursorObject* cursor) {
  if (!cursor->handle || !cursor->definition->columnSource) return;
  DatabaseObject* database = DatabaseFields(cursor->database);
  if (!database || !database->handle) return;
  dbFieldChange* changes = ChangesOf(cursor);
  if (database->engine->updateFields) {
    database->engine->updateFields(database->handle, changes);
  } else {
    ExecuteChanges(cursor->database, changes);
  }
  FreeChanges(changes);
}

bool IsByteColumn(DatabaseCursorObject* cursor, int32_t column) {
  if (!cursor->handle || !cursor->definition->columnType) return false;
  const int32_t type = cursor->definition->columnType(cursor->handle, column);
  return type == kVornDbBinary || type == kVornDbLongBinary;
}

// Brings the pending edits' texts to UTF-8, all of them or, when one does not convert, none.
// An edit of a byte column keeps its bytes.
bool StoreEdits(DatabaseCursorObject* cursor) {
  std::vector<std::pair<dbRowEdit*, string>> stored;
  for (dbRowEdit* edit = cursor->edits; edit; edit = edit->next) {
    if (edit->value == DbNullEditValue() || IsByteColumn(cursor, edit->column)) continue;
    std::optional<string> text = StoredText(string::Share(edit->value));
    if (!text) return false;
    stored.emplace_back(edit, std::move(*text));
  }
  for (auto& [edit, text] : stored) ReplaceStringRep(edit->value, text.Rep());
  return true;
}

}  // namespace

// An UPDATE or DELETE that meets no row is no error, yet an edit or deletion of a row gone
// meanwhile has gone nowhere. The code and texts are those of the built-in engine's cursors.
bool FailWhenRowGone(RuntimeObject* object, const std::string& table, const std::string& condition, bool update) {
  DatabaseObject* database = DatabaseFields(object);
  if (!database) return false;
  const std::string sql = "SELECT * FROM [" + table + "] WHERE " + condition;
  RuntimeObject* found = databaseSQLSelect(object, string(sql, kEncodingUTF8).Rep());
  if (!found) return false;
  const bool gone = cursorEOFGetter(found, 0) != 0;
  cursorClose(found);
  RuntimeUnlockObject(found);
  if (gone && DatabaseErrorCode(database) == 0)
    SetDatabaseError(database, kDbErrorUnknown, string(update ? kDbRowGoneUpdate : kDbRowGoneDelete, kEncodingUTF8));
  return gone;
}

void WriteEditsToSources(DatabaseCursorObject* cursor) { WriteBack(cursor); }

ObjectDefinition* GetDatabaseCursorClassDefinition() {
  static ObjectDefinition* definition = BuildCursorDefinition();
  return definition;
}

ObjectDefinition* GetRecordSetClassDefinition() {
  static ObjectDefinition* definition = BuildRecordSetDefinition();
  return definition;
}

DatabaseCursorObject* CursorFields(RuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetDatabaseCursorClassDefinition())) return nullptr;
  return reinterpret_cast<DatabaseCursorObject*>(object);
}

void BindCursorToDatabase(RuntimeObject* object, RuntimeObject* database, const string& query) {
  DatabaseCursorObject* cursor = CursorFields(object);
  if (!cursor) return;
  RuntimeLockObject(database);
  RuntimeObject* old = cursor->database;
  cursor->database = database;
  RuntimeUnlockObject(old);
  ReplaceStringRep(cursor->query, query.Rep());
}

void DropPendingEdits(DatabaseCursorObject* cursor) {
  while (cursor->edits) {
    dbRowEdit* next = cursor->edits->next;
    ReleaseStringRep(cursor->edits->value);
    delete cursor->edits;
    cursor->edits = next;
  }
}

int32_t CursorColumnCount(DatabaseCursorObject* cursor) {
  if (!cursor->handle || !cursor->definition || !cursor->definition->columnCount) return 0;
  return cursor->definition->columnCount(cursor->handle);
}

string CursorColumnName(DatabaseCursorObject* cursor, int32_t column) {
  if (cursor->handle && cursor->definition && cursor->definition->columnName) {
    return string::Adopt(cursor->definition->columnName(cursor->handle, column));
  }
  return string(("field" + std::to_string(column + 1)).c_str());
}

void CursorMoveNext(DatabaseCursorObject* cursor) {
  DropPendingEdits(cursor);
  const bool more = cursor->handle && cursor->definition && cursor->definition->nextRow &&
                    cursor->definition->nextRow(cursor->handle);
  cursor->eof = more ? 0 : 1;
  // BOF tells an empty result: one that stood empty and has rows now is so no more, also
  // where the step stays past its end.
  if (more) {
    cursor->bof = 0;
  } else if (cursor->bof && cursor->handle && cursor->definition && cursor->definition->rowCount) {
    cursor->bof = cursor->definition->rowCount(cursor->handle) == 0 ? 1 : 0;
  }
  ++cursor->rowNumber;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void databaseCursorDestructor(VornRuntimeObject* object) { cursorClose(object); }

uint8_t cursorBOFGetter(VornRuntimeObject* object, int32_t) {
  DatabaseCursorObject* cursor = CursorFields(object);
  return cursor ? cursor->bof : 0;
}

uint8_t cursorEOFGetter(VornRuntimeObject* object, int32_t) {
  DatabaseCursorObject* cursor = CursorFields(object);
  return cursor ? cursor->eof : 0;
}

int32_t cursorFieldCount(VornRuntimeObject* object, int32_t) {
  DatabaseCursorObject* cursor = CursorFields(object);
  return cursor ? CursorColumnCount(cursor) : 0;
}

void cursorMoveNext(VornRuntimeObject* object) {
  if (DatabaseCursorObject* cursor = CursorFields(object)) CursorMoveNext(cursor);
}

VornRuntimeObject* cursorGetFieldByName(VornRuntimeObject* object, VornStringRecord* name) {
  DatabaseCursorObject* cursor = CursorFields(object);
  if (!cursor) return nullptr;
  const string wanted = StoredText(string::Share(name)).value_or(string());
  const int32_t count = CursorColumnCount(cursor);
  for (int32_t column = 0; column < count; ++column) {
    if (SameName(CursorColumnName(cursor, column).View(), wanted.View())) return NewDatabaseField(object, column);
  }
  return nullptr;
}

VornRuntimeObject* cursorGetFieldByIndex(VornRuntimeObject* object, int32_t index) {
  DatabaseCursorObject* cursor = CursorFields(object);
  if (!cursor || index < 1 || index > CursorColumnCount(cursor)) return nullptr;
  return NewDatabaseField(object, index - 1);
}

void cursorDeleteRecord(VornRuntimeObject* object) {
  DatabaseCursorObject* cursor = CursorFields(object);
  if (!cursor || cursor->eof || !cursor->handle || !cursor->definition->deleteRow) return;
  // As with an edit: an error read after the delete is about it, not one left from before.
  ClearDatabaseError(cursor);
  cursor->definition->deleteRow(cursor->handle);
}

void cursorEdit(VornRuntimeObject* object) {
  DatabaseCursorObject* cursor = CursorFields(object);
  if (!cursor) return;
  ClearDatabaseError(cursor);
  cursor->editing = 1;
  if (cursor->handle && cursor->definition->editRow) cursor->definition->editRow(cursor->handle);
}

void cursorUpdate(VornRuntimeObject* object) {
  DatabaseCursorObject* cursor = CursorFields(object);
  if (!cursor || !cursor->editing) return;
  if (!StoreEdits(cursor)) {
    // Nothing is written: the row stays as it was, as after any update the engine refuses.
    if (DatabaseObject* database = DatabaseFields(cursor->database)) RefuseText(database);
  } else if (cursor->handle && cursor->definition->updateRow) {
    cursor->definition->updateRow(cursor->handle, cursor->edits);
  } else {
    WriteBack(cursor);
  }
  cursor->editing = 0;
}

void cursorClose(VornRuntimeObject* object) {
  DatabaseCursorObject* cursor = CursorFields(object);
  if (!cursor) return;
  DropPendingEdits(cursor);
  cursor->editing = 0;
  if (void* handle = cursor->handle) {
    dbShutdownContext::RemoveCursor(object);
    cursor->handle = nullptr;
    if (cursor->definition && cursor->definition->closeCursor) cursor->definition->closeCursor(handle);
  }
  ReleaseStringRep(cursor->query);
  cursor->query = nullptr;
  RuntimeObject* database = cursor->database;
  cursor->database = nullptr;
  RuntimeUnlockObject(database);
}

void CursorMovePrev(VornRuntimeObject* object) { Move(object, &dbCursorDefinition::previousRow); }
void CursorMoveFirst(VornRuntimeObject* object) { Move(object, &dbCursorDefinition::firstRow); }
void CursorMoveLast(VornRuntimeObject* object) { Move(object, &dbCursorDefinition::lastRow); }

int32_t RecordSetRecordCount(VornRuntimeObject* object) {
  DatabaseCursorObject* cursor = CursorFields(object);
  if (!cursor || !cursor->handle || !cursor->definition->rowCount) return -1;
  return cursor->definition->rowCount(cursor->handle);
}

int32_t RecordSetColumnType(VornRuntimeObject* object, int32_t index) {
  DatabaseCursorObject* cursor = CursorFields(object);
  if (!cursor || index < 0 || !cursor->handle || !cursor->definition->columnType) return -1;
  return cursor->definition->columnType(cursor->handle, index);
}

}  // extern "C"
