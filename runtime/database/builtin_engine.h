// The built-in engine's records: its database handle wraps a vndbHandle, its cursors wrap
// vndbCursors (or a snapshot of a table's columns for the field schema).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "database/db_handle.h"
#include "objects/runtime_object.h"
#include "vorn/database_api.h"

namespace vorn {

extern dbEngineDefinition gBuiltInEngine;

// Forgets the engine's last error when the database runs on the built-in engine. The engine
// record has no operation for it, and a statement that reaches no engine operation must not
// show an error left by an earlier one.
void ClearBuiltInEngineError(const dbEngineDefinition* engine, void* handle);

// One SQL statement on the built-in engine changes all it should or nothing: Begin sets a
// savepoint, End keeps the statement's changes or, when it failed, undoes them to it. Other
// engines are left alone.
void BeginBuiltInStatement(const dbEngineDefinition* engine, void* handle);
void EndBuiltInStatement(const dbEngineDefinition* engine, void* handle, bool failed);

// Whether the value text converts to the table's column on the built-in engine; false with the
// engine's error set when it does not. An UPDATE asks before it touches any row, so that a value
// no row could take refuses it even when no row matches, as an INSERT is refused. Other engines
// are left alone.
bool BuiltInValueFits(const dbEngineDefinition* engine, void* handle, const std::string& table,
                      const std::string& column, const std::string& text);

// A stamp of the built-in database's rows and tables, new with every change through the engine
// (and with a commit that failed, which undoes changes): a copy of rows made under one stamp
// still holds what the file does while it is current. Nothing for other engines, which cannot
// tell.
std::optional<uint64_t> BuiltInChangeStamp(const dbEngineDefinition* engine, void* handle);

// The stamp of the last change that may have added, removed or moved a row of the built-in
// database (an edit of a key, a rollback); an edit of other values leaves it. While it holds,
// a walk of a table without a condition gives the same rows in the same order. Nothing for
// other engines.
std::optional<uint64_t> BuiltInOrderStamp(const dbEngineDefinition* engine, void* handle);

// The count of the built-in database's transactions undone (rolled back, or a commit refused);
// nothing for other engines.
std::optional<uint64_t> BuiltInUndone(const dbEngineDefinition* engine, void* handle);

// The order key of the row a built-in table cursor gave last (see vndbCursor::GivenKey): rows of
// one table come in the order of these keys, compared by DbCompareKeys. Nothing for another
// engine's cursor, or before its first row.
std::optional<Bytes> BuiltInRowKey(RuntimeObject* cursor);

// A table cursor of the built-in engine as getTableCursor opens it, but standing before its
// first row: a step back to the end (BuiltInStepBack) then walks none of the rows ahead of the
// first one the filter admits. Nil for another engine, and with the engine's error set when the
// table or a column is unknown.
RuntimeObject* BuiltInTableCursorBeforeFirst(const dbEngineDefinition* engine, void* handle, StringRep* table,
                                             dbColumnList* columns, dbFilter* filter);

// Steps a built-in table cursor back (see vndbCursor::PreviousRow): whether it stands on a row
// then. Nothing for another engine's cursor.
std::optional<bool> BuiltInStepBack(RuntimeObject* cursor, bool toLast);

// A Database bound to the built-in engine over the handle (one reference); nil without one.
RuntimeObject* WrapBuiltInDatabase(std::unique_ptr<vndbHandle> handle);

}  // namespace vorn
