// The language's Database class: a connection to one engine, every operation forwarded
// through the engine's record.
#include <cstddef>

#include "database/builtin_engine.h"
#include "database/database_objects.h"
#include "database/database_fields.h"
#include "database/db_shutdown_context.h"
#include "database/sql_engine_receiver.h"
#include "database/sql_error.h"
#include "database/sql_query.h"
#include "database/sql_tokenizer.h"
#include "database/stored_text.h"
#include "objects/class_registry.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }
constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

constexpr uint32_t kRowFlags = 4;
constexpr uint32_t kErrorRowFlags = 5;

#define TEXT(name, field)                                                                        \
  {kRowFlags, name, "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter", \
   Offset(offsetof(DatabaseObject, field)), 0}

const PropertyRow kProperties[] = {
    {kErrorRowFlags, "Error", "b", Fn(&databaseErrorGetter), "databaseErrorGetter", nullptr, nullptr, 0, 0},
    {kErrorRowFlags, "ErrorCode", "i4", Fn(&databaseErrorCodeGetter), "databaseErrorCodeGetter", nullptr, nullptr,
     0, 0},
    {kErrorRowFlags, "ErrorMessage", "s", Fn(&databaseErrorStringGetter), "databaseErrorStringGetter", nullptr,
     nullptr, 0, 0},
    TEXT("DatabaseName", databaseName),
    TEXT("Host", host),
    TEXT("Password", password),
    TEXT("UserName", userName),
};

#undef TEXT

#define METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, kRowFlags, 0}

const ParamRow kInsertParams[] = {{"tableName", "s", 0, 0}, {"dbRecord", "o<DatabaseRecord>", 0, 0}};
const ParamRow kTableParam[] = {{"tableName", "s", 0, 0}};
const ParamRow kNameParam[] = {{"v", "s", 0, 0}};
const ParamRow kSqlParam[] = {{"sqlString", "s", 0, 0}};

const MethodRow kMethods[] = {
    METHOD("SQLExecute", "", kSqlParam, 1, databaseSQLExecute),
    METHOD("SQLSelect", "o<RecordSet>", kSqlParam, 1, databaseSQLSelect),
    METHOD("InsertRecord", "", kInsertParams, 2, databaseInsertRecord),
    METHOD("TableSchema", "o<RecordSet>", nullptr, 0, databaseTableSchema),
    METHOD("FieldSchema", "o<RecordSet>", kTableParam, 1, databaseFieldSchema),
    METHOD("IndexSchema", "o<RecordSet>", kTableParam, 1, databaseIndexSchema),
    METHOD("Commit", "", nullptr, 0, databaseCommit),
    METHOD("Rollback", "", nullptr, 0, databaseRollback),
    METHOD("GetProperty", "s", kNameParam, 1, getDatabaseProperty),
    METHOD("Close", "", nullptr, 0, databaseClose),
    METHOD("Connect", "b", nullptr, 0, DatabaseConnect),
};

#undef METHOD

ObjectDefinition* BuildDatabaseDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("Database");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(DatabaseObject));
  definition->mInitializer = {Fn(&DatabaseConstructor), "DatabaseConstructor"};
  definition->mFinalizer = {Fn(&databaseDestructor), "databaseDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
  SetMethodList(definition, kMethods, RowCount(kMethods));
  return definition;
}

// The engine's schema cursor after opening lazily; nil when either is missing.
template <typename Call>
RuntimeObject* Schema(RuntimeObject* object, Call call) {
  DatabaseObject* database = DatabaseFields(object);
  if (!ReachDatabase(database)) return nullptr;
  return call(database);
}

void ReleaseString(StringRep*& field) {
  ReleaseStringRep(field);
  field = nullptr;
}

