// The fields of the language's Database and DatabaseCursor (RecordSet) objects, and the
// services the database classes share: class definitions, field access and the engine calls
// that need more than one step (lazy opening, errors, closing).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "objects/object_definition.h"
#include "objects/runtime_object.h"
#include "strings/vstring.h"
#include "vorn/database_api.h"

namespace vorn {

struct DatabaseObject {
  VornRuntimeObject header;
  void* handle;                      // the engine's, while open
  const dbEngineDefinition* engine;  // not owned
  StringRep* engineName;             // with data and length: what lazy opening opens
  const uint8_t* data;
  uint32_t dataLength;
  int32_t errorCode;  // the database's own error, 0 = none
  StringRep* errorText;
  StringRep* databaseName;
  StringRep* host;
  StringRep* password;
  StringRep* userName;
  uint8_t open;
  int32_t connectErrorCode;  // why the last connect failed, 0 while it did not
  StringRep* connectErrorText;
};

struct DatabaseCursorObject {
  VornRuntimeObject header;
  void* handle;      // the engine's; null once closed
  int32_t rowNumber;
  RuntimeObject* database;  // held; nil for cursors an engine made on its own
  const dbCursorDefinition* definition;
  uint8_t eof;
  uint8_t bof;
  uint8_t editing;
  dbRowEdit* edits;  // newest first, one per column at most
  StringRep* query;
};

ObjectDefinition* GetDatabaseClassDefinition();
ObjectDefinition* GetDatabaseCursorClassDefinition();
ObjectDefinition* GetRecordSetClassDefinition();

// The fields, or null when the object is not of the class.
DatabaseObject* DatabaseFields(RuntimeObject* object);
DatabaseCursorObject* CursorFields(RuntimeObject* object);

// Binds the database to an open engine handle and lists it for closing at quit.
void AttachDatabaseHandle(DatabaseObject* database, void* handle, const dbEngineDefinition* engine);
// Moves another database's handle into this one; the other is left closed and unlisted.
void TakeOverDatabaseHandle(DatabaseObject* database, DatabaseObject* from);
// True when the database has an open handle, opening it from its stored data when it can.
bool EnsureDatabaseOpen(DatabaseObject* database);
// EnsureDatabaseOpen for an operation the caller asked for: when there is no handle the
// database's error says why (the failure of its last connect, else that it is not connected),
// so that the operation is never taken for done.
bool ReachDatabase(DatabaseObject* database);
// Sets the error of an operation that found no open handle, as ReachDatabase does.
void ReportUnreachable(DatabaseObject* database);
// Remembers why a connect failed, for the operations tried after it (code 0 forgets).
void NoteConnectFailure(DatabaseObject* database, int32_t code, const string& text);
// The engine chosen by name: "vorndb" (any case) is the built-in one, else a registered
// data source; nil when none opens the data.
RuntimeObject* OpenDatabaseByEngineName(const string& engineName, const uint8_t* data, uint32_t length);
// The built-in engine's opener of stored data.
RuntimeObject* OpenDatabaseFromData(const void* data, uint32_t length);

// Replaces the database's own error (code 0 clears it).
void SetDatabaseError(DatabaseObject* database, int32_t code, const string& text);
// The error the Error properties show: the database's own, else the engine's.
int32_t DatabaseErrorCode(DatabaseObject* database);
string DatabaseErrorText(DatabaseObject* database);

// Runs SQL text through the engine's own SQL; false when the engine has none.
bool DatabaseExecuteDirect(DatabaseObject* database, const string& sql);

// The engine's column count (0 without one) and a column's name ("field" and the 1-based
// number when the engine gives no names).
int32_t CursorColumnCount(DatabaseCursorObject* cursor);
string CursorColumnName(DatabaseCursorObject* cursor, int32_t column);

// A RecordSet over an engine cursor, registered for shutdown (one reference); with `firstRow`
// it has made its first step, as every result handed to compiled code has. Without, it stands
// before its first row, for a caller that steps it back to the end: that walks no rows first.
RuntimeObject* NewEngineCursor(void* handle, dbCursorDefinition* definition, bool firstRow);

// Makes the cursor a result of the database's query: it holds the database and the text.
void BindCursorToDatabase(RuntimeObject* cursor, RuntimeObject* database, const string& query);

// Drops a cursor's pending edits, releasing their values.
void DropPendingEdits(DatabaseCursorObject* cursor);
// MoveNext on a cursor already known to be one: what a walk over many rows calls.
void CursorMoveNext(DatabaseCursorObject* cursor);

// SQL text of an INSERT of the record's values: integers and doubles bare, the rest quoted.
// Table and column names are spliced as they are, so a name that is no plain word (letters,
// digits, "#", "_") is refused: nothing, with `refusal` saying which name.
std::optional<string> BuildInsertText(const string& table, const dbColumnValue* values, std::string* refusal);
// Clears the database's own error, opens it lazily and runs the text through the engine's own
// SQL or the runtime's executor; false when the database could not be opened.
bool DatabaseSQLExecute(DatabaseObject* database, const string& sql);
// Sets the error of an operation refused because a text it was given does not convert to UTF-8.
void RefuseText(DatabaseObject* database);
// When no row of the table meets the condition that selected a result's row (deleted or given
// another key since), sets the error an update or delete of it gives (2003, unless an error
// stands already) and answers true: the statement would meet nothing, yet report no error. A
// database that cannot answer leaves it to the statement.
bool FailWhenRowGone(RuntimeObject* database, const std::string& table, const std::string& condition, bool update);
// Writes the cursor's edits into the table rows its columns come from, as its columnSource
// names them (one UPDATE per table row); the database's error tells whether they went in.
void WriteEditsToSources(DatabaseCursorObject* cursor);

}  // namespace vorn

