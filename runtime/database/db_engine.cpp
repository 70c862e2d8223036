// The engine boundary: wrapping engine handles into Database and RecordSet objects, choosing
// an engine by name, and the error slot of a Database.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/resource_manager.h"
#include "database/database_objects.h"
#include "database/db_shutdown_context.h"

namespace vorn {
namespace {

struct DataSource {
  std::string name;
  VornDataSourceOpener open;
};

// Newest first: of several sources with one name the last registered wins.
std::vector<DataSource>& DataSources() {
  static auto* sources = new std::vector<DataSource>();
  return *sources;
}

// The runtime never sets the host flag of the records it is handed.
constexpr int32_t kHostFlag = 0;

// The code of every failure to connect a database, and the texts of the two that are not the
// engine's own.
constexpr int32_t kConnectError = 1;
constexpr const char* kNotConnectedText = "The database is not connected";
constexpr const char* kStoredNotOpenedText = "The database cannot be opened by its engine";

VornStringRecord* RetainedText(RuntimeObject* object, StringRep* DatabaseObject::*field) {
  DatabaseObject* database = DatabaseFields(object);
  if (!database) return nullptr;
  RetainStringRep(database->*field);
  return database->*field;
}

}  // namespace

void AttachDatabaseHandle(DatabaseObject* database, void* handle, const dbEngineDefinition* engine) {
  database->handle = handle;
  database->engine = engine;
  database->open = 1;
  dbShutdownContext::AddDatabase(dbShutdownContext::GetInstance(), &database->header);
}

void TakeOverDatabaseHandle(DatabaseObject* database, DatabaseObject* from) {
  dbShutdownContext::RemoveDatabase(&from->header);
  dbShutdownContext::RemoveDatabase(&database->header);
  database->handle = from->handle;
  database->engine = from->engine;
  database->open = from->open;
  from->handle = nullptr;
  from->engine = nullptr;
  from->open = 0;
  dbShutdownContext::AddDatabase(dbShutdownContext::GetInstance(), &database->header);
}

RuntimeObject* OpenDatabaseByEngineName(const string& engineName, const uint8_t* data, uint32_t length) {
  RuntimeObject* opened = nullptr;
  if (SameName(engineName.View(), "vorndb")) {
    opened = OpenDatabaseFromData(data, length);
  } else {
    for (const DataSource& source : DataSources()) {
      if (SameName(source.name, engineName.View())) {
        opened = source.open(data, length);
        break;
      }
    }
  }
  if (DatabaseObject* fields = DatabaseFields(opened)) fields->open = 1;
  return opened;
}

bool EnsureDatabaseOpen(DatabaseObject* database) {
  if (!database) return false;
  if (database->handle && database->open && database->engine) return true;
  if (!database->engineName || !database->data || database->dataLength == 0) return false;
  RuntimeObject* opened =
      OpenDatabaseByEngineName(string::Share(database->engineName), database->data, database->dataLength);
  DatabaseObject* from = DatabaseFields(opened);
  bool ready = from && from->handle && from->engine;
  if (ready) TakeOverDatabaseHandle(database, from);
  database->open = ready ? 1 : 0;
  RuntimeUnlockObject(opened);
  NoteConnectFailure(database, ready ? 0 : kConnectError, string(ready ? "" : kStoredNotOpenedText));
  return ready;
}

bool ReachDatabase(DatabaseObject* database) {
  if (EnsureDatabaseOpen(database)) return true;
  ReportUnreachable(database);
  return false;
}

void ReportUnreachable(DatabaseObject* database) {
  if (!database) return;
  if (database->connectErrorCode != 0) {
    SetDatabaseError(database, database->connectErrorCode, string::Share(database->connectErrorText));
  } else {
    SetDatabaseError(database, kConnectError, string(kNotConnectedText));
  }
}

void NoteConnectFailure(DatabaseObject* database, int32_t code, const string& text) {
  database->connectErrorCode = code;
  ReplaceStringRep(database->connectErrorText, code != 0 ? text.Rep() : nullptr);
}

void SetDatabaseError(DatabaseObject* database, int32_t code, const string& text) {
  database->errorCode = code;
  ReplaceStringRep(database->errorText, text.Rep());
}

int32_t DatabaseErrorCode(DatabaseObject* database) {
  if (database->errorCode != 0) return database->errorCode;
  if (!database->handle || !database->engine || !database->engine->getLastErrorCode) return 0;
  return database->engine->getLastErrorCode(database->handle);
}

string DatabaseErrorText(DatabaseObject* database) {
  if (database->errorCode != 0) return string::Share(database->errorText);
  if (!database->handle || !database->engine || !database->engine->getLastErrorString) return {};
  return string::Adopt(database->engine->getLastErrorString(database->handle));
}

bool DatabaseExecuteDirect(DatabaseObject* database, const string& sql) {
  if (!database->handle || !database->engine || !database->engine->directSQLExecute) return false;
  database->engine->directSQLExecute(database->handle, sql.Rep());
  return true;
}

RuntimeObject* NewEngineCursor(void* handle, dbCursorDefinition* definition, bool firstRow) {
  if (!handle || !definition) return nullptr;
  RuntimeObject* object = CreateInstanceFromDefinition(GetRecordSetClassDefinition());
  DatabaseCursorObject* cursor = CursorFields(object);
  if (!cursor) return nullptr;
  cursor->handle = handle;
  cursor->definition = definition;
  if (firstRow) {
    cursorMoveNext(object);
    cursor->bof = cursor->eof;
  }
  dbShutdownContext::AddCursor(dbShutdownContext::GetInstance(), object);
  return object;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* VORNdbDatabaseFromDBDatabase(void* handle, dbEngineDefinition* engine) {
  // Without its record an engine's handle cannot be used or closed.
  if (!handle || !engine) return nullptr;
  RuntimeObject* object = CreateInstanceFromDefinition(GetDatabaseClassDefinition());
  DatabaseObject* database = DatabaseFields(object);
  if (!database) return nullptr;
  AttachDatabaseHandle(database, handle, engine);
  return object;
}

VornRuntimeObject* VORNdbCursorFromDBCursor(void* handle, dbCursorDefinition* definition) {
  return NewEngineCursor(handle, definition, true);
}

void VORNConstructDBDatabase(VornRuntimeObject* object, void* handle, dbEngineDefinition* engine) {
  DatabaseObject* database = DatabaseFields(object);
  if (!database || !handle || !engine) return;
  // Binding twice must not list the database twice.
  dbShutdownContext::RemoveDatabase(object);
  AttachDatabaseHandle(database, handle, engine);
}

void PluginRegisterDBEngine(dbEngineDefinition* engine) {
  if (engine) engine->hostFlag = (engine->hostFlag & ~0xFF) | (kHostFlag & 0xFF);
}

void PluginRegisterDBCursor(dbCursorDefinition* cursor) {
  if (cursor) cursor->hostFlag = kHostFlag;
}

void VORNDatabaseSetError(VornRuntimeObject* object, int32_t code, const char* message) {
  DatabaseObject* database = DatabaseFields(object);
  if (!database) return;
  SetDatabaseError(database, code, message ? string(std::string_view(message), kEncodingASCII) : string());
}

void RegisterDataSource(const char* name, VornDataSourceOpener open) {
  if (!name || !open) return;
  DataSources().insert(DataSources().begin(), DataSource{name, open});
}

VornRuntimeObject* RuntimeGetDatabaseFromResource(int32_t id) {
  auto resource = GetResourceManager().GetDatabaseResource(static_cast<uint16_t>(id));
  if (!resource) return nullptr;
  return OpenDatabaseByEngineName(string(resource->engineName, kEncodingASCII), resource->data,
                                  resource->length);
}

VornStringRecord* VORNGetDBDatabaseName(VornRuntimeObject* object) {
  return RetainedText(object, &DatabaseObject::databaseName);
}

VornStringRecord* VORNGetDBUserName(VornRuntimeObject* object) {
  return RetainedText(object, &DatabaseObject::userName);
}

VornStringRecord* VORNGetDBPassword(VornRuntimeObject* object) {
  return RetainedText(object, &DatabaseObject::password);
}

void* VORNGetCursorFromVORNdbCursor(VornRuntimeObject* object) {
  DatabaseCursorObject* cursor = CursorFields(object);
  return cursor ? cursor->handle : nullptr;
}

void* VORNGetDBFromVORNdbDatabase(VornRuntimeObject* object) {
  DatabaseObject* database = DatabaseFields(object);
  return database ? database->handle : nullptr;
}

VornStringRecord* VORNGetDBHost(VornRuntimeObject* object) { return RetainedText(object, &DatabaseObject::host); }

void VORNSetDBIsConnected(VornRuntimeObject* object, uint8_t connected) {
  if (DatabaseObject* database = DatabaseFields(object)) database->open = connected != 0;
}

void* VORNDBConnectionDialogCreate(void) { return nullptr; }
void VORNDBConnectionDialogAddField(void*, const char*, const char*, uint8_t) {}
int32_t VORNDBConnectionDialogShow(void*, const char*) { return 0; }
void VORNDBConnectionDialogDelete(void*) {}

}  // extern "C"