// "'" + text with every "'" doubled + "'". The text is UTF-8 (or a blob's bytes), where a quote
// byte is always the quote character.
string Quoted(const string& text) {
  std::string quoted = "'";
  for (const char byte : text.View()) {
    quoted += byte;
    if (byte == '\'') quoted += '\'';
  }
  return string(quoted + "'", kEncodingUTF8);
}

// A numeric value goes into the statement unquoted only when it is a number and nothing else:
// any other text would be read as more of the statement.
bool IsBareNumber(int32_t type, std::string_view text) {
  if (type != kVornDbInteger && type != kVornDbDouble) return false;
  size_t at = text.starts_with('-') ? 1 : 0;
  size_t digits = 0;
  bool point = false;
  for (; at < text.size(); ++at) {
    if (text[at] >= '0' && text[at] <= '9') {
      ++digits;
    } else if (text[at] == '.' && !point && type == kVornDbDouble) {
      point = true;
    } else {
      return false;
    }
  }
  return digits > 0;
}

// A rollback, or a commit refused (which undoes the transaction), puts the rows back as the
// file holds them: edits kept by open RecordSets until their next move would write the undone
// values again with the next Update.
void SettleOpenEdits(DatabaseObject* database, bool rolledBack) {
  if (!rolledBack && DatabaseErrorCode(database) == 0) return;
  for (RuntimeObject* cursor : dbShutdownContext::CursorsOfDatabase(&database->header))
    if (DatabaseCursorObject* fields = CursorFields(cursor)) DropPendingEdits(fields);
}

// "commit" or "rollback" alone, as a statement text may end a transaction too.
enum class TransactionWord { kNone, kCommit, kRollback };

TransactionWord TransactionWordOf(std::string_view text) {
  SqlTokenizer tokens(SqlTrimStatementEnd(text));
  const std::string keyword = tokens.Next();
  if (!tokens.Next().empty()) return TransactionWord::kNone;
  if (SqlIsKeyword(keyword, "commit")) return TransactionWord::kCommit;
  if (SqlIsKeyword(keyword, "rollback")) return TransactionWord::kRollback;
  return TransactionWord::kNone;
}

void Transact(RuntimeObject* object, void (*dbEngineDefinition::*operation)(void*), const char* text) {
  DatabaseObject* database = DatabaseFields(object);
  if (!database) return;
  // The error read after it must be its own: a refused commit is told by it.
  SetDatabaseError(database, 0, string());
  // Without an open handle its engine must not be asked. One that opens lazily has nothing
  // pending yet; any other was never reached, and what the program meant to commit went
  // nowhere: that is an error, not a commit of nothing.
  if (!database->engine || !database->handle || !database->open) {
    if (!database->engineName || !database->data || database->dataLength == 0) ReportUnreachable(database);
    return;
  }
  if (database->engine->*operation) {
    (database->engine->*operation)(database->handle);
  } else {
    DatabaseExecuteDirect(database, string(text));
  }
  SettleOpenEdits(database, operation == &dbEngineDefinition::rollback);
}

}  // namespace

ObjectDefinition* GetDatabaseClassDefinition() {
  static ObjectDefinition* definition = BuildDatabaseDefinition();
  return definition;
}

DatabaseObject* DatabaseFields(RuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetDatabaseClassDefinition())) return nullptr;
  return reinterpret_cast<DatabaseObject*>(object);
}