extern "C" {
void DatabaseConstructor(VornRuntimeObject* database);
void databaseDestructor(VornRuntimeObject* database);
uint8_t databaseErrorGetter(VornRuntimeObject* database, int32_t);
int32_t databaseErrorCodeGetter(VornRuntimeObject* database, int32_t);
VornStringRecord* databaseErrorStringGetter(VornRuntimeObject* database, int32_t);
void databaseInsertRecord(VornRuntimeObject* database, VornStringRecord* table, VornRuntimeObject* record);
VornRuntimeObject* databaseTableSchema(VornRuntimeObject* database);
VornRuntimeObject* databaseFieldSchema(VornRuntimeObject* database, VornStringRecord* table);
VornRuntimeObject* databaseIndexSchema(VornRuntimeObject* database, VornStringRecord* table);
void databaseCommit(VornRuntimeObject* database);
void databaseRollback(VornRuntimeObject* database);
VornStringRecord* getDatabaseProperty(VornRuntimeObject* database, VornStringRecord* name);
void databaseClose(VornRuntimeObject* database);
uint8_t DatabaseConnect(VornRuntimeObject* database);
void databaseSQLExecute(VornRuntimeObject* database, VornStringRecord* sql);
VornRuntimeObject* databaseSQLSelect(VornRuntimeObject* database, VornStringRecord* sql);

void databaseCursorDestructor(VornRuntimeObject* cursor);
uint8_t cursorBOFGetter(VornRuntimeObject* cursor, int32_t);
uint8_t cursorEOFGetter(VornRuntimeObject* cursor, int32_t);
int32_t cursorFieldCount(VornRuntimeObject* cursor, int32_t);
void cursorMoveNext(VornRuntimeObject* cursor);
VornRuntimeObject* cursorGetFieldByName(VornRuntimeObject* cursor, VornStringRecord* name);
VornRuntimeObject* cursorGetFieldByIndex(VornRuntimeObject* cursor, int32_t index);
void cursorDeleteRecord(VornRuntimeObject* cursor);
void cursorEdit(VornRuntimeObject* cursor);
void cursorUpdate(VornRuntimeObject* cursor);
void cursorClose(VornRuntimeObject* cursor);
void CursorMovePrev(VornRuntimeObject* cursor);
void CursorMoveFirst(VornRuntimeObject* cursor);
void CursorMoveLast(VornRuntimeObject* cursor);
int32_t RecordSetRecordCount(VornRuntimeObject* cursor);
int32_t RecordSetColumnType(VornRuntimeObject* cursor, int32_t index);
}
