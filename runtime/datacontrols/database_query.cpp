#include "datacontrols/database_query.h"

#include <cstddef>

#include "controls/binding_interfaces.h"
#include "database/database_objects.h"
#include "datacontrols/query_parameter.h"
#include "datacontrols/scrollable_cursor.h"
#include "objects/class_registry.h"
#include "objects/event_dispatch.h"
#include "vorn/object_abi.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }
constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

constexpr uint32_t kRowFlags = 4;

const PropertyRow kProperties[] = {
    {kRowFlags, "Database", "o<Database>", Fn(&objGetter), "objGetter", Fn(&objSetter), "objSetter",
     Offset(offsetof(DatabaseQueryObject, database)), 0},
    {kRowFlags, "SQLQuery", "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",
     Offset(offsetof(DatabaseQueryObject, sqlQuery)), 0},
};

EventRow sEvents[] = {{0, "QueryComplete", "", "", nullptr, 0}};

const ParamRow kRowParam[] = {{"v", "i4", 0, 0}};
const ParamRow kReceiverParam[] = {{"receiver", "o<listDataNotificationReceiver>", 0, 0}};
const ParamRow kStringParam[] = {{"Str", "s", 0, 0}};

#define METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, kRowFlags, 0}

const MethodRow kMethods[] = {
    METHOD("GetCount", "i4", nullptr, 0, databaseQueryGetCount),
    METHOD("GetRow", "o<tupleInterface>", kRowParam, 1, databaseQueryGetRow),
    METHOD("RunQuery", "", nullptr, 0, databaseQueryRunQuery),
    METHOD("addListDataNotificationReceiver", "", kReceiverParam, 1, databaseQueryAddLDNR),
    METHOD("removeListDataNotificationReceiver", "", kReceiverParam, 1, databaseQueryRemoveLDNR),
    METHOD("PerformAction", "", nullptr, 0, databaseQueryRunQuery),
    METHOD("setString", "", kStringParam, 1, databaseQuerySetParameter),
};

#undef METHOD

ObjectDefinition* BuildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("DatabaseQuery");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(DatabaseQueryObject));
  definition->mFinalizer = {Fn(&databaseQueryDestructor), "databaseQueryDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
  SetEventList(definition, sEvents, RowCount(sEvents));
  SetMethodList(definition, kMethods, RowCount(kMethods));
  // AddInterface prepends: add in reverse so the class lists them in their declared order.
  definition->AddInterface(GetStringInterfaceDefinition());
  definition->AddInterface(GetActionNotificationReceiverInterfaceDefinition());
  definition->AddInterface(GetListDataNotifierInterfaceDefinition());
  definition->AddInterface(GetListDataProviderInterfaceDefinition());
  return definition;
}

DatabaseQueryObject* Fields(RuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetDatabaseQueryClassDefinition())) return nullptr;
  return reinterpret_cast<DatabaseQueryObject*>(object);
}

void DropCursor(DatabaseQueryObject* query) {
  RuntimeObject* cursor = query->cursor;
  query->cursor = nullptr;
  RuntimeUnlockObject(cursor);
}

}  // namespace

ObjectDefinition* GetDatabaseQueryClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition();
  return definition;
}

}  // namespace vorn

using namespace vorn;

void databaseQueryDestructor(VornRuntimeObject* self) {
  DatabaseQueryObject* query = Fields(self);
  if (!query) return;
  RuntimeUnlockObject(query->database);
  query->database = nullptr;
  ReleaseStringRep(query->sqlQuery);
  query->sqlQuery = nullptr;
  ReleaseStringRep(query->parameter);
  query->parameter = nullptr;
  DropCursor(query);
  RemoveAllNotificationReceivers(&query->receivers);
}

void databaseQueryRunQuery(VornRuntimeObject* self) {
  DatabaseQueryObject* query = Fields(self);
  if (!query) return;
  RuntimeLockObject(self);
  query->queryRan = 1;
  DropCursor(query);
  const string sql = string::Share(query->sqlQuery);
  if (query->database && !sql.IsEmpty()) {
    const std::optional<string> statement = BindQueryParameter(sql, string::Share(query->parameter));
    if (!statement) {
      if (DatabaseObject* database = DatabaseFields(query->database)) RefuseText(database);
    } else if (RuntimeObject* rs = databaseSQLSelect(query->database, statement->Rep())) {
      query->cursor = NewScrollableCursor(rs);
      RuntimeUnlockObject(rs);
    }
  }
  if (query->countDepth == 0) SendListDataReload(&query->receivers);
  FireEvent(self, sEvents[0].hook);
  RuntimeUnlockObject(self);
}

int32_t databaseQueryGetCount(VornRuntimeObject* self) {
  DatabaseQueryObject* query = Fields(self);
  if (!query) return 0;
  if (!query->queryRan) {
    ++query->countDepth;
    query->queryRan = 1;
    if (query->database && query->sqlQuery && query->sqlQuery->length > 0) databaseQueryRunQuery(self);
    --query->countDepth;
  }
  return query->cursor ? scrollableCursorGetCount(query->cursor) : 0;
}

VornRuntimeObject* databaseQueryGetRow(VornRuntimeObject* self, int32_t row) {
  DatabaseQueryObject* query = Fields(self);
  return query && query->cursor ? scrollableCursorGetRow(query->cursor, row) : nullptr;
}

void databaseQueryAddLDNR(VornRuntimeObject* self, VornRuntimeObject* receiver) {
  if (DatabaseQueryObject* query = Fields(self)) AddNotificationReceiver(&query->receivers, receiver);
}

void databaseQueryRemoveLDNR(VornRuntimeObject* self, VornRuntimeObject* receiver) {
  if (DatabaseQueryObject* query = Fields(self)) RemoveNotificationReceiver(&query->receivers, receiver);
}

void databaseQuerySetParameter(VornRuntimeObject* self, VornStringRecord* text) {
  DatabaseQueryObject* query = Fields(self);
  if (!query) return;
  RetainStringRep(text);
  ReleaseStringRep(query->parameter);
  query->parameter = text;
  databaseQueryRunQuery(self);
}