std::optional<string> BuildInsertText(const string& table, const dbColumnValue* values, std::string* refusal) {
  // A name with a space, a quote or a bracket cannot be spliced into the text: quoting differs
  // between engines' dialects, so such a name is refused rather than read as more SQL.
  auto plain = [](std::string_view name) {
    const std::string word(name);
    return SqlIsIdentifier(word) && word.find(' ') == std::string::npos;
  };
  if (!plain(table.View())) {
    *refusal = "Invalid table name " + std::string(table.View());
    return std::nullopt;
  }
  string text("insert into ");
  text.Append(table);
  text.AppendCString("(");
  for (const dbColumnValue* value = values; value; value = value->next) {
    const string column = string::Share(value->column);
    if (!plain(column.View())) {
      *refusal = "Invalid column name " + std::string(column.View());
      return std::nullopt;
    }
    text.Append(column);
    if (value->next) text.AppendCString(",");
  }
  text.AppendCString(") values (");
  for (const dbColumnValue* value = values; value; value = value->next) {
    const string valueText = string::Share(value->value);
    if (value->type == kVornDbNull) {
      text.AppendCString("NULL");
    } else {
      text.Append(IsBareNumber(value->type, valueText.View()) ? valueText : Quoted(valueText));
    }
    if (value->next) text.AppendCString(",");
  }
  text.AppendCString(")");
  return text;
}

bool DatabaseSQLExecute(DatabaseObject* database, const string& sql) {
  SetDatabaseError(database, 0, string());
  if (!ReachDatabase(database)) return false;
  ClearBuiltInEngineError(database->engine, database->handle);
  const std::optional<string> text = StoredText(sql);
  if (!text) {
    RefuseText(database);
    return true;
  }
  if (!DatabaseExecuteDirect(database, *text)) SqlExecuteOnEngine(database, *text);
  const TransactionWord word = TransactionWordOf(text->View());
  if (word != TransactionWord::kNone) SettleOpenEdits(database, word == TransactionWord::kRollback);
  return true;
}

void RefuseText(DatabaseObject* database) {
  SetDatabaseError(database, kDbErrorTextEncoding, string(kDbTextEncodingMessage, kEncodingUTF8));
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void DatabaseConstructor(VornRuntimeObject* object) {
  DatabaseObject* database = DatabaseFields(object);
  if (!database) return;
  // The empty text is the nil record.
  database->databaseName = database->host = database->password = database->userName = nullptr;
}

void databaseDestructor(VornRuntimeObject* object) {
  DatabaseObject* database = DatabaseFields(object);
  if (!database) return;
  databaseClose(object);
  ReleaseString(database->databaseName);
  ReleaseString(database->host);
  ReleaseString(database->password);
  ReleaseString(database->userName);
  ReleaseString(database->engineName);
  ReleaseString(database->errorText);
  ReleaseString(database->connectErrorText);
}

uint8_t databaseErrorGetter(VornRuntimeObject* object, int32_t) {
  DatabaseObject* database = DatabaseFields(object);
  return database && DatabaseErrorCode(database) != 0 ? 1 : 0;
}

int32_t databaseErrorCodeGetter(VornRuntimeObject* object, int32_t) {
  DatabaseObject* database = DatabaseFields(object);
  return database ? DatabaseErrorCode(database) : 0;
}

VornStringRecord* databaseErrorStringGetter(VornRuntimeObject* object, int32_t) {
  DatabaseObject* database = DatabaseFields(object);
  return database ? DatabaseErrorText(database).GetRetainedRep() : nullptr;
}

void databaseInsertRecord(VornRuntimeObject* object, VornStringRecord* table, VornRuntimeObject* record) {
  DatabaseObject* database = DatabaseFields(object);
  if (!database) return;
  // The error read after the insert must be the insert's own.
  SetDatabaseError(database, 0, string());
  if (!ReachDatabase(database)) return;
  const std::optional<string> tableName = StoredText(string::Share(table));
  StoredValues stored;
  if (!tableName || !stored.Convert(DatabaseRecordValues(record))) {
    RefuseText(database);
    return;
  }
  dbColumnValue* values = stored.Head();
  if (database->engine->addTableRecord) {
    database->engine->addTableRecord(database->handle, tableName->Rep(), values);
  } else {
    std::string refusal;
    const std::optional<string> text = BuildInsertText(*tableName, values, &refusal);
    if (text) {
      DatabaseSQLExecute(database, *text);
    } else {
      SetDatabaseError(database, kSqlErrorName, string(refusal, kEncodingUTF8));
    }
  }
}

VornRuntimeObject* databaseTableSchema(VornRuntimeObject* object) {
  return Schema(object, [](DatabaseObject* database) -> RuntimeObject* {
    if (!database->engine->getTableSchema) return nullptr;
    return database->engine->getTableSchema(database->handle);
  });
}

VornRuntimeObject* databaseFieldSchema(VornRuntimeObject* object, VornStringRecord* table) {
  return Schema(object, [table](DatabaseObject* database) -> RuntimeObject* {
    const std::optional<string> name = StoredText(string::Share(table));
    if (!database->engine->getFieldSchema || !name) return nullptr;
    return database->engine->getFieldSchema(database->handle, name->Rep());
  });
}

VornRuntimeObject* databaseIndexSchema(VornRuntimeObject* object, VornStringRecord* table) {
  return Schema(object, [table](DatabaseObject* database) -> RuntimeObject* {
    const std::optional<string> name = StoredText(string::Share(table));
    if (!database->engine->getIndexSchema || !name) return nullptr;
    return database->engine->getIndexSchema(database->handle, name->Rep());
  });
}

void databaseCommit(VornRuntimeObject* object) { Transact(object, &dbEngineDefinition::commit, "commit"); }

void databaseRollback(VornRuntimeObject* object) { Transact(object, &dbEngineDefinition::rollback, "rollback"); }

VornStringRecord* getDatabaseProperty(VornRuntimeObject* object, VornStringRecord* name) {
  DatabaseObject* database = DatabaseFields(object);
  if (!ReachDatabase(database) || !database->engine->getProperty) return nullptr;
  const std::optional<string> stored = StoredText(string::Share(name));
  return stored ? database->engine->getProperty(database->handle, stored->Rep()) : nullptr;
}

void databaseClose(VornRuntimeObject* object) {
  DatabaseObject* database = DatabaseFields(object);
  if (!database) return;
  dbShutdownContext::CloseCursorsOfDatabase(object);
  dbShutdownContext::RemoveDatabase(object);
  // A closed handle is the engine's to free: it is forgotten so that nothing reaches it again.
  void* handle = database->handle;
  const bool wasOpen = database->open != 0;
  database->handle = nullptr;
  database->open = 0;
  NoteConnectFailure(database, 0, string());
  if (handle && wasOpen && database->engine && database->engine->closeDatabase) {
    database->engine->closeDatabase(handle);
  }
}

uint8_t DatabaseConnect(VornRuntimeObject*) { return 0; }

void databaseSQLExecute(VornRuntimeObject* object, VornStringRecord* sql) {
  if (DatabaseObject* database = DatabaseFields(object)) DatabaseSQLExecute(database, string::Share(sql));
}

VornRuntimeObject* databaseSQLSelect(VornRuntimeObject* object, VornStringRecord* sql) {
  DatabaseObject* database = DatabaseFields(object);
  if (!database) return nullptr;
  SetDatabaseError(database, 0, string());
  if (!ReachDatabase(database)) return nullptr;
  ClearBuiltInEngineError(database->engine, database->handle);
  const std::optional<string> stored = StoredText(string::Share(sql));
  if (!stored) {
    RefuseText(database);
    return nullptr;
  }
  const string& text = *stored;
  RuntimeObject* cursor = nullptr;
  if (database->engine->directSQLSelect) {
    cursor = database->engine->directSQLSelect(database->handle, text.Rep());
  } else {
    SqlError error;
    std::unique_ptr<SqlSelect> select = SqlParseSelect(text.View(), &error);
    if (!select) {
      SetDatabaseError(database, error.code, string(error.message, kEncodingUTF8));
      return nullptr;
    }
    cursor = SqlRunQuery(database, std::move(select), text);
  }
  if (cursor) BindCursorToDatabase(cursor, object, text);
  return cursor;
}

}  // extern "C"
